#include "tools/capture/frame_clock.h"

#include <cmath>

int64_t FrameAt(double t, double fps) {
  return int64_t(std::llround(t * fps));
}

uint64_t FrameTicks(int64_t n, double fps, double uptime) {
  return uint64_t(std::llround(uptime * 1000)) + uint64_t(std::llround(double(n) * 1000.0 / fps));
}
