#include "core/demo_clock.h"

#include "core/tool_switches.h"
#include "platform/tick.h"

double ClockNow() {
  return double(GetTickCount()) * 0.001;
}

void DemoClock::Start() {
  startTime = float(ClockNow());
}

double DemoClock::Elapsed() {
  return ClockNow() - startTime;
}

bool DemoClock::InRange(double from, double to) {
  if (g_coreSwitches.rangeObserver) g_coreSwitches.rangeObserver(from, to);
  if (Elapsed() < from) return false;
  // A second reading: the clock may have moved on since the first.
  if (Elapsed() > to) return false;
  return true;
}
