// The schedule's sections, for moving through the demo by section: a section is the stretch
// between two consecutive times at which the set of steps with open time windows changes.
// They are read from the schedule itself, from the windows its steps ask the clock about,
// so they follow every change to it.
#pragma once

#include <vector>

class DemoSession;

// The start times of the sections in seconds, ascending, from 0 to before the demo's end:
// 0 and every edge of a step's window in between (a window opens at its start and its
// stretch ends at its end). Runs the whole schedule on `session` at 60 frames per second
// with drawing skipped, so every step asks at least once; the session is left past the
// demo's end: restart it before showing a frame. Empty when the demo is not running.
std::vector<double> ScheduleSections(DemoSession& session);
// The first section start after `seconds` (the last start when none is), and the last start
// before it (the first start when none is); starts closer than half a frame at 60 fps to
// `seconds` count as `seconds` itself.
double NextSection(const std::vector<double>& starts, double seconds);
double PreviousSection(const std::vector<double>& starts, double seconds);
