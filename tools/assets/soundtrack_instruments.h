// The sound track's pitched instruments. Each call renders one note into the Mix, from
// key-down to the end of its release, so no note is ever cut off.
//
// Promises: every note starts and ends at zero level; whatever is random about a note (its
// oscillators' start phases) is seeded from the note itself, so a note always sounds the same.
// Does not: choose notes (soundtrack_score.h), play drums or noise (soundtrack_drums.h,
// soundtrack_textures.h), or run the shared delay and reverb.
#pragma once

#include "tools/assets/soundtrack_dsp.h"
#include "tools/assets/soundtrack_mix.h"

namespace soundtrack {

struct Note {
  double start = 0.0;   // seconds from the top of the track
  double length = 0.0;  // how long the key is held, in seconds; the release follows
  double pitch = 0.0;   // MIDI note number
  float velocity = 1.0f;
};

// Three detuned saws per note spread across the stereo field, low-passed at `cutoff` (which
// follows the arrangement's time, not the note's). `pump` is how deep the pad ducks under
// every beat (one each `pumpPeriod` seconds), the side-chained breathing of the beat
// sections; null for none.
struct PadSound {
  double attack = 1.0;
  double release = 2.0;
  const Curve* cutoff = nullptr;
  const Curve* pump = nullptr;
  double pumpPeriod = 0.5;
  Placement placement;
};
void PlayPad(Mix& mix, const Note& note, const PadSound& sound);

// A short pulse-and-saw blip whose filter snaps shut: the arpeggios.
struct ArpSound {
  double cutoff = 1500.0;
  double decay = 0.15;
  Placement placement;
};
void PlayArp(Mix& mix, const Note& note, const ArpSound& sound);

// Two slightly detuned saws over a sub-octave pulse, with vibrato that grows on long notes:
// the voice that sings the main theme.
struct LeadSound {
  double cutoff = 2500.0;
  Placement placement;
};
void PlayLead(Mix& mix, const Note& note, const LeadSound& sound);

// Saw and sine at one pitch, with a filter envelope for punch; always in the centre.
struct BassSound {
  double cutoff = 300.0;
  double punch = 1200.0;  // Hz the filter opens by at the attack
  float gain = 0.3f;
};
void PlayBass(Mix& mix, const Note& note, const BassSound& sound);

// An FM pluck (modulator at the carrier's pitch, its index falling fast): bright at the
// attack, then round, like a nylon string.
void PlayPluck(Mix& mix, const Note& note, const Placement& placement);

// An FM bell (modulator at 3.5 times the pitch, so the partials are inharmonic) over a pure
// fundamental that outlasts them.
void PlayBell(Mix& mix, const Note& note, const Placement& placement);

}  // namespace soundtrack
