// Quietly: runs a call into a third-party library with standard error closed.
//
// Some back ends (sound servers, display protocols) write their complaints straight to
// stderr when the machine lacks what they look for; the programs say what went wrong in
// their own words, so such a call runs with stderr pointed at /dev/null and restored after.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

template <typename Call>
bool Quietly(Call call) {
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
  const bool ok = call();
  if (saved >= 0) {
    dup2(saved, STDERR_FILENO);
    close(saved);
  }
  if (null >= 0) close(null);
  return ok;
}
