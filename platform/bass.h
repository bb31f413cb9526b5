// The subset of the BASS audio library that the demo and its tools call, over SDL2_mixer
// (in the browser, over Web Audio: platform/web/bass.cpp). The demo calls BASS_Init,
// BASS_StreamCreateFile, BASS_Start, BASS_StreamPlay and BASS_Free. The five channel calls
// (pause, play, set and get the position, the length) are for the tools alone, and their
// positions and lengths are in seconds, this build's own unit, where BASS counts bytes.
//
// One music stream at a time, decoded and played on SDL's audio thread, which hands the
// sound device 4096 frames at a time (92.9 ms at 44.1 kHz): a margin that a busy machine
// does not eat, so the sound never runs dry. A play request returns once the music's first
// sample is heard: the mix that carries it has gone to the device and the sound queued ahead
// of it has played (as the PulseAudio server reports it, where SDL plays through one; else
// one mix). A clock started next runs with the sound as the listener hears it.
// Every failure (no sound device, a missing or unreadable file) is silent and leaves the
// demo running without sound: a zero handle, FALSE results, nothing on the console.
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
// Starts `stream` and returns once its first sample is heard (or after a second, should the
// device take no sound), so that a clock started next runs with the music. With
// BASS_SAMPLE_LOOP it starts again whenever it ends.
BOOL BASS_StreamPlay(HSTREAM stream, BOOL flush, DWORD flags);
// Pauses `handle`'s playback where it is; BASS_ChannelPlay resumes it from there.
BOOL BASS_ChannelPause(DWORD handle);
// Plays `handle` on from where it stands (from its start with `restart`); like
// BASS_StreamPlay, returns once the sound is heard again.
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
