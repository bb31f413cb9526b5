// The sound track's noise textures, the ones that last seconds rather than a hit: wind in
// the forest, the crackle of a distant fire, and the rising sweep that leads into a drop.
//
// Promises: each texture fades in and out on its own (no texture starts or stops at full
// level); all randomness is seeded from its start frame.
// Does not: play percussion (soundtrack_drums.h) or decide when (soundtrack_score.h).
#pragma once

#include "tools/assets/soundtrack_mix.h"

namespace soundtrack {

// Band-passed noise whose band and level wander slowly and differently on each side;
// fades in over 4 s from `start` and out over 4 s after `end`.
void PlayWind(Mix& mix, double start, double end, float level);
// Sparse short pops of band-passed noise at random places in the stereo field, now and
// then in little clusters, from `start` to `end`.
void PlayCrackle(Mix& mix, double start, double end, float level);
// Noise through a band that sweeps up from 250 Hz to 7 kHz as it grows louder, reaching
// silence again exactly at `end`.
void PlayRiser(Mix& mix, double start, double end, float level);

}  // namespace soundtrack
