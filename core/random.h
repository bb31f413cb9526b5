// The demo's one source of random numbers: the C library's rand() of the platform the
// demo was written for, reproduced here so that every run on every machine draws the
// same sequence.
//
// A 15-bit linear congruential generator: state = state * 214013 + 2531011 (mod 2^32),
// result = (state >> 16) & 0x7FFF, initial state 1. The first draws are 41, 18467, 6334.
// It shares nothing with this platform's std::rand, which the demo never calls.
//
// Not here: seeding from time or entropy; the demo never seeds.
#pragma once

#include <cstdint>

// The demo's rand(): the next number of the sequence, 0 to 32767.
int Rand();

// The demo's srand(): sets the generator's state. The demo itself never calls it; tests
// that run the demo more than once in a process call SRand(1) to start the sequence over.
// (The capture tool runs the demo once per process, so its sequence starts at 1 anyway.)
void SRand(uint32_t seed);
