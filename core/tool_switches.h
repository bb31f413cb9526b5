// The demo core's tool switches (the demo clock's), for tools and tests only (the demo never
// sets them), from the thread that runs the demo. A tool that runs the demo does so through
// its session (tools/common/demo_session.h), which restores the whole struct when it ends.
#pragma once

#include <functional>

struct CoreSwitches {
  // Called with every time window [from, to] (seconds of demo time) the schedule asks its
  // clock about, open or not: the studios learn the schedule's sections from these without
  // a second copy of its times (tools/common/schedule_sections.h).
  std::function<void(double from, double to)> rangeObserver;
};

extern CoreSwitches g_coreSwitches;
