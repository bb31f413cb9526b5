// The schedule's sections: the stretches between consecutive times at which the set of
// open steps changes. They are read from the schedule itself: one pass over the whole demo
// with drawing skipped, noting every step window the schedule asks about and when each is
// open, so a change of the schedule moves the sections with it.
#pragma once

#include <vector>

class DemoSession;

// The start of every section in seconds, from 0, on the 1/60 s frame grid, found by running
// the session (newly started) through the demo; the session's demo is spent afterwards.
std::vector<double> FindSectionStarts(DemoSession& session);
// The first start after `seconds` (or the last start), and the last start before it.
double NextSection(const std::vector<double>& starts, double seconds);
double PreviousSection(const std::vector<double>& starts, double seconds);
