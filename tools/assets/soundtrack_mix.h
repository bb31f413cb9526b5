// The buses the instruments write into: a dry stereo pair and two mono sends, one feeding
// the shared ping-pong delay and one the reverb, each a full-length track of float samples.
//
// Promises: a voice placed at the centre reaches both sides equally, and panning keeps its
// power constant.
// Does not: run the effects (soundtrack_effects.h) or the master stage (soundtrack.cpp).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace soundtrack {

// A voice's place in the mix: level, stereo position (-1 left .. 1 right), and how much of
// it goes to the shared delay and reverb.
struct Placement {
  float gain = 1.0f;
  float pan = 0.0f;
  float delay = 0.0f;
  float reverb = 0.0f;
};

struct Mix {
  explicit Mix(size_t frames)
      : left(frames), right(frames), delaySend(frames), reverbSend(frames) {}
  size_t Frames() const { return left.size(); }
  // One past the last frame of a sound `frames` long from `begin`, clipped to the track.
  size_t End(size_t begin, size_t frames) const { return std::min(Frames(), begin + frames); }

  std::vector<float> left;
  std::vector<float> right;
  std::vector<float> delaySend;
  std::vector<float> reverbSend;
};

// A Placement as the four multipliers a voice applies per sample, worked out once per note.
struct Gains {
  float left, right, delay, reverb;
};

inline Gains GainsOf(const Placement& placement) {
  const double angle = (double(placement.pan) + 1.0) * std::numbers::pi / 4.0;
  return {placement.gain * float(std::cos(angle)), placement.gain * float(std::sin(angle)),
          placement.gain * placement.delay, placement.gain * placement.reverb};
}

inline void AddMono(Mix& mix, size_t frame, float x, const Gains& gains) {
  mix.left[frame] += x * gains.left;
  mix.right[frame] += x * gains.right;
  mix.delaySend[frame] += x * gains.delay;
  mix.reverbSend[frame] += x * gains.reverb;
}

// A voice that is already stereo; its sends take the average of the two sides.
inline void AddStereo(Mix& mix, size_t frame, float left, float right, const Gains& gains) {
  const float mid = 0.5f * (left + right);
  mix.left[frame] += left * gains.left;
  mix.right[frame] += right * gains.right;
  mix.delaySend[frame] += mid * gains.delay;
  mix.reverbSend[frame] += mid * gains.reverb;
}

}  // namespace soundtrack
