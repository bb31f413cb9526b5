// The tools' fixed-step clock: frame n of a run at `fps` frames per second shows demo time
// n / fps, in the tick counter's whole milliseconds, with the tick counter reading the
// uptime at demo time 0 plus that. The capture tool, the studio and the page's stills all
// step the demo this way, so they show the same frame for the same demo time.
#pragma once

#include <cstdint>

// The frame index that shows demo time t.
int64_t FrameAt(double t, double fps);
// The demo time of frame n in whole milliseconds.
int64_t FrameMilliseconds(int64_t n, double fps);
// The tick counter during frame n: the uptime plus n frame steps, in whole milliseconds.
uint64_t FrameTicks(int64_t n, double fps, double uptime);
