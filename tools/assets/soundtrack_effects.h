// The sound track's shared effects and its output stage: a ping-pong delay, a small
// Schroeder-Moorer reverb (eight damped combs and four allpasses per side, the classic
// public-domain tunings), and a soft limiter.
//
// Promises: each effect takes a mono send and returns a stereo pair; recursive states are
// flushed to zero once inaudible, so long silences never fall into slow denormal arithmetic;
// the limiter's output never reaches its ceiling.
// Does not: decide how much of each voice is sent (the instruments' Placement does).
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "tools/assets/soundtrack_dsp.h"

namespace soundtrack {

// Echoes that alternate left and right every `seconds`, each `feedback` times the one
// before and duller, like repeats off distant walls.
class PingPongDelay {
 public:
  PingPongDelay(double seconds, float feedback, double dampHz);
  std::pair<float, float> Process(float in);

 private:
  std::vector<float> left_, right_;
  size_t pos_ = 0;
  float feedback_;
  OnePole damp_;
};

class Reverb {
 public:
  Reverb();
  // `size` is the combs' feedback (0.7 a small room .. 0.93 a hall).
  std::pair<float, float> Process(float in, float size);

 private:
  struct Comb {
    std::vector<float> buffer;
    size_t pos = 0;
    float store = 0.0f;
    float Process(float x, float feedback);
  };
  struct Allpass {
    std::vector<float> buffer;
    size_t pos = 0;
    float Process(float x);
  };
  std::array<Comb, 8> combsLeft_, combsRight_;
  std::array<Allpass, 4> allpassLeft_, allpassRight_;
};

// Identity up to `knee`; above it, bends smoothly (no corner, no step) toward `ceiling`,
// which it approaches but never reaches.
inline float SoftLimit(float x, float knee, float ceiling) {
  const float magnitude = std::fabs(x);
  if (magnitude <= knee) return x;
  const float room = ceiling - knee;
  return std::copysign(knee + room * std::tanh((magnitude - knee) / room), x);
}

}  // namespace soundtrack
