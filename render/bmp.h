// Decodes Windows and OS/2 BMP files held in memory into RGBA8 images for textures.
// Promises: never reads outside the input or writes outside the output, whatever the bytes:
// every header field is range-checked before it sizes a read or a write, so a truncated or
// hostile file is refused, except inside an RLE stream, where a run past the image's edge
// is clipped and what the stream does not set stays black. The image's size is checked
// against the caller's limit and against what the file can hold before any pixel memory
// is allocated. On success the image is top row first with straight (unpremultiplied) alpha.
// Does not: decode embedded JPEG/PNG payloads, accept top-down RLE bitmaps, apply colour
// profiles or gamma, or touch the GPU.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4 bytes, top row first, R, G, B, A per pixel.
};

// The longest side DecodeBmp accepts when the caller sets no tighter limit.
constexpr int kBmpMaxSide = 16384;

// Accepts the "BM" file header with an OS/2 core (12-byte) or Windows info header (40, 52, 56,
// 108 or 124 bytes); 1/4/8-bit palettised and 16/24/32-bit direct colour; BI_RGB, BI_RLE8,
// BI_RLE4, BI_BITFIELDS and BI_ALPHABITFIELDS. Alpha is 255 unless BI_(ALPHA)BITFIELDS gives a
// non-zero alpha mask. Returns false on anything malformed or unsupported, or wider or taller
// than `maxSide` (which cannot raise kBmpMaxSide), leaving `out` empty.
bool DecodeBmp(const uint8_t* data, size_t size, Image& out, int maxSide = kBmpMaxSide);
