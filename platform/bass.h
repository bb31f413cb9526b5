// The subset of the BASS audio library the demo calls, over SDL2_mixer (in the browser,
// over Web Audio: platform/web/bass.cpp).
//
// One music stream at a time, decoded and played on SDL's audio thread, which hands the
// sound device 512 frames at a time (11.6 ms at 44.1 kHz). Every failure
// (no sound device, a missing or unreadable file) is silent and leaves the demo running
// without sound: a zero handle, FALSE results, nothing on the console.
#pragma once

#include "platform/win32.h"

using HSTREAM = DWORD;

constexpr DWORD BASS_SAMPLE_LOOP = 4;

// Opens the default output (device -1) at `frequency` Hz.
BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window);
// A stream of the file `file` (when `memory` is FALSE); 0 when it cannot be opened.
HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, DWORD offset, DWORD length,
                              DWORD flags);
BOOL BASS_Start();
// Starts `stream` and returns once its first samples are on their way to the sound device
// (within one mixer buffer), so that a clock started next runs with the music. With
// BASS_SAMPLE_LOOP it starts again whenever it ends.
BOOL BASS_StreamPlay(HSTREAM stream, BOOL flush, DWORD flags);
// Pauses `handle`'s playback where it is; BASS_ChannelPlay resumes it from there.
BOOL BASS_ChannelPause(DWORD handle);
// Plays `handle` on from where it stands (from its start with `restart`).
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
// Moves `handle` to `seconds` from its start (BASS itself counts bytes here: the seconds
// are this build's own unit, for the tools). FALSE when the stream cannot seek.
BOOL BASS_ChannelSetPosition(DWORD handle, double seconds);
// Where `handle`'s decoding stands, in seconds from its start; -1 when unknown.
double BASS_ChannelGetPosition(DWORD handle);
// The length of `handle` in seconds; -1 when unknown.
double BASS_ChannelGetLength(DWORD handle);
// Stops the sound and frees the library's resources, streams included. Safe at any time.
BOOL BASS_Free();
