// The demo's sound track, synthesised by nothing but this code: 204 seconds of music that
// follows the demo's pictures (pads and an arpeggio over the opening, the beat with a lift
// at the title, a calm forest night, a driving passage for the cube fractal, a break, a
// dark stone room, and the main theme again under the credits).
//
// Promises: the same samples on every run and every machine (no clock, no platform random
// numbers); a peak below -1 dBFS; a fade in from and out to silence, with no clicks.
// Does not: encode (mp3_encoder.h), write files, or play anything.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kSoundtrackSampleRate = 44100;
inline constexpr int kSoundtrackChannels = 2;
// A little longer than the demo's 200 s, so that its last picture never hears a loop.
inline constexpr int kSoundtrackSeconds = 204;
// The demo's cue points, in seconds: where the music changes character (44 s is the title).
inline constexpr double kSoundtrackCues[] = {30, 44, 75, 124, 145, 155, 180};

// Interleaved 16-bit stereo (left, right, left, ...), kSoundtrackSeconds long.
std::vector<int16_t> SynthesizeSoundtrack();
