// The timeline layer's tool switches, for tools and tests only (the demo never sets them),
// from the thread that runs the demo. A tool that runs the demo does so through its session
// (tools/common/demo_session.h), which restores the whole struct when it ends.
#pragma once

#include <functional>

struct TimelineSwitches {
  // Called with the window of every step the schedule asks about (DemoClock::InRange's
  // from and to, in seconds) and whether it is open now: the studio learns the schedule's
  // sections from these without a second copy of its times.
  std::function<void(double from, double to, bool open)> rangeObserver;
};

extern TimelineSwitches g_timelineSwitches;
