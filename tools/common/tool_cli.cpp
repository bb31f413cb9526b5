#include "tools/common/tool_cli.h"

#include <errno.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
  return 2;
}

bool ParseNumber(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && *end == '\0' && std::isfinite(value);
}
