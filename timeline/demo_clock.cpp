#include "timeline/demo_clock.h"

#include "platform/tick.h"
#include "timeline/tool_switches.h"

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
  // A second reading for the end: the clock may have moved on since the first.
  const bool open = Elapsed() >= from && Elapsed() <= to;
  if (g_timelineSwitches.rangeObserver) g_timelineSwitches.rangeObserver(from, to, open);
  return open;
}
