// The sound track's percussion: kick, snare, clap, hi-hat, crash and a low tom, each one
// hit rendered into the Mix at a given time.
//
// Promises: every hit ramps in over a millisecond or so and ends at zero level; its noise
// is seeded from the hit's frame, so the same hit always sounds the same.
// Does not: choose rhythms (soundtrack_score.h) or make long noises (soundtrack_textures.h).
#pragma once

#include "tools/assets/soundtrack_mix.h"

namespace soundtrack {

// A sine swept down from about 160 Hz to 45 Hz, with a soft beater click.
void PlayKick(Mix& mix, double time, float velocity);
// A falling 185 Hz tone under a burst of high-passed noise.
void PlaySnare(Mix& mix, double time, float velocity);
// Three quick band-passed noise bursts and a short tail: hands, not a drum.
void PlayClap(Mix& mix, double time, float velocity);
// High-passed noise; an open hat rings about six times longer.
void PlayHat(Mix& mix, double time, float velocity, bool open, float pan);
// Two independent noises, one per side, high-passed, with a long decay.
void PlayCrash(Mix& mix, double time, float velocity);
// A sine at `pitch` (MIDI note) that starts a fifth above it and falls, with a soft thump.
void PlayTom(Mix& mix, double time, double pitch, const Placement& placement);

}  // namespace soundtrack
