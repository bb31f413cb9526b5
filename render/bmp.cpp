// BMP decoding; the contract is in bmp.h.
#include "render/bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

#include "render/byte_reader.h"

namespace {

// With kBmpMaxSide, far beyond any image the demo ships, yet small enough that a hostile
// header cannot make us allocate more than a quarter of a gigabyte.
constexpr int64_t kMaxPixels = int64_t{64} << 20;
// Uncompressed pixels are all in the file, so an image is at most 32 times its file (one bit
// per pixel in, four bytes out). RLE is what can claim more: a two-byte run paints up to
// 255 pixels, so a stream that spells out its picture covers under 128 pixels per byte.
// Skips (deltas, line and bitmap ends) can claim any size in a few bytes, which no encoder
// needs for a real picture, so an RLE image may have at most 128 pixels per byte of its
// stream: the pixel buffer stays within 512 times the stream, and a few-byte header that
// claims millions of pixels is refused before anything is allocated.
constexpr uint64_t kMaxRlePixelsPerByte = 128;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitfields = 3,
  kAlphaBitfields = 6,
};

using Rgba = std::array<uint8_t, 4>;
using Palette = std::array<Rgba, 256>;

struct Header {
  size_t pixelOffset = 0;
  size_t paletteOffset = 0;
  size_t paletteEntrySize = 4;
  int64_t width = 0;
  int64_t height = 0;  // Magnitude only; topDown carries the sign.
  bool topDown = false;
  uint16_t bpp = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  std::array<uint32_t, 4> masks{};  // R, G, B, A.
};

// A contiguous bit field inside a 16- or 32-bit pixel.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};
using Channels = std::array<Channel, 4>;  // R, G, B, A.

bool IsRle(const Header& h) {
  return h.compression == kRle8 || h.compression == kRle4;
}

uint64_t Stride(const Header& h) {
  return (static_cast<uint64_t>(h.width) * h.bpp + 31) / 32 * 4;
}

bool ReadCoreHeader(ByteReader& r, Header& h) {
  uint16_t width = 0;
  uint16_t height = 0;
  // The skipped word is the plane count, always 1 and of no use to us.
  if (!r.ReadU16(width) || !r.ReadU16(height) || !r.Skip(2) || !r.ReadU16(h.bpp)) return false;
  h.width = width;
  h.height = height;
  h.paletteEntrySize = 3;
  h.paletteOffset = r.Offset();
  return true;
}

bool ReadInfoHeader(ByteReader& r, uint32_t infoSize, Header& h) {
  int32_t width = 0;
  int32_t height = 0;
  // Skipped: planes; the image size and resolution (often zero or wrong); important colours.
  if (!r.ReadI32(width) || !r.ReadI32(height) || !r.Skip(2) || !r.ReadU16(h.bpp) ||
      !r.ReadU32(h.compression) || !r.Skip(12) || !r.ReadU32(h.colorsUsed) || !r.Skip(4)) {
    return false;
  }
  const size_t masksInHeader = infoSize >= 56 ? 4 : infoSize >= 52 ? 3 : 0;
  for (size_t i = 0; i < masksInHeader; ++i) {
    if (!r.ReadU32(h.masks[i])) return false;
  }
  if (!r.Seek(kFileHeaderSize + infoSize)) return false;

  if (infoSize == kInfoHeaderSize &&
      (h.compression == kBitfields || h.compression == kAlphaBitfields)) {
    for (size_t i = 0; i < 3; ++i) {
      if (!r.ReadU32(h.masks[i])) return false;
    }
    // BI_ALPHABITFIELDS always stores an alpha mask here. Some writers add one to BI_BITFIELDS too;
    // take it when the gap before the pixels has room for it and no palette claims that space.
    const bool hasAlphaMask =
        h.compression == kAlphaBitfields || (h.colorsUsed == 0 && h.pixelOffset >= r.Offset() + 4);
    if (hasAlphaMask && !r.ReadU32(h.masks[3])) return false;
  }
  h.width = width;
  h.topDown = height < 0;
  h.height = h.topDown ? -int64_t{height} : height;  // 64-bit so INT32_MIN has a magnitude.
  h.paletteOffset = r.Offset();
  return true;
}

bool ReadHeader(ByteReader& r, Header& h) {
  uint8_t magic0 = 0;
  uint8_t magic1 = 0;
  uint32_t pixelOffset = 0;
  uint32_t infoSize = 0;
  // Skipped: the file size, which writers often get wrong, and two reserved words.
  if (!r.ReadU8(magic0) || !r.ReadU8(magic1) || magic0 != 'B' || magic1 != 'M' || !r.Skip(8) ||
      !r.ReadU32(pixelOffset) || !r.ReadU32(infoSize)) {
    return false;
  }
  h.pixelOffset = pixelOffset;
  switch (infoSize) {
    case kCoreHeaderSize:
      return ReadCoreHeader(r, h);
    case kInfoHeaderSize:
    case 52:
    case 56:
    case 108:
    case 124:
      return ReadInfoHeader(r, infoSize, h);
    default:
      return false;
  }
}

bool HasValidLayout(const Header& h, size_t size, int64_t maxSide) {
  if (h.width <= 0 || h.height <= 0 || h.width > maxSide || h.height > maxSide ||
      h.width * h.height > kMaxPixels) {
    return false;
  }
  bool depthOk = false;
  switch (h.compression) {
    case kRgb:
      depthOk = h.bpp == 1 || h.bpp == 4 || h.bpp == 8 || h.bpp == 16 || h.bpp == 24 || h.bpp == 32;
      break;
    case kRle8:  // RLE streams are only defined bottom-up.
      depthOk = h.bpp == 8 && !h.topDown;
      break;
    case kRle4:
      depthOk = h.bpp == 4 && !h.topDown;
      break;
    case kBitfields:
    case kAlphaBitfields:
      depthOk = h.bpp == 16 || h.bpp == 32;
      break;
  }
  if (!depthOk || h.pixelOffset < h.paletteOffset || h.pixelOffset >= size) return false;
  // An RLE stream's length is only known by walking it; the walk checks every byte it takes.
  const uint64_t bytes = size - h.pixelOffset;
  if (IsRle(h)) {
    const uint64_t pixels = static_cast<uint64_t>(h.width * h.height);
    return (pixels + kMaxRlePixelsPerByte - 1) / kMaxRlePixelsPerByte <= bytes;
  }
  return Stride(h) * static_cast<uint64_t>(h.height) <= bytes;
}

// Entries the file does not provide stay opaque black, so any 8-bit index is safe to look up.
bool ReadPalette(const uint8_t* data, size_t size, const Header& h, Palette& palette) {
  palette.fill({0, 0, 0, 255});
  if (h.bpp > 8) return true;
  const size_t full = size_t{1} << h.bpp;
  // The core header has no colour count; writers that store fewer than 2^bpp entries show it by
  // where the pixels start.
  const size_t count = h.paletteEntrySize == 3
                           ? std::min(full, (h.pixelOffset - h.paletteOffset) / 3)
                       : h.colorsUsed == 0 ? full
                                           : std::min<size_t>(h.colorsUsed, full);
  ByteReader r(data, size);
  if (!r.Seek(h.paletteOffset)) return false;
  for (size_t i = 0; i < count; ++i) {
    uint8_t b = 0;
    uint8_t g = 0;
    uint8_t red = 0;
    if (!r.ReadU8(b) || !r.ReadU8(g) || !r.ReadU8(red) || !r.Skip(h.paletteEntrySize - 3)) {
      return false;
    }
    palette[i] = {red, g, b, 255};
  }
  return true;
}

// Masks with holes or bits above the pixel size mean a corrupt header, so they fail.
bool MakeChannel(uint32_t mask, int bpp, Channel& c) {
  if (bpp < 32 && (mask >> bpp) != 0) return false;
  c = Channel{mask, 0, 0};
  if (mask == 0) return true;
  c.shift = std::countr_zero(mask);
  const uint32_t field = mask >> c.shift;
  if ((field & (field + 1)) != 0) return false;
  c.bits = std::popcount(field);
  return true;
}

bool MakeChannels(const Header& h, Channels& channels) {
  std::array<uint32_t, 4> masks = h.masks;
  // Without BI_BITFIELDS the masks are fixed; any in a V4/V5 header are not meant to apply.
  if (h.compression == kRgb) {
    masks = h.bpp == 16 ? std::array<uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                        : std::array<uint32_t, 4>{0xFF0000, 0x00FF00, 0x0000FF, 0};
  }
  for (size_t i = 0; i < channels.size(); ++i) {
    if (!MakeChannel(masks[i], h.bpp, channels[i])) return false;
  }
  return true;
}

// Repeating the bit pattern maps full scale to 255 and zero to 0, unlike a plain shift.
uint8_t Widen(uint32_t value, int bits) {
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  uint32_t wide = 0;
  int filled = 0;
  while (filled < 8) {
    wide = wide << bits | value;
    filled += bits;
  }
  return static_cast<uint8_t>(wide >> (filled - 8));
}

uint8_t Extract(uint32_t pixel, const Channel& c, uint8_t ifAbsent) {
  return c.bits == 0 ? ifAbsent : Widen((pixel & c.mask) >> c.shift, c.bits);
}

Rgba Unpack(uint32_t pixel, const Channels& ch) {
  return {Extract(pixel, ch[0], 0), Extract(pixel, ch[1], 0), Extract(pixel, ch[2], 0),
          Extract(pixel, ch[3], 255)};
}

Rgba ReadPixel(const uint8_t* row, size_t x, int bpp, const Palette& palette,
               const Channels& channels) {
  switch (bpp) {
    case 1:
      return palette[(row[x / 8] >> (7 - x % 8)) & 1];
    case 4:
      return palette[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
    case 8:
      return palette[row[x]];
    case 16:
      return Unpack(uint32_t{row[2 * x]} | uint32_t{row[2 * x + 1]} << 8, channels);
    case 24:
      return {row[3 * x + 2], row[3 * x + 1], row[3 * x], 255};
    default: {
      const uint8_t* p = row + 4 * x;
      return Unpack(
          uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24,
          channels);
    }
  }
}

// HasValidLayout has already proven that every row, padding included, lies inside the input.
bool DecodeRows(const uint8_t* data, const Header& h, const Palette& palette, Image& img) {
  Channels channels;
  if ((h.bpp == 16 || h.bpp == 32) && !MakeChannels(h, channels)) return false;
  const size_t width = static_cast<size_t>(h.width);
  const size_t height = static_cast<size_t>(h.height);
  const size_t stride = static_cast<size_t>(Stride(h));
  for (size_t row = 0; row < height; ++row) {
    const uint8_t* src = data + h.pixelOffset + row * stride;
    const size_t outRow = h.topDown ? row : height - 1 - row;
    uint8_t* dst = img.rgba.data() + outRow * width * 4;
    for (size_t x = 0; x < width; ++x) {
      const Rgba px = ReadPixel(src, x, h.bpp, palette, channels);
      std::copy(px.begin(), px.end(), dst + 4 * x);
    }
  }
  return true;
}

uint8_t Nibble(uint8_t byte, int i) {
  return i % 2 == 0 ? byte >> 4 : byte & 0xF;
}

bool DecodeRle(const uint8_t* data, size_t size, const Header& h, const Palette& palette,
               Image& img) {
  const size_t width = static_cast<size_t>(h.width);
  const size_t height = static_cast<size_t>(h.height);
  // Pixels the stream skips over keep the colour of index 0.
  for (size_t i = 0; i < width * height; ++i) {
    std::copy(palette[0].begin(), palette[0].end(), img.rgba.data() + 4 * i);
  }
  size_t x = 0;
  size_t y = 0;  // Counts up from the bottom row, as the stream does.
  auto put = [&](uint8_t index) {
    if (x < width && y < height) {
      const Rgba& px = palette[index];
      std::copy(px.begin(), px.end(), img.rgba.data() + ((height - 1 - y) * width + x) * 4);
    }
    ++x;
  };
  const bool nibbles = h.compression == kRle4;
  ByteReader r(data, size);
  if (!r.Seek(h.pixelOffset)) return false;
  for (;;) {
    uint8_t count = 0;
    uint8_t value = 0;
    if (!r.ReadU8(count) || !r.ReadU8(value)) return false;
    if (count > 0) {  // Encoded run; RLE4 alternates the byte's two nibbles.
      for (int i = 0; i < count; ++i) put(nibbles ? Nibble(value, i) : value);
    } else if (value == 0) {  // End of line.
      x = 0;
      ++y;
    } else if (value == 1) {  // End of bitmap.
      return true;
    } else if (value == 2) {  // Delta: move right and up without drawing.
      uint8_t dx = 0;
      uint8_t dy = 0;
      if (!r.ReadU8(dx) || !r.ReadU8(dy)) return false;
      x += dx;
      y += dy;
    } else {  // Absolute run of `value` literal indices, padded to a 16-bit boundary.
      const size_t bytes = nibbles ? (value + 1u) / 2 : value;
      const uint8_t* run = r.Here();
      if (!r.Skip(bytes + bytes % 2)) return false;
      for (int i = 0; i < value; ++i) put(nibbles ? Nibble(run[i / 2], i) : run[i]);
    }
  }
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, Image& out, int maxSide) {
  out = Image{};
  ByteReader r(data, size);
  Header h;
  Palette palette;
  if (!ReadHeader(r, h) || !HasValidLayout(h, size, std::min(maxSide, kBmpMaxSide)) ||
      !ReadPalette(data, size, h, palette)) {
    return false;
  }
  Image img;
  img.width = static_cast<int>(h.width);
  img.height = static_cast<int>(h.height);
  img.rgba.resize(static_cast<size_t>(h.width * h.height) * 4);
  const bool ok =
      IsRle(h) ? DecodeRle(data, size, h, palette, img) : DecodeRows(data, h, palette, img);
  if (!ok) return false;
  out = std::move(img);
  return true;
}
