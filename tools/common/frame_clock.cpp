#include "tools/common/frame_clock.h"

#include <cmath>

int64_t FrameAt(double t, double fps) {
  return int64_t(std::llround(t * fps));
}

int64_t FrameMilliseconds(int64_t n, double fps) {
  return int64_t(std::llround(double(n) * 1000.0 / fps));
}

uint64_t FrameTicks(int64_t n, double fps, double uptime) {
  return uint64_t(std::llround(uptime * 1000)) + uint64_t(FrameMilliseconds(n, fps));
}
