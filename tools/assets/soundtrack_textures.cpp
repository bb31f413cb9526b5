#include "tools/assets/soundtrack_textures.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/soundtrack_dsp.h"

namespace soundtrack {
namespace {

constexpr size_t kControlFrames = 32;

// The wind's band centre: two slow, unrelated sines, so the howl never audibly repeats.
double Howl(double seconds, double phase) {
  return 520.0 + 250.0 * std::sin(kTwoPi * 0.071 * seconds + phase) +
         120.0 * std::sin(kTwoPi * 0.193 * seconds + 1.3 + phase);
}

// The wind's strength, between 0.2 and 1.
float Gust(double seconds) {
  return float(0.6 +
               0.4 * std::sin(kTwoPi * 0.047 * seconds + 0.5) * std::sin(kTwoPi * 0.113 * seconds));
}

// One pop of the fire: a few milliseconds of noise through a band at `hz`.
void PlayCrack(Mix& mix, double time, double length, double hz, const Placement& placement) {
  const size_t begin = FrameAt(time);
  Noise noise(Seed(begin, 22));
  Svf band(hz, 2.0);
  Adsr envelope({0.0003, length, 0.0f, 0.004}, 2.0 * length);
  const Gains gains = GainsOf(placement);
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    AddMono(mix, i, band.Process(noise.Next()).band * envelope.Next(), gains);
  }
}

}  // namespace

void PlayWind(Mix& mix, double start, double end, float level) {
  const size_t begin = FrameAt(start);
  Noise noiseLeft(Seed(begin, 11));
  Noise noiseRight(Seed(begin, 12));
  Svf left(500.0, 1.5);
  Svf right(500.0, 1.5);
  Adsr envelope({4.0, 1.0, 1.0f, 4.0}, end - start);
  const Gains gains = GainsOf({.gain = level, .reverb = 0.2f});
  const size_t last = mix.End(begin, envelope.Frames());
  float gust = Gust(start);
  float gustStep = 0.0f;
  for (size_t i = begin; i < last; ++i) {
    if ((i - begin) % kControlFrames == 0) {
      const double seconds = double(i) / kRate;
      left.Tune(Howl(seconds, 0.0), 1.5);
      right.Tune(Howl(seconds, 2.1), 1.5);
      gustStep = (Gust(seconds + kControlFrames / kRate) - gust) / float(kControlFrames);
    }
    gust += gustStep;
    const float gain = envelope.Next() * gust;
    AddStereo(mix, i, left.Process(noiseLeft.Next()).band * gain,
              right.Process(noiseRight.Next()).band * gain, gains);
  }
}

void PlayCrackle(Mix& mix, double start, double end, float level) {
  Noise events(Seed(FrameAt(start), 21));
  for (double t = start; t < end;) {
    const float loudness = events.Unit();
    const float amplitude = level * (0.15f + 0.85f * loudness * loudness * loudness);
    const double length = 0.0015 + 0.006 * events.Unit();
    const double hz = 1200.0 + 3500.0 * events.Unit();
    const float pan = 1.4f * events.Unit() - 0.7f;
    PlayCrack(mix, t, length, hz, {.gain = amplitude, .pan = pan, .reverb = 0.25f});
    // Burning wood pops in little clusters with quiet between.
    t += events.Unit() < 0.3f ? 0.01 + 0.04 * events.Unit() : 0.08 + 0.5 * events.Unit();
  }
}

void PlayRiser(Mix& mix, double start, double end, float level) {
  const size_t begin = FrameAt(start);
  const size_t last = std::min(FrameAt(end), mix.Frames());
  const size_t tailFrames = FrameAt(0.04);
  Noise noiseLeft(Seed(begin, 31));
  Noise noiseRight(Seed(begin, 32));
  Svf left(250.0, 2.5);
  Svf right(250.0, 2.5);
  const Gains gains = GainsOf({.gain = level, .delay = 0.2f, .reverb = 0.3f});
  for (size_t i = begin; i < last; ++i) {
    const float progress = float(i - begin) / float(last - begin);
    if ((i - begin) % kControlFrames == 0) {
      const double cutoff = 250.0 * std::pow(28.0, double(progress));
      left.Tune(cutoff, 2.5);
      right.Tune(cutoff * 1.06, 2.5);
    }
    const float tail = std::min(1.0f, float(last - i) / float(tailFrames));
    const float gain = progress * progress * tail;
    AddStereo(mix, i, left.Process(noiseLeft.Next()).band * gain,
              right.Process(noiseRight.Next()).band * gain, gains);
  }
}

}  // namespace soundtrack
