// The sound track's synthesis units: deterministic noise, band-limited oscillators, an ADSR
// envelope, an exponential decay, two filters and piecewise-linear automation.
//
// Promises: plain per-sample arithmetic on each unit's own state, so a render repeats bit
// for bit; an Adsr always ends at exactly zero.
// Does not: shape an instrument (soundtrack_instruments.h), run the shared effects
// (soundtrack_effects.h) or decide what plays when (soundtrack_score.h).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

namespace soundtrack {

inline constexpr double kRate = 44100.0;
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The frame at `seconds`, rounded to the nearest.
inline size_t FrameAt(double seconds) {
  return seconds <= 0.0 ? 0 : size_t(seconds * kRate + 0.5);
}

// Equal temperament with A4 (MIDI note 69) at 440 Hz.
inline double NoteHz(double midiNote) {
  return 440.0 * std::exp2((midiNote - 69.0) / 12.0);
}

// A well-spread seed from two numbers that identify a sound (its frame, its pitch, ...), so
// that neighbouring notes draw unrelated noise.
uint32_t Seed(uint64_t a, uint64_t b);

// xorshift32: fast, and the same sequence on every platform.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed == 0 ? 0x6D2B79F5u : seed) {}
  // Uniform in [-1, 1).
  float Next() {
    Step();
    return float(int32_t(state_) >> 8) * (1.0f / 8388608.0f);
  }
  // Uniform in [0, 1).
  float Unit() {
    Step();
    return float(state_ >> 8) * (1.0f / 16777216.0f);
  }

 private:
  void Step() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
  }
  uint32_t state_;
};

// A phase in [0, 1) read out as a waveform; each read advances it by `hz`, which may change
// every sample (vibrato, pitch sweeps). Saw and pulse get polyBLEP corrections at their
// jumps so that high notes do not alias into whistles.
class Oscillator {
 public:
  explicit Oscillator(double phase = 0.0) : phase_(phase) {}
  float Saw(double hz);
  // Duty cycle `width` in (0, 1), with its DC removed.
  float Pulse(double hz, double width);
  // sin(2 pi phase + offset): the offset is an FM voice's modulation input.
  float Sine(double hz, double offset = 0.0);

 private:
  void Advance(double step) {
    phase_ += step;
    if (phase_ >= 1.0) phase_ -= 1.0;
  }
  double phase_;
};

// The residual that turns a naive jump at phase 0 into a band-limited one.
inline float PolyBlep(double t, double step) {
  if (t < step) {
    t /= step;
    return float(t + t - t * t - 1.0);
  }
  if (t > 1.0 - step) {
    t = (t - 1.0) / step;
    return float(t * t + t + t + 1.0);
  }
  return 0.0f;
}

inline float Oscillator::Saw(double hz) {
  const double step = hz / kRate;
  const float out = float(2.0 * phase_ - 1.0) - PolyBlep(phase_, step);
  Advance(step);
  return out;
}

inline float Oscillator::Pulse(double hz, double width) {
  const double step = hz / kRate;
  double fall = phase_ + 1.0 - width;
  if (fall >= 1.0) fall -= 1.0;
  const float naive = phase_ < width ? 1.0f : -1.0f;
  const float out =
      naive + PolyBlep(phase_, step) - PolyBlep(fall, step) - float(2.0 * width - 1.0);
  Advance(step);
  return out;
}

inline float Oscillator::Sine(double hz, double offset) {
  const float out = float(std::sin(kTwoPi * phase_ + offset));
  Advance(hz / kRate);
  return out;
}

// Attack (linear), decay (exponential toward the sustain level), release (quadratic to
// exactly zero) of a key held `gate` seconds. Each stage starts at the level where the
// previous one stopped, so an envelope never steps.
struct EnvelopeShape {
  double attack = 0.01;
  double decay = 0.1;
  float sustain = 1.0f;
  double release = 0.1;
};

class Adsr {
 public:
  Adsr(const EnvelopeShape& shape, double gate);
  // Frames from key-down to the end of the release.
  size_t Frames() const { return gateFrames_ + releaseFrames_; }
  float Next();

 private:
  size_t frame_ = 0;
  size_t attackFrames_;
  size_t gateFrames_;
  size_t releaseFrames_;
  float sustain_;
  float decayCoef_;
  float decay_ = 1.0f;
  float level_ = 0.0f;
};

inline float Adsr::Next() {
  float out = 0.0f;
  if (frame_ < gateFrames_) {
    if (frame_ < attackFrames_) {
      level_ = float(frame_) / float(attackFrames_);
    } else {
      level_ = sustain_ + (1.0f - sustain_) * decay_;
      decay_ *= decayCoef_;
    }
    out = level_;
  } else if (frame_ < gateFrames_ + releaseFrames_) {
    const float left = 1.0f - float(frame_ - gateFrames_) / float(releaseFrames_);
    out = level_ * left * left;
  }
  ++frame_;
  return out;
}

// A fall from 1 toward 0 with time constant `seconds`: pitch sweeps, filter envelopes.
class Decay {
 public:
  explicit Decay(double seconds) : coef_(float(std::exp(-1.0 / (seconds * kRate)))) {}
  float Next() {
    const float out = value_;
    value_ *= coef_;
    return out;
  }

 private:
  float value_ = 1.0f;
  float coef_;
};

// State-variable filter, trapezoidal form (stable at any cutoff and under modulation):
// low-, band- and high-pass outputs of one input.
class Svf {
 public:
  struct Outputs {
    float low, band, high;
  };
  Svf(double hz, double q) { Tune(hz, q); }
  void Tune(double hz, double q);
  Outputs Process(float x) {
    const float v3 = x - ic2_;
    const float v1 = a1_ * ic1_ + a2_ * v3;
    const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1 - ic1_;
    ic2_ = 2.0f * v2 - ic2_;
    return {v2, v1, x - k_ * v1 - v2};
  }

 private:
  float a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f, k_ = 1.0f;
  float ic1_ = 0.0f, ic2_ = 0.0f;
};

// One-pole low-pass: the gentlest filter, for damping and clicks' edges.
class OnePole {
 public:
  explicit OnePole(double hz) : a_(float(1.0 - std::exp(-kTwoPi * hz / kRate))) {}
  float LowPass(float x) {
    y_ += a_ * (x - y_);
    return y_;
  }

 private:
  float a_;
  float y_ = 0.0f;
};

// A value over the track's time, linear between (seconds, value) points given in time
// order, and held flat before the first and after the last.
class Curve {
 public:
  Curve(std::initializer_list<std::pair<double, float>> points) : points_(points) {}
  float At(double seconds) const;

 private:
  std::vector<std::pair<double, float>> points_;
};

}  // namespace soundtrack
