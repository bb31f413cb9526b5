// Writes RGBA frames as 8-bit RGB PNG files, through libpng (its adaptive row filters).
#pragma once

#include <cstdint>
#include <string>

// rgba: width * height * 4 bytes, top row first; the fourth byte of each pixel is left out.
// False when the file cannot be written; then `why`, when given, says why: the system's
// reason for the file, or libpng's own message.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba,
              std::string* why = nullptr);
