#include "tools/assets/soundtrack_drums.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/soundtrack_dsp.h"

namespace soundtrack {
namespace {

// One of a clap's bursts: a half-millisecond rise, then an exponential fall.
float Burst(double seconds, double at, double decay) {
  if (seconds < at) return 0.0f;
  const double since = seconds - at;
  return float(std::min(since / 0.0005, 1.0) * std::exp(-since / decay));
}

}  // namespace

void PlayKick(Mix& mix, double time, float velocity) {
  const size_t begin = FrameAt(time);
  Oscillator body(0.0);
  Noise noise(Seed(begin, 1));
  OnePole clickTone(3500.0);
  Adsr envelope({0.0015, 0.3, 0.0f, 0.05}, 0.40);
  Decay sweep(0.035);
  Decay click(0.003);
  const Gains gains = GainsOf({.gain = 0.65f * velocity});
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const float x = body.Sine(45.0 + 115.0 * sweep.Next()) +
                    0.3f * clickTone.LowPass(noise.Next()) * click.Next();
    AddMono(mix, i, x * envelope.Next(), gains);
  }
}

void PlaySnare(Mix& mix, double time, float velocity) {
  const size_t begin = FrameAt(time);
  Oscillator tone(0.0);
  Noise noise(Seed(begin, 2));
  Svf shaper(2200.0, 0.8);
  Adsr envelope({0.001, 0.15, 0.0f, 0.04}, 0.22);
  Decay toneDecay(0.05);
  Decay toneSweep(0.03);
  const Gains gains = GainsOf({.gain = 0.34f * velocity, .pan = 0.05f, .reverb = 0.22f});
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const Svf::Outputs rattle = shaper.Process(noise.Next());
    const float body = tone.Sine(175.0 + 30.0 * toneSweep.Next()) * toneDecay.Next();
    const float x = 0.5f * rattle.high + 0.5f * rattle.band + 0.8f * body;
    AddMono(mix, i, x * envelope.Next(), gains);
  }
}

void PlayClap(Mix& mix, double time, float velocity) {
  const size_t begin = FrameAt(time);
  Noise noise(Seed(begin, 3));
  Svf band(1300.0, 1.4);
  Adsr gate({0.0005, 10.0, 1.0f, 0.05}, 0.25);
  const Gains gains = GainsOf({.gain = 0.45f * velocity, .pan = -0.1f, .reverb = 0.3f});
  const size_t end = mix.End(begin, gate.Frames());
  for (size_t i = begin; i < end; ++i) {
    const double since = double(i - begin) / kRate;
    const float level = Burst(since, 0.0, 0.004) + Burst(since, 0.011, 0.004) +
                        Burst(since, 0.022, 0.005) + 0.7f * Burst(since, 0.03, 0.09);
    AddMono(mix, i, band.Process(noise.Next()).band * level * gate.Next(), gains);
  }
}

void PlayHat(Mix& mix, double time, float velocity, bool open, float pan) {
  const size_t begin = FrameAt(time);
  Noise noise(Seed(begin, open ? 5 : 4));
  Svf air(7500.0, 0.8);
  Svf shimmer(10500.0, 3.0);
  Adsr envelope({0.0005, open ? 0.18 : 0.03, 0.0f, 0.02}, open ? 0.32 : 0.07);
  const Gains gains = GainsOf({.gain = 0.11f * velocity, .pan = pan, .reverb = 0.1f});
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const float n = noise.Next();
    const float x = 0.8f * air.Process(n).high + 0.25f * shimmer.Process(n).band;
    AddMono(mix, i, x * envelope.Next(), gains);
  }
}

void PlayCrash(Mix& mix, double time, float velocity) {
  const size_t begin = FrameAt(time);
  Noise noiseLeft(Seed(begin, 6));
  Noise noiseRight(Seed(begin, 7));
  Svf left(5000.0, 0.7);
  Svf right(5300.0, 0.7);
  Adsr envelope({0.001, 1.1, 0.0f, 0.5}, 2.2);
  const Gains gains = GainsOf({.gain = 0.16f * velocity, .reverb = 0.3f});
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const float level = envelope.Next();
    AddStereo(mix, i, left.Process(noiseLeft.Next()).high * level,
              right.Process(noiseRight.Next()).high * level, gains);
  }
}

void PlayTom(Mix& mix, double time, double pitch, const Placement& placement) {
  const size_t begin = FrameAt(time);
  Oscillator body(0.0);
  Noise noise(Seed(begin, 8));
  OnePole thumpTone(600.0);
  Adsr envelope({0.002, 0.5, 0.0f, 0.15}, 0.9);
  Decay sweep(0.08);
  Decay thump(0.02);
  const double hz = NoteHz(pitch);
  const Gains gains = GainsOf(placement);
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    // 0.5 above the pitch is a fifth: the skin's tension falling back after the strike.
    const float x = body.Sine(hz * (1.0 + 0.5 * sweep.Next())) +
                    0.5f * thumpTone.LowPass(noise.Next()) * thump.Next();
    AddMono(mix, i, x * envelope.Next(), gains);
  }
}

}  // namespace soundtrack
