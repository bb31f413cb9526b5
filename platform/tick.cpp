#include "platform/tick.h"

#include <time.h>

#include "platform/tool_switches.h"

namespace {

// The system's uptime; a page has none, so in the browser the clock runs from the page's
// start (its monotonic clock, performance.now).
#ifdef __EMSCRIPTEN__
constexpr clockid_t kUptimeClock = CLOCK_MONOTONIC;
#else
constexpr clockid_t kUptimeClock = CLOCK_BOOTTIME;
#endif

}  // namespace

uint64_t GetTickCount() {
  if (g_platformSwitches.tickSource) return g_platformSwitches.tickSource();
  return MachineTickCount();
}

uint64_t MachineTickCount() {
  timespec now{};
  clock_gettime(kUptimeClock, &now);
  return uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
}
