// MP3 encoding of interleaved 16-bit stereo through LAME: constant 160 kbit/s, joint
// stereo, MPEG-1 Layer III at the input's own sample rate.
//
// Promises: decoded, sample n of the stream is input sample n, and there are exactly as many:
// the stream opens with an Info frame (Xing/LAME tag) that gives the encoder's delay and
// padding, which decoders drop (ffmpeg, mpg123 under SDL_mixer and browsers do). The same
// bytes for the same samples on every run: nothing dated or machine-dependent goes in, no
// ID3 tag.
// Does not: resample, write files, or decode.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kMp3BitrateKbps = 160;

// interleavedStereo: left, right, left, ... (an even count); sampleRate: one of MPEG-1's,
// 32000, 44100 or 48000. Returns the MP3 stream, or an empty vector when the input or the
// rate is unusable or LAME fails.
std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleavedStereo, int sampleRate);
