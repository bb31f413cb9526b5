// Writes RGBA frames as 8-bit RGB PNG files (zlib-compressed, no other dependency).
#pragma once

#include <cstdint>
#include <string>

// rgba: width * height * 4 bytes, top row first. False when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba);
