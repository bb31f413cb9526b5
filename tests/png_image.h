// The capture tool's PNG files read back for tests: 8-bit RGB, no row filters (what the
// tool's own writer makes), and the big-endian fields of the format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + x) * 3]; }
};

uint32_t BigEndian(const std::string& bytes, size_t at);
// The image in `path`; empty when it is not such a file.
Image ReadPng(const std::string& path);
