#include "tools/assets/soundtrack_score.h"

#include <iterator>
#include <span>

#include "tools/assets/soundtrack.h"
#include "tools/assets/soundtrack_drums.h"
#include "tools/assets/soundtrack_instruments.h"
#include "tools/assets/soundtrack_textures.h"
#include "tools/assets/soundtrack_themes.h"

namespace soundtrack {
namespace {

// A stretch of the demo; its bars count from its own start, so each begins on a downbeat.
struct Section {
  double start, end;
  double At(double bar, double beat = 0.0) const { return start + bar * kBar + beat * kBeat; }
};

constexpr Section kOpening{0, 30};
constexpr Section kGroove{30, 75};
constexpr double kTitle = 44;
constexpr Section kForest{75, 124};
constexpr Section kCube{124, 145};
constexpr Section kBreak{145, 155};
constexpr Section kStoneRoom{155, 180};
constexpr Section kCredits{180, double(kSoundtrackSeconds)};
static_assert(kGroove.start == kSoundtrackCues[0] && kTitle == kSoundtrackCues[1] &&
              kForest.start == kSoundtrackCues[2] && kCube.start == kSoundtrackCues[3] &&
              kBreak.start == kSoundtrackCues[4] && kStoneRoom.start == kSoundtrackCues[5] &&
              kCredits.start == kSoundtrackCues[6]);

// A bass figure repeated every bar: which eighth, how far above the chord's bass, how hard.
struct BassStep {
  int eighth;
  int interval;
  float velocity;
};
constexpr BassStep kGrooveBass[] = {{0, 0, 1.0f},  {1, 0, 0.55f}, {3, 0, 0.8f},
                                    {4, 12, 0.7f}, {6, 0, 0.8f},  {7, 7, 0.6f}};
constexpr BassStep kOctaveBass[] = {{0, 0, 1.0f}, {1, 12, 0.7f}, {2, 0, 0.9f}, {3, 12, 0.7f},
                                    {4, 0, 1.0f}, {5, 12, 0.7f}, {6, 0, 0.9f}, {7, 12, 0.7f}};
constexpr BassSound kBassLine{.cutoff = 280.0, .punch = 1400.0, .gain = 0.42f};
constexpr BassSound kSubBass{.cutoff = 170.0, .punch = 0.0, .gain = 0.26f};

// Arpeggio walks through a chord's voices; 4 and up are the voices an octave higher.
// Six notes against eight eighths per bar: the figure turns against the bar line.
constexpr int kSwirl[] = {0, 1, 2, 3, 2, 1};
constexpr int kClimb[] = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr int kArc[] = {0, 1, 2, 3, 5, 3, 2, 1};

enum class HatFeel {
  kOffbeats,    // a closed hat on every "and"
  kSixteenths,  // accented sixteenths, the bar's last "and" open
  kDriving,     // sixteenths with every "and" open
};

void PadChords(Mix& mix, const Harmony& harmony, const PadSound& sound, const Curve& velocity) {
  for (const Span& span : harmony) {
    for (int voice : span.chord->voices) {
      PlayPad(mix, {span.start, span.end - span.start, double(voice), velocity.At(span.start)},
              sound);
    }
  }
}

void Arpeggiate(Mix& mix, const Harmony& harmony, double start, double end, double step,
                std::span<const int> pattern, const Curve& velocity, ArpSound sound) {
  for (size_t n = 0; start + double(n) * step < end; ++n) {
    const double t = start + double(n) * step;
    const int index = pattern[n % pattern.size()];
    const int pitch = ChordAt(harmony, t).voices[index % 4] + 12 * (index / 4 + 1);
    sound.placement.pan = n % 2 == 0 ? -0.35f : 0.35f;
    PlayArp(mix, {t, step * 0.8, double(pitch), velocity.At(t)}, sound);
  }
}

// Plucked broken chords low in the pads' register, ringing into each other.
void BrokenChords(Mix& mix, const Harmony& harmony, double start, double end, double step,
                  float velocity) {
  for (size_t n = 0; start + double(n) * step < end; ++n) {
    const double t = start + double(n) * step;
    const int index = kArc[n % std::size(kArc)];
    const int pitch = ChordAt(harmony, t).voices[index % 4] + 12 * (index / 4);
    const float pan = n % 2 == 0 ? -0.4f : 0.4f;
    PlayPluck(mix, {t, 1.0, double(pitch), velocity},
              {.gain = 0.16f, .pan = pan, .delay = 0.25f, .reverb = 0.35f});
  }
}

void BassFigure(Mix& mix, const Harmony& harmony, double start, double end,
                std::span<const BassStep> figure, float level) {
  for (double bar = start; bar < end; bar += kBar) {
    for (const BassStep& step : figure) {
      const double t = bar + step.eighth * kBeat / 2;
      if (t >= end) continue;
      const int pitch = ChordAt(harmony, t).bass + step.interval;
      PlayBass(mix, {t, kBeat * 0.4, double(pitch), step.velocity * level}, kBassLine);
    }
  }
}

// Each chord's bass note held for the whole chord, from `from` on.
void BassRoots(Mix& mix, const Harmony& harmony, double from, float velocity) {
  for (const Span& span : harmony) {
    if (span.start < from) continue;
    PlayBass(mix, {span.start, span.end - span.start, double(span.chord->bass), velocity},
             kSubBass);
  }
}

void Kicks(Mix& mix, double start, double end, float velocity) {
  for (double t = start; t < end; t += kBeat) PlayKick(mix, t, velocity);
}

// Snare on beats two and four of every bar from `start`; with `clap`, hands on top.
void Backbeat(Mix& mix, double start, double end, bool clap) {
  for (double bar = start; bar < end; bar += kBar) {
    for (double beat : {1.0, 3.0}) {
      const double t = bar + beat * kBeat;
      if (t >= end) continue;
      PlaySnare(mix, t, 0.9f);
      if (clap) PlayClap(mix, t, 0.8f);
    }
  }
}

// A roll that swells from `from` to `to` velocity.
void SnareRoll(Mix& mix, double start, double end, double step, float from, float to) {
  const double count = (end - start) / step;
  for (size_t n = 0; double(n) < count - 1e-9; ++n) {
    PlaySnare(mix, start + double(n) * step, from + (to - from) * float(double(n) / count));
  }
}

void Hats(Mix& mix, double start, double end, HatFeel feel) {
  constexpr float kAccents[] = {0.35f, 0.2f, 0.6f, 0.25f};
  const double step = feel == HatFeel::kOffbeats ? kBeat / 2 : kBeat / 4;
  for (size_t n = 0; start + double(n) * step < end; ++n) {
    const double t = start + double(n) * step;
    const float pan = n % 2 == 0 ? 0.3f : -0.2f;
    if (feel == HatFeel::kOffbeats) {
      if (n % 2 == 1) PlayHat(mix, t, 0.55f, false, pan);
      continue;
    }
    const bool offbeat = n % 4 == 2;
    const bool lastOffbeat = n % 16 == 14;
    const bool open = offbeat && (feel == HatFeel::kDriving || lastOffbeat);
    PlayHat(mix, t, open ? 0.5f : kAccents[n % 4], open, pan);
  }
}

void PlayOpening(Mix& mix) {
  const Section& s = kOpening;
  Harmony harmony;
  Append(harmony, s.start, s.At(14), 2, {&kDm7, &kBbMaj7, &kF, &kC, &kDm7, &kBbMaj7, &kGm7});
  Append(harmony, s.At(14), s.end, 1, {&kA});
  static const Curve cutoff{{0, 300}, {12, 900}, {24, 1600}, {30, 2200}};
  PadChords(mix, harmony,
            {.attack = 2.5,
             .release = 3.0,
             .cutoff = &cutoff,
             .placement = {.gain = 0.055f, .delay = 0.05f, .reverb = 0.35f}},
            {{0, 0.75f}, {28, 1.0f}});
  // The arpeggio creeps in on the half bar at 11 s.
  Arpeggiate(
      mix, harmony, s.At(5, 2), s.end, kBeat / 2, kSwirl, {{11, 0.25f}, {20, 0.55f}, {30, 0.8f}},
      {.cutoff = 900.0, .decay = 0.2, .placement = {.gain = 0.1f, .delay = 0.45f, .reverb = 0.3f}});
  BassRoots(mix, harmony, s.At(8), 0.7f);
  PlayRiser(mix, s.At(13), s.end, 0.25f);
}

void PlayGroove(Mix& mix) {
  const Section& s = kGroove;
  Harmony harmony;
  Append(harmony, s.start, s.At(4), 1, {&kDm, &kBb, &kF, &kC});
  Append(harmony, s.At(4), kTitle, 1, {&kDm, &kBb, &kA});
  Append(harmony, kTitle, s.end, 1, {&kDm, &kBb, &kF, &kC});
  static const Curve cutoff{{30, 900}, {42, 1500}, {43.8, 1500}, {44, 2600}, {75, 3000}};
  static const Curve pump{{30, 0.35f}, {44, 0.45f}};
  PadChords(mix, harmony,
            {.attack = 0.25,
             .release = 0.8,
             .cutoff = &cutoff,
             .pump = &pump,
             .pumpPeriod = kBeat,
             .placement = {.gain = 0.05f, .delay = 0.1f, .reverb = 0.25f}},
            {{30, 0.65f}, {44, 1.0f}});

  // The beat holds something back until the title; the bar before it drops the kick under a
  // swelling snare roll.
  Kicks(mix, s.start, s.At(6, 2), 0.8f);
  Kicks(mix, kTitle, s.end, 1.0f);
  Backbeat(mix, s.start, s.At(6), false);
  SnareRoll(mix, s.At(6), s.At(6, 2), kBeat / 2, 0.25f, 0.5f);
  SnareRoll(mix, s.At(6, 2), kTitle, kBeat / 4, 0.5f, 0.95f);
  Backbeat(mix, kTitle, s.At(22), true);
  SnareRoll(mix, s.At(22), s.end, kBeat / 4, 0.4f, 0.9f);
  Hats(mix, s.start, s.At(6), HatFeel::kOffbeats);
  Hats(mix, kTitle, s.end, HatFeel::kSixteenths);
  PlayCrash(mix, s.start, 0.6f);
  PlayCrash(mix, kTitle, 1.0f);
  PlayCrash(mix, kTitle + 8 * kBar, 0.6f);
  PlayRiser(mix, s.At(5), kTitle, 0.3f);

  BassFigure(mix, harmony, s.start, s.At(6), kGrooveBass, 0.8f);
  // The dominant held under the roll, waiting for the title.
  PlayBass(mix, {s.At(6), kBar - 0.1, double(kA.bass), 0.9f}, kBassLine);
  BassFigure(mix, harmony, kTitle, s.end, kGrooveBass, 1.0f);
  Arpeggiate(mix, harmony, s.start, s.end, kBeat / 2, kSwirl, {{30, 0.6f}, {44, 0.75f}},
             {.cutoff = 1400.0,
              .decay = 0.15,
              .placement = {.gain = 0.09f, .delay = 0.35f, .reverb = 0.2f}});

  // The title: the theme, then again with an octave below it for weight.
  const LeadSound lead{.cutoff = 2600.0,
                       .placement = {.gain = 0.21f, .pan = 0.05f, .delay = 0.25f, .reverb = 0.2f}};
  for (const Note& note : Phrase(kTheme, kTitle, s.end, 0, 0.9f)) PlayLead(mix, note, lead);
  for (const Note& note : Phrase(kTheme, kTitle + 8 * kBar, s.end, 0, 1.0f)) {
    PlayLead(mix, note, lead);
  }
  for (const Note& note : Phrase(kTheme, kTitle + 8 * kBar, s.end, -12, 0.5f)) {
    PlayLead(mix, note, lead);
  }
}

void PlayForest(Mix& mix) {
  const Section& s = kForest;
  Harmony harmony;
  Append(harmony, s.start, s.end, 2, {&kBbMaj7, &kFOverA, &kGm7, &kDm7});
  static const Curve cutoff{{75, 1400}, {80, 850}, {115, 1000}, {124, 1200}};
  PadChords(mix, harmony,
            {.attack = 2.5,
             .release = 3.5,
             .cutoff = &cutoff,
             .placement = {.gain = 0.045f, .delay = 0.05f, .reverb = 0.45f}},
            {{75, 0.8f}});
  BassRoots(mix, harmony, s.start, 0.6f);
  // Quarter notes while the night settles, eighths once the tune has come round.
  BrokenChords(mix, harmony, s.start, s.At(16), kBeat, 0.35f);
  BrokenChords(mix, harmony, s.At(16), s.end, kBeat / 2, 0.26f);
  const Placement tune{.gain = 0.2f, .pan = 0.15f, .delay = 0.35f, .reverb = 0.35f};
  for (const Note& note : Phrase(kForestTune, s.At(8), s.end, 0, 0.6f)) PlayPluck(mix, note, tune);
  for (const Note& note : Phrase(kForestTune, s.At(16), s.end, 0, 0.7f)) PlayPluck(mix, note, tune);
  for (const Note& note : Phrase(kForestTune, s.At(16), s.end, 12, 0.2f)) {
    PlayPluck(mix, note, tune);
  }
  // The beat's last cymbal rings out over the first of the night.
  PlayCrash(mix, s.start, 0.35f);
  PlayWind(mix, s.start - 2, s.end - 3, 0.2f);
  PlayCrackle(mix, s.start + 3, s.end - 3, 0.08f);
  // The night's last bar rises into the cube.
  PlayRiser(mix, s.At(23), s.end, 0.2f);
}

void PlayCube(Mix& mix) {
  const Section& s = kCube;
  Harmony harmony;
  Append(harmony, s.start, s.end, 1, {&kDm, &kC, &kBb, &kA});
  static const Curve cutoff{{124, 2400}, {145, 3200}};
  static const Curve pump{{124, 0.5f}};
  PadChords(mix, harmony,
            {.attack = 0.1,
             .release = 0.5,
             .cutoff = &cutoff,
             .pump = &pump,
             .pumpPeriod = kBeat,
             .placement = {.gain = 0.045f, .delay = 0.1f, .reverb = 0.2f}},
            {{124, 1.0f}});
  Kicks(mix, s.start, s.end, 1.0f);
  Backbeat(mix, s.start, s.At(10), true);
  SnareRoll(mix, s.At(10), s.end, kBeat / 4, 0.4f, 1.0f);
  Hats(mix, s.start, s.end, HatFeel::kDriving);
  PlayCrash(mix, s.start, 1.0f);
  PlayCrash(mix, s.At(4), 0.7f);
  PlayCrash(mix, s.At(8), 0.7f);
  BassFigure(mix, harmony, s.start, s.end, kOctaveBass, 1.0f);
  Arpeggiate(mix, harmony, s.start, s.end, kBeat / 4, kClimb, {{124, 0.7f}, {145, 0.9f}},
             {.cutoff = 2000.0,
              .decay = 0.08,
              .placement = {.gain = 0.08f, .delay = 0.3f, .reverb = 0.15f}});
  const LeadSound lead{.cutoff = 3000.0,
                       .placement = {.gain = 0.17f, .pan = -0.05f, .delay = 0.25f, .reverb = 0.2f}};
  // The theme's cube version twice, over the second and third four bars.
  for (double bar : {2.0, 6.0}) {
    for (const Note& note : Phrase(kCubeTheme, s.At(bar), s.At(10), 0, 0.9f)) {
      PlayLead(mix, note, lead);
    }
  }
}

void PlayBreak(Mix& mix) {
  const Section& s = kBreak;
  Harmony harmony;
  Append(harmony, s.start, s.At(2), 2, {&kGm7});
  Append(harmony, s.At(2), s.end, 1, {&kBbMaj7, &kAsus4, &kA});
  // The swell opens to its brightest just before the stone room, then closes into it.
  static const Curve cutoff{{145, 400}, {153.5, 5000}, {155, 1200}, {156, 500}};
  PadChords(mix, harmony,
            {.attack = 1.2,
             .release = 2.5,
             .cutoff = &cutoff,
             .placement = {.gain = 0.05f, .delay = 0.1f, .reverb = 0.45f}},
            {{145, 0.6f}, {153, 1.0f}});
  PlayRiser(mix, s.At(1), s.end, 0.22f);
}

void PlayStoneRoom(Mix& mix) {
  const Section& s = kStoneRoom;
  // D1, D2 and A2 under the whole room, their filter breathing slowly.
  static const Curve droneCutoff{{155, 180}, {161, 380}, {167, 220}, {173, 420}, {180, 200}};
  const PadSound drone{.attack = 3.0,
                       .release = 4.0,
                       .cutoff = &droneCutoff,
                       .placement = {.gain = 0.045f, .reverb = 0.3f}};
  for (int pitch : {26, 38, 45}) {
    PlayPad(mix, {s.start, s.end - 1 - s.start, double(pitch), pitch == 45 ? 0.5f : 1.0f}, drone);
  }
  Harmony harmony;
  Append(harmony, s.start, s.At(4), 4, {&kDm});
  Append(harmony, s.At(4), s.At(10), 2, {&kBb, &kGm7, &kA});
  Append(harmony, s.At(10), s.end, 4, {&kDm});
  static const Curve shade{{155, 500}};
  PadChords(mix, harmony,
            {.attack = 2.5,
             .release = 3.5,
             .cutoff = &shade,
             .placement = {.gain = 0.035f, .reverb = 0.6f}},
            {{155, 0.8f}});

  // Sparse bells on the chords' notes, answering each other across the room.
  struct Strike {
    double bar, beat;
    int pitch;
    float velocity;
  };
  constexpr Strike kBells[] = {
      {0, 0, 74, 0.9f},  {1, 2, 77, 0.6f},  {2, 3, 69, 0.7f}, {3, 2, 72, 0.5f}, {4, 0, 70, 0.9f},
      {5, 1, 74, 0.6f},  {6, 0, 67, 0.8f},  {7, 2, 70, 0.5f}, {8, 0, 73, 0.9f}, {9, 0, 76, 0.6f},
      {10, 0, 74, 0.9f}, {11, 2, 69, 0.5f}, {12, 0, 62, 0.7f}};
  for (size_t i = 0; i < std::size(kBells); ++i) {
    const Strike& b = kBells[i];
    const float pan = i % 2 == 0 ? -0.4f : 0.4f;
    PlayBell(mix, {s.At(b.bar, b.beat), 3.0, double(b.pitch), b.velocity},
             {.gain = 0.12f, .pan = pan, .delay = 0.15f, .reverb = 0.7f});
  }
  // A low drum on every bar, and an answer off the beat every other one.
  for (int bar = 1; bar < 12; ++bar) {
    PlayTom(mix, s.At(bar), 38, {.gain = 0.2f, .pan = -0.1f, .reverb = 0.5f});
    if (bar % 2 == 1) {
      PlayTom(mix, s.At(bar, 2.5), 33, {.gain = 0.14f, .pan = 0.15f, .reverb = 0.5f});
    }
  }
}

void PlayCredits(Mix& mix) {
  const Section& s = kCredits;
  Harmony harmony;
  Append(harmony, s.start, s.At(8), 1, {&kDm, &kBb, &kF, &kC});
  static const Curve cutoff{{180, 1600}, {200, 600}};
  PadChords(mix, harmony,
            {.attack = 0.8,
             .release = 2.0,
             .cutoff = &cutoff,
             .placement = {.gain = 0.05f, .delay = 0.05f, .reverb = 0.35f}},
            {{180, 0.9f}, {196, 0.7f}});
  // The last chord is held four seconds and dies away by 203 s.
  Harmony last;
  Append(last, s.At(8), s.At(10), 2, {&kDm});
  PadChords(mix, last,
            {.attack = 0.8,
             .release = 3.0,
             .cutoff = &cutoff,
             .placement = {.gain = 0.05f, .delay = 0.05f, .reverb = 0.35f}},
            {{196, 0.7f}});
  BassRoots(mix, harmony, s.start, 0.6f);
  BassRoots(mix, last, s.start, 0.5f);

  // The theme once more, softly, and its D held over the last chord.
  const LeadSound lead{.cutoff = 1400.0,
                       .placement = {.gain = 0.13f, .delay = 0.35f, .reverb = 0.4f}};
  for (const Note& note : Phrase(kTheme, s.start, s.At(8), 0, 0.6f)) PlayLead(mix, note, lead);
  PlayLead(mix, {s.At(8), 3.0, 74.0, 0.5f}, lead);
  Arpeggiate(mix, harmony, s.start, s.At(6), kBeat / 2, kSwirl, {{180, 0.5f}, {192, 0.2f}},
             {.cutoff = 900.0,
              .decay = 0.2,
              .placement = {.gain = 0.08f, .delay = 0.45f, .reverb = 0.3f}});
}

}  // namespace

void PerformScore(Mix& mix) {
  PlayOpening(mix);
  PlayGroove(mix);
  PlayForest(mix);
  PlayCube(mix);
  PlayBreak(mix);
  PlayStoneRoom(mix);
  PlayCredits(mix);
}

Curve RoomSize() {
  return {{150, 0.84f}, {156, 0.91f}, {177, 0.91f}, {182, 0.86f}};
}

Curve MasterFader() {
  return {{0, 0.0f}, {0.02, 1.0f}, {190, 1.0f}, {196, 0.8f}, {200, 0.35f}, {203, 0.0f}};
}

}  // namespace soundtrack
