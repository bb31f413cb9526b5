// In the browser, decoding a sound file takes most of a second; the page starts it while
// it loads, before the viewer clicks to play (platform/web/bass.cpp).
#pragma once

// Starts decoding `file` (a data path, looked up as BASS_StreamCreateFile looks it up) in
// the background; a later BASS_StreamCreateFile of the same file takes the decoded sound.
// Opens and plays nothing, so it needs no click first; a file that cannot be read or
// decoded is left to BASS_StreamCreateFile, which fails on it as before.
void PreloadSoundFile(const char* file);
