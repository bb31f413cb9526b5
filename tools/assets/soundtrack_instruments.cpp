#include "tools/assets/soundtrack_instruments.h"

#include <algorithm>
#include <array>

namespace soundtrack {
namespace {

// Filters and modulations are re-tuned this often (1.4 kHz): far faster than any sweep
// moves, far cheaper than tan() and exp() every sample.
constexpr size_t kControlFrames = 32;

// The pad's gain at `frame` under the beat's ducking: down within 10 ms of every beat, back
// up over a tenth of a second. The small step left at the next beat (about 1% of `depth`)
// is inaudible.
float Duck(size_t frame, const PadSound& sound) {
  if (sound.pump == nullptr) return 1.0f;
  const double seconds = double(frame) / kRate;
  const double depth = sound.pump->At(seconds);
  if (depth <= 0.0) return 1.0f;
  const double sinceBeat = std::fmod(seconds, sound.pumpPeriod);
  const double shape = sinceBeat < 0.01 ? sinceBeat / 0.01 : std::exp(-(sinceBeat - 0.01) / 0.11);
  return float(1.0 - depth * shape);
}

}  // namespace

void PlayPad(Mix& mix, const Note& note, const PadSound& sound) {
  // The voices beat slowly against each other; that beating is what makes a pad move.
  constexpr std::array<double, 3> kDetune = {-0.11, 0.0, 0.13};  // semitones
  const size_t begin = FrameAt(note.start);
  Noise phases(Seed(begin, uint64_t(note.pitch * 16.0)));
  std::array<Oscillator, 3> voices = {Oscillator(phases.Unit()), Oscillator(phases.Unit()),
                                      Oscillator(phases.Unit())};
  std::array<double, 3> hz;
  for (size_t v = 0; v < hz.size(); ++v) hz[v] = NoteHz(note.pitch + kDetune[v]);
  Adsr envelope({sound.attack, 2.0, 0.8f, sound.release}, note.length);
  Svf filterLeft(1000.0, 0.7);
  Svf filterRight(1000.0, 0.7);
  const Gains gains = GainsOf(sound.placement);
  const size_t end = mix.End(begin, envelope.Frames());
  float gain = note.velocity * Duck(begin, sound);
  float gainStep = 0.0f;
  for (size_t i = begin; i < end; ++i) {
    if ((i - begin) % kControlFrames == 0) {
      const double cutoff = sound.cutoff ? sound.cutoff->At(double(i) / kRate) : 2000.0;
      filterLeft.Tune(cutoff, 0.7);
      filterRight.Tune(cutoff * 1.04, 0.7);
      // Ramp to the next control point rather than stepping, so the ducking never zips.
      gainStep = (note.velocity * Duck(i + kControlFrames, sound) - gain) / float(kControlFrames);
    }
    gain += gainStep;
    const float level = envelope.Next() * gain;
    const float low = voices[0].Saw(hz[0]);
    const float mid = 0.6f * voices[1].Saw(hz[1]);
    const float high = voices[2].Saw(hz[2]);
    AddStereo(mix, i, filterLeft.Process(low + mid).low * level,
              filterRight.Process(high + mid).low * level, gains);
  }
}

void PlayArp(Mix& mix, const Note& note, const ArpSound& sound) {
  const size_t begin = FrameAt(note.start);
  Oscillator pulse(0.0);
  Oscillator saw(0.5);
  Adsr envelope({0.003, sound.decay, 0.25f, 0.08}, note.length);
  Decay filterEnvelope(0.08);
  Svf filter(sound.cutoff, 1.2);
  const double hz = NoteHz(note.pitch);
  const Gains gains = GainsOf(sound.placement);
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const float opening = filterEnvelope.Next();
    if ((i - begin) % kControlFrames == 0) filter.Tune(sound.cutoff * (1.0 + 3.0 * opening), 1.2);
    const float x = 0.6f * pulse.Pulse(hz, 0.35) + 0.4f * saw.Saw(hz * 1.003);
    AddMono(mix, i, filter.Process(x).low * envelope.Next() * note.velocity, gains);
  }
}

void PlayLead(Mix& mix, const Note& note, const LeadSound& sound) {
  const size_t begin = FrameAt(note.start);
  Oscillator sharp(0.0);
  Oscillator flat(0.37);
  Oscillator sub(0.61);
  Adsr envelope({0.015, 0.5, 0.7f, 0.25}, note.length);
  Decay filterEnvelope(0.25);
  Svf filter(sound.cutoff, 0.9);
  const Gains gains = GainsOf(sound.placement);
  const size_t end = mix.End(begin, envelope.Frames());
  double hz = NoteHz(note.pitch);
  for (size_t i = begin; i < end; ++i) {
    const float opening = filterEnvelope.Next();
    if ((i - begin) % kControlFrames == 0) {
      // Vibrato waits a quarter second, so short notes stay straight and long ones sing.
      const double held = double(i - begin) / kRate;
      const double depth = 0.12 * std::clamp((held - 0.25) / 0.4, 0.0, 1.0);
      hz = NoteHz(note.pitch + depth * std::sin(kTwoPi * 5.2 * held));
      filter.Tune(sound.cutoff * (1.0 + 2.0 * opening), 0.9);
    }
    const float x = 0.45f * sharp.Saw(hz * 1.0035) + 0.45f * flat.Saw(hz / 1.0035) +
                    0.3f * sub.Pulse(hz * 0.5, 0.5);
    AddMono(mix, i, filter.Process(x).low * envelope.Next() * note.velocity, gains);
  }
}

void PlayBass(Mix& mix, const Note& note, const BassSound& sound) {
  const size_t begin = FrameAt(note.start);
  Oscillator saw(0.0);
  Oscillator sine(0.0);
  Adsr envelope({0.004, 0.25, 0.65f, 0.06}, note.length);
  Decay punch(0.07);
  Svf filter(sound.cutoff, 1.0);
  const double hz = NoteHz(note.pitch);
  const Gains gains = GainsOf({.gain = sound.gain});
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const float opening = punch.Next();
    if ((i - begin) % kControlFrames == 0) filter.Tune(sound.cutoff + sound.punch * opening, 1.0);
    const float x = 0.55f * saw.Saw(hz) + 0.6f * sine.Sine(hz);
    AddMono(mix, i, filter.Process(x).low * envelope.Next() * note.velocity, gains);
  }
}

void PlayPluck(Mix& mix, const Note& note, const Placement& placement) {
  const size_t begin = FrameAt(note.start);
  Oscillator carrier(0.0);
  Oscillator modulator(0.0);
  Adsr envelope({0.002, 0.9, 0.0f, 0.3}, note.length);
  Decay brightness(0.12);
  const double hz = NoteHz(note.pitch);
  const Gains gains = GainsOf(placement);
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const double index = 0.3 + 2.7 * brightness.Next();
    const float x = carrier.Sine(hz, index * modulator.Sine(hz));
    AddMono(mix, i, x * envelope.Next() * note.velocity, gains);
  }
}

void PlayBell(Mix& mix, const Note& note, const Placement& placement) {
  const size_t begin = FrameAt(note.start);
  Oscillator carrier(0.0);
  Oscillator modulator(0.0);
  Oscillator fundamental(0.0);
  Adsr envelope({0.002, 2.2, 0.0f, 1.5}, note.length);
  Decay partials(1.2);
  Decay hum(3.5);
  const double hz = NoteHz(note.pitch);
  const Gains gains = GainsOf(placement);
  const size_t end = mix.End(begin, envelope.Frames());
  for (size_t i = begin; i < end; ++i) {
    const float strike = partials.Next();
    const double index = 0.2 + 2.5 * strike;
    const float ring = carrier.Sine(hz, index * modulator.Sine(hz * 3.5));
    const float x = 0.6f * ring * (0.4f + 0.6f * strike) + 0.5f * fundamental.Sine(hz) * hum.Next();
    AddMono(mix, i, x * envelope.Next() * note.velocity, gains);
  }
}

}  // namespace soundtrack
