// The music itself: D minor at 120 BPM (a 4/4 bar every 2 s), arranged section by section
// on the demo's cue points, and the two automations the master stage follows.
//
// Promises: every cue point starts its section on a downbeat; every pitch is an equal-
// tempered note of D minor (C# only in the dominant, A major); nothing starts or stops at
// a cue without a ramp.
// Does not: synthesise (the instruments do), or run the effects and master stage
// (soundtrack.cpp).
#pragma once

#include "tools/assets/soundtrack_dsp.h"
#include "tools/assets/soundtrack_mix.h"

namespace soundtrack {

// Writes every note of the track into `mix`.
void PerformScore(Mix& mix);

// The shared reverb's feedback over the track: the stone room is a larger, longer space.
Curve RoomSize();

// The master fader: a few milliseconds' fade-in at the top, the fade to silence under the
// credits.
Curve MasterFader();

}  // namespace soundtrack
