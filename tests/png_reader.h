// PNG files as their consumers read them: decoded by libpng, whatever filters and chunks the
// file holds, to 8-bit RGB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // top row first, 3 bytes a pixel
  const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + x) * 3]; }
};

// The picture in the PNG file at `path`; an empty Image when libpng cannot read it.
Image ReadPng(const std::string& path);
