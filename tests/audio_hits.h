// Where the sound track's hits land in decoded audio, found from the signal alone, and
// ffmpeg's decoding of a file for the tests to look at.
//
// A hit is a drum onset: the first sample from which the next millisecond carries at least
// ten times the energy of the ten milliseconds before it. On the track's kick-and-crash
// hits this lands within a quarter of a millisecond of the sample the score placed them on,
// in the synthesised samples and in every decoding of them alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The time in seconds of the first hit within 50 ms of `seconds` in `stereo` (interleaved
// 16-bit, `rate` frames per second); NaN when there is none there.
double HitNear(const std::vector<int16_t>& stereo, int rate, double seconds);

// The first audio stream of the file at `path` as ffmpeg decodes it: interleaved 16-bit
// stereo at 44.1 kHz; empty when ffmpeg cannot decode it.
std::vector<int16_t> DecodeWithFfmpeg(const std::string& path);
