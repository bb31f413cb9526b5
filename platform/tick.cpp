#include "platform/tick.h"

#include <time.h>

namespace {
std::function<uint64_t()> g_tickSource;
}

uint64_t GetTickCount() {
  if (g_tickSource) return g_tickSource();
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
}

void SetTickSource(std::function<uint64_t()> source) {
  g_tickSource = std::move(source);
}
