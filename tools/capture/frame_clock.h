// The capture tool's fixed-step clock: frame n of a capture at `fps` frames per second
// shows demo time n / fps, its tick counter reading the uptime plus n frame steps in whole
// milliseconds. The browser build's stills use the same clock, so that both show the
// same frame for the same demo time.
#pragma once

#include <cstdint>

// The frame index that shows demo time t.
int64_t FrameAt(double t, double fps);
// The tick counter during frame n: the uptime plus n frame steps, in whole milliseconds.
uint64_t FrameTicks(int64_t n, double fps, double uptime);
