// Decodes BMP files held in memory into RGBA8 images for textures and UI.
// Promises: never reads outside the input or writes outside the output, whatever the bytes;
// on success the image is top row first with straight (unpremultiplied) alpha.
// Does not: decode embedded JPEG/PNG payloads, apply colour profiles or gamma, or touch the GPU.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4 bytes, top row first, R, G, B, A per pixel.
};

// Accepts the "BM" file header with an OS/2 core (12-byte) or Windows info header (40, 52, 56,
// 108 or 124 bytes); 1/4/8-bit palettised and 16/24/32-bit direct colour; BI_RGB, BI_RLE8,
// BI_RLE4, BI_BITFIELDS and BI_ALPHABITFIELDS. Alpha is 255 unless BI_(ALPHA)BITFIELDS gives a
// non-zero alpha mask. Returns false on anything malformed or unsupported, leaving `out` empty.
bool DecodeBmp(const uint8_t* data, size_t size, Image& out);
