// Small data files written by tests: little-endian fields, BMP pictures and silent audio.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void Put16(std::string& out, uint32_t value);
void Put32(std::string& out, uint32_t value);
void PutFloat(std::string& out, float value);

// A bottom-up 24-bit BMP of 0xRRGGBB texels given top row first.
std::string Bmp24(int width, int height, const std::vector<uint32_t>& texels);
// `seconds` of 16-bit stereo silence at 44.1 kHz as a WAV file, which the audio library
// plays as readily as an MP3.
std::string SilentWav(double seconds);
