// Tests for the BMP decoder and the ByteReader it is built on.
// Every file is assembled byte by byte here, so each test shows exactly what the decoder is fed.
// The robustness group is meant to be run under ASan/UBSan or valgrind as well as plainly.
#include "render/bmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "render/byte_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Rgba = std::array<uint8_t, 4>;

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;
constexpr uint32_t kAlphaBitfields = 6;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

void Append(Bytes& to, const Bytes& from) {
  to.insert(to.end(), from.begin(), from.end());
}

struct BmpParts {
  uint32_t infoSize = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bpp = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks = {};  // Inside the header from 52 bytes up, after it for 40.
  Bytes palette = {};                // Raw entries in file order.
  Bytes pixels = {};
};

Bytes Build(const BmpParts& p) {
  Bytes info;
  Put32(info, p.infoSize);
  if (p.infoSize == 12) {
    Put16(info, p.width);
    Put16(info, p.height);
    Put16(info, 1);
    Put16(info, p.bpp);
  } else {
    Put32(info, p.width);
    Put32(info, p.height);
    Put16(info, 1);
    Put16(info, p.bpp);
    Put32(info, p.compression);
    Put32(info, p.pixels.size());
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, p.colorsUsed);
    Put32(info, 0);
    for (uint32_t m : p.masks) Put32(info, m);
    if (p.infoSize > 40) info.resize(p.infoSize, 0);
  }
  Bytes file = {'B', 'M'};
  const size_t pixelOffset = 14 + info.size() + p.palette.size();
  Put32(file, pixelOffset + p.pixels.size());
  Put32(file, 0);
  Put32(file, pixelOffset);
  Append(file, info);
  Append(file, p.palette);
  Append(file, p.pixels);
  return file;
}

// Lays out rows bottom-up (or top-down), padding each with junk the decoder must skip, not show.
template <typename RowFn>
Bytes Rows(int height, bool topDown, RowFn row) {
  Bytes out;
  for (int i = 0; i < height; ++i) {
    Bytes r = row(topDown ? i : height - 1 - i);
    while (r.size() % 4 != 0) r.push_back(0xAA);
    Append(out, r);
  }
  return out;
}

// Packs palette indices most significant bits first, as BMP stores them.
Bytes Pack(const std::vector<int>& indices, int bpp) {
  Bytes out((indices.size() * bpp + 7) / 8, 0);
  for (size_t i = 0; i < indices.size(); ++i) {
    const size_t bit = i * bpp;
    out[bit / 8] |= indices[i] << (8 - bpp - bit % 8);
  }
  return out;
}

Bytes Flatten(const std::vector<Rgba>& pixels) {
  Bytes out;
  for (const Rgba& p : pixels) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// 3x2 so every depth needs row padding; each channel value survives 5- and 6-bit encoding.
constexpr int kW = 3;
constexpr int kH = 2;
const std::vector<Rgba> kPicture = {
    {0xFF, 0x00, 0x00, 255}, {0x00, 0xFF, 0x00, 255}, {0x00, 0x00, 0xFF, 255},  // top row
    {0xFF, 0xFF, 0xFF, 255}, {0x84, 0x10, 0x42, 255}, {0x21, 0xE7, 0xC6, 255},
};
const Rgba& At(int x, int y) {
  return kPicture[y * kW + x];
}

// The palette lists kPicture backwards so that index n is not simply pixel n.
Bytes PictureIndexPalette(size_t entrySize) {
  Bytes out;
  for (int i = kW * kH - 1; i >= 0; --i) {
    out.insert(out.end(), {kPicture[i][2], kPicture[i][1], kPicture[i][0]});
    if (entrySize == 4) out.push_back(0x77);  // The reserved byte is not alpha.
  }
  return out;
}
std::vector<int> PictureIndices(int y) {
  return {5 - 3 * y, 4 - 3 * y, 3 - 3 * y};
}

Bytes Palettised(int bpp, bool topDown = false, uint32_t infoSize = 40) {
  return Build({.infoSize = infoSize,
                .width = kW,
                .height = topDown ? -kH : kH,
                .bpp = static_cast<uint16_t>(bpp),
                .colorsUsed = 6,
                .palette = PictureIndexPalette(infoSize == 12 ? 3 : 4),
                .pixels = Rows(kH, topDown, [&](int y) { return Pack(PictureIndices(y), bpp); })});
}

// Two colours cannot show the six-colour picture, so 1-bit gets a 10x2 pattern spanning two bytes.
std::vector<int> OneBitIndices(int y) {
  return y == 0 ? std::vector<int>{1, 0, 0, 0, 0, 0, 0, 1, 1, 0}
                : std::vector<int>{0, 1, 1, 1, 1, 1, 1, 0, 0, 1};
}

Bytes OneBit() {
  return Build({.width = 10,
                .height = 2,
                .bpp = 1,
                .palette = {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0},
                .pixels = Rows(2, false, [](int y) { return Pack(OneBitIndices(y), 1); })});
}

Bytes Rgb555() {
  return Build({.width = kW,
                .height = kH,
                .bpp = 16,
                .pixels = Rows(kH, false, [](int y) {
                  Bytes r;
                  for (int x = 0; x < kW; ++x) {
                    const Rgba& p = At(x, y);  // The unused top bit is set: it must not matter.
                    Put16(r, 0x8000 | (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | p[2] >> 3);
                  }
                  return r;
                })});
}

Bytes Rgb565(uint32_t infoSize = 40) {
  return Build({.infoSize = infoSize,
                .width = kW,
                .height = kH,
                .bpp = 16,
                .compression = kBitfields,
                .masks = {0xF800, 0x07E0, 0x001F},
                .pixels = Rows(kH, false, [](int y) {
                  Bytes r;
                  for (int x = 0; x < kW; ++x) {
                    const Rgba& p = At(x, y);
                    Put16(r, (p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3);
                  }
                  return r;
                })});
}

Bytes Bgr24(bool topDown = false) {
  return Build({.width = kW,
                .height = topDown ? -kH : kH,
                .bpp = 24,
                .pixels = Rows(kH, topDown, [](int y) {
                  Bytes r;
                  for (int x = 0; x < kW; ++x)
                    r.insert(r.end(), {At(x, y)[2], At(x, y)[1], At(x, y)[0]});
                  return r;
                })});
}

Bytes Bgrx32() {
  return Build({.width = kW,
                .height = kH,
                .bpp = 32,
                .pixels = Rows(kH, false, [](int y) {
                  Bytes r;
                  for (int x = 0; x < kW; ++x) {
                    r.insert(r.end(), {At(x, y)[2], At(x, y)[1], At(x, y)[0], 0x5A});
                  }
                  return r;
                })});
}

// One-row images whose pixels are given as raw words, for the mask and alpha tests.
Bytes Words32(uint32_t infoSize, uint32_t compression, std::vector<uint32_t> masks,
              std::vector<uint32_t> words) {
  Bytes pixels;
  for (uint32_t w : words) Put32(pixels, w);
  return Build({.infoSize = infoSize,
                .width = static_cast<int32_t>(words.size()),
                .height = 1,
                .bpp = 32,
                .compression = compression,
                .masks = masks,
                .pixels = pixels});
}

Bytes Words16(uint32_t compression, std::vector<uint32_t> masks, std::vector<uint32_t> words) {
  Bytes pixels;
  for (uint32_t w : words) Put16(pixels, w);
  while (pixels.size() % 4 != 0) pixels.push_back(0);
  return Build({.width = static_cast<int32_t>(words.size()),
                .height = 1,
                .bpp = 16,
                .compression = compression,
                .masks = masks,
                .pixels = pixels});
}

Image Decode(const Bytes& file) {
  Image img;
  EXPECT_TRUE(DecodeBmp(file.data(), file.size(), img));
  return img;
}

bool Fails(const Bytes& file) {
  Image img;
  img.width = 7;
  img.rgba.assign(4, 1);  // Must be cleared by the failed decode.
  const bool ok = DecodeBmp(file.data(), file.size(), img);
  return !ok && img.width == 0 && img.height == 0 && img.rgba.empty();
}

void ExpectPicture(const Bytes& file) {
  const Image img = Decode(file);
  EXPECT_EQ(img.width, kW);
  EXPECT_EQ(img.height, kH);
  EXPECT_EQ(img.rgba, Flatten(kPicture));
}

// Distinct colours for the RLE tests; index 0 differs from all so skipped pixels show.
Rgba RleColour(int i) {
  return {static_cast<uint8_t>(10 * i + 5), static_cast<uint8_t>(200 - 10 * i),
          static_cast<uint8_t>(7 * i), 255};
}

Bytes RleFile(uint32_t compression, int width, int height, const Bytes& stream) {
  Bytes palette;
  for (int i = 0; i < 16; ++i) {
    const Rgba c = RleColour(i);
    palette.insert(palette.end(), {c[2], c[1], c[0], 0});
  }
  return Build({.width = width,
                .height = height,
                .bpp = static_cast<uint16_t>(compression == kRle8 ? 8 : 4),
                .compression = compression,
                .colorsUsed = 16,
                .palette = palette,
                .pixels = stream});
}

Bytes RleColours(const std::vector<int>& indicesTopRowFirst) {
  std::vector<Rgba> px;
  for (int i : indicesTopRowFirst) px.push_back(RleColour(i));
  return Flatten(px);
}

Bytes Rle8Sample() {
  return RleFile(kRle8, 6, 3,
                 {0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00,  // 1 1 1 2 3 4
                  0x02, 0x05, 0x00, 0x00,                                      // 5 5
                  0x00, 0x04, 0x06, 0x07, 0x08, 0x09, 0x00, 0x01});            // 6 7 8 9
}

Bytes Rle4Sample() {
  return RleFile(kRle4, 8, 2,
                 {0x03, 0x12, 0x00, 0x05, 0x34, 0x56, 0x70, 0x00, 0x00, 0x00,  // 1 2 1 3 4 5 6 7
                  0x04, 0x9A, 0x00, 0x01});                                    // 9 10 9 10
}

Bytes V5Alpha() {
  return Words32(124, kBitfields, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                 {0x00112233, 0x80445566});
}

// ---------------------------------------------------------------------------------------------

TEST(ByteReaderTest, ReadsLittleEndianIntegersAndFloats) {
  const uint8_t data[] = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE,
                          0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F};
  ByteReader r(data, sizeof(data));
  uint8_t u8 = 0;
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  int32_t i32 = 0;
  float f32 = 0;
  ASSERT_TRUE(r.ReadU8(u8) && r.ReadU16(u16) && r.ReadU32(u32) && r.ReadI32(i32) && r.ReadF32(f32));
  EXPECT_EQ(u8, 0x01);
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0x12345678u);
  EXPECT_EQ(i32, -2);
  EXPECT_EQ(f32, 1.0f);
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteReaderTest, ReadPastEndFailsAndConsumesNothing) {
  const uint8_t data[] = {0xAB, 0xCD, 0xEF};
  ByteReader r(data, sizeof(data));
  uint32_t u32 = 42;
  EXPECT_FALSE(r.ReadU32(u32));
  EXPECT_EQ(u32, 42u);
  EXPECT_EQ(r.Offset(), 0u);
  uint16_t u16 = 0;
  ASSERT_TRUE(r.ReadU16(u16));
  EXPECT_FALSE(r.ReadU16(u16));
  EXPECT_EQ(r.Offset(), 2u);
  EXPECT_EQ(*r.Here(), 0xEF);
}

TEST(ByteReaderTest, SkipAndSeekStayInsideBuffer) {
  const uint8_t data[4] = {};
  ByteReader r(data, sizeof(data));
  EXPECT_FALSE(r.Skip(5));
  EXPECT_TRUE(r.Skip(4));
  EXPECT_EQ(r.Remaining(), 0u);
  EXPECT_FALSE(r.Seek(5));
  EXPECT_EQ(r.Offset(), 4u);
  EXPECT_TRUE(r.Seek(1));
  EXPECT_EQ(r.Remaining(), 3u);
  ByteReader empty(nullptr, 0);
  uint8_t u8 = 0;
  EXPECT_FALSE(empty.ReadU8(u8));
}

// --- Every pixel format decodes the same picture --------------------------------------------

TEST(BmpFormatTest, OneBitPixelsAreMostSignificantBitFirst) {
  std::vector<Rgba> expected;
  for (int y = 0; y < 2; ++y) {
    for (int i : OneBitIndices(y))
      expected.push_back(i ? Rgba{0, 0, 0xFF, 255} : Rgba{0xFF, 0, 0, 255});
  }
  EXPECT_EQ(Decode(OneBit()).rgba, Flatten(expected));
}

TEST(BmpFormatTest, FourBitPaletteDecodesPicture) {
  ExpectPicture(Palettised(4));
}
TEST(BmpFormatTest, EightBitPaletteDecodesPicture) {
  ExpectPicture(Palettised(8));
}
TEST(BmpFormatTest, CoreHeaderUsesThreeBytePaletteEntries) {
  ExpectPicture(Palettised(8, false, 12));
}
TEST(BmpFormatTest, SixteenBitWithoutMasksIs555AndOpaque) {
  ExpectPicture(Rgb555());
}
TEST(BmpFormatTest, SixteenBitBitfields565) {
  ExpectPicture(Rgb565());
}
TEST(BmpFormatTest, TwentyFourBitIsBgr) {
  ExpectPicture(Bgr24());
}
TEST(BmpFormatTest, ThirtyTwoBitIsBgrxAndOpaque) {
  ExpectPicture(Bgrx32());
}

TEST(BmpFormatTest, MasksInsideLongerInfoHeaders) {
  for (uint32_t size : {52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(size);
    ExpectPicture(Rgb565(size));
  }
}

// --- Palettes ---------------------------------------------------------------------------------

TEST(BmpPaletteTest, ZeroColorsUsedMeansFullPalette) {
  Bytes palette(16 * 4, 0);
  palette[15 * 4 + 2] = 0xC8;  // Entry 15 is the only red one.
  const Bytes file =
      Build({.width = 1, .height = 1, .bpp = 4, .palette = palette, .pixels = {0xF0, 0, 0, 0}});
  EXPECT_EQ(Decode(file).rgba, (Bytes{0xC8, 0, 0, 255}));
}

TEST(BmpPaletteTest, IndexBeyondColorsUsedIsBlack) {
  // The bytes after the two declared entries are pixel data; index 5 must not read them as colour.
  const Bytes file = Build({.width = 2,
                            .height = 1,
                            .bpp = 8,
                            .colorsUsed = 2,
                            .palette = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0},
                            .pixels = {0x01, 0x05, 0xEE, 0xEE}});
  EXPECT_EQ(Decode(file).rgba, (Bytes{0x60, 0x50, 0x40, 255, 0, 0, 0, 255}));
}

TEST(BmpPaletteTest, PaletteExtendingPastFileFails) {
  Bytes file = Build({.width = 1,
                      .height = 1,
                      .bpp = 8,
                      .colorsUsed = 200,
                      .palette = {1, 2, 3, 0},
                      .pixels = {0, 0, 0, 0}});
  EXPECT_TRUE(Fails(file));
}

// --- Orientation ------------------------------------------------------------------------------

TEST(BmpOrientationTest, NegativeHeightIsTopDown) {
  ExpectPicture(Bgr24(true));
  ExpectPicture(Palettised(4, true));
}

// --- Alpha and masks --------------------------------------------------------------------------

TEST(BmpAlphaTest, AlphaMaskInV5HeaderKeepsAlpha) {
  EXPECT_EQ(Decode(V5Alpha()).rgba, (Bytes{0x11, 0x22, 0x33, 0x00, 0x44, 0x55, 0x66, 0x80}));
}

TEST(BmpAlphaTest, FourthMaskAfterInfoHeaderIsAlpha) {
  const Bytes four = Words32(40, kBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0x40102030});
  EXPECT_EQ(Decode(four).rgba, (Bytes{0x10, 0x20, 0x30, 0x40}));
  const Bytes alpha =
      Words32(40, kAlphaBitfields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0x40102030});
  EXPECT_EQ(Decode(alpha).rgba, (Bytes{0x10, 0x20, 0x30, 0x40}));
}

TEST(BmpAlphaTest, BitfieldsWithoutAlphaMaskAreOpaque) {
  const Bytes three = Words32(40, kBitfields, {0xFF0000, 0xFF00, 0xFF}, {0x40102030});
  EXPECT_EQ(Decode(three).rgba, (Bytes{0x10, 0x20, 0x30, 255}));
  const Bytes v5 = Words32(124, kBitfields, {0xFF0000, 0xFF00, 0xFF, 0}, {0x40102030});
  EXPECT_EQ(Decode(v5).rgba, (Bytes{0x10, 0x20, 0x30, 255}));
}

TEST(BmpAlphaTest, NarrowChannelsAreWidenedByBitReplication) {
  // 4-4-4-4: 0xF -> 0xFF, 0x8 -> 0x88, 0x1 -> 0x11, 0x0 -> 0x00.
  const Bytes file = Words16(kBitfields, {0x0F00, 0x00F0, 0x000F, 0xF000}, {0x8F10});
  EXPECT_EQ(Decode(file).rgba, (Bytes{0xFF, 0x11, 0x00, 0x88}));
}

TEST(BmpAlphaTest, WideChannelsKeepTheirTopEightBits) {
  // 2-10-10-10 with R = 0x3FF, G = 0x200, B = 0x0FF, A = 1 (2 bits -> 0x55).
  const uint32_t word = 1u << 30 | 0x3FFu << 20 | 0x200u << 10 | 0x0FFu;
  const Bytes file =
      Words32(56, kBitfields, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}, {word});
  EXPECT_EQ(Decode(file).rgba, (Bytes{0xFF, 0x80, 0x3F, 0x55}));
}

TEST(BmpAlphaTest, MaskWithHolesOrBeyondPixelFails) {
  EXPECT_TRUE(Fails(Words32(40, kBitfields, {0xF0F000, 0xFF00, 0xFF}, {0})));
  EXPECT_TRUE(Fails(Words16(kBitfields, {0x1F0000, 0x07E0, 0x001F}, {0})));
}

// --- RLE --------------------------------------------------------------------------------------

TEST(BmpRleTest, Rle8EncodedAndAbsoluteRuns) {
  EXPECT_EQ(Decode(Rle8Sample()).rgba, RleColours({6, 7, 8, 9, 0, 0,  //
                                                   5, 5, 0, 0, 0, 0,  //
                                                   1, 1, 1, 2, 3, 4}));
}

TEST(BmpRleTest, Rle8DeltaAndEndOfLineLeaveIndexZero) {
  // Positions are (x, row counted from the bottom), the order the stream walks in.
  const Bytes file = RleFile(kRle8, 4, 3,
                             {0x01, 0x01,              // (0,0) = 1
                              0x00, 0x02, 0x02, 0x01,  // delta to (3,1)
                              0x01, 0x02,              // (3,1) = 2
                              0x00, 0x00,              // end of line -> (0,2)
                              0x00, 0x02, 0x01, 0x00,  // delta to (1,2)
                              0x01, 0x03,              // (1,2) = 3
                              0x00, 0x01});
  EXPECT_EQ(Decode(file).rgba, RleColours({0, 3, 0, 0,  //
                                           0, 0, 0, 2,  //
                                           1, 0, 0, 0}));
}

TEST(BmpRleTest, Rle4RunsAlternateNibblesAndPadAbsoluteRuns) {
  EXPECT_EQ(Decode(Rle4Sample()).rgba, RleColours({9, 10, 9, 10, 0, 0, 0, 0,  //
                                                   1, 2, 1, 3, 4, 5, 6, 7}));
}

TEST(BmpRleTest, RunsPastRowEndAreClipped) {
  const Bytes file = RleFile(kRle8, 3, 2,
                             {0x0A, 0x01, 0x00, 0x00,                          // ten 1s
                              0x00, 0x05, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00,  // five literals
                              0x00, 0x01});
  EXPECT_EQ(Decode(file).rgba, RleColours({2, 3, 4,  //
                                           1, 1, 1}));
}

TEST(BmpRleTest, MovesPastBitmapEndAreClipped) {
  const Bytes file = RleFile(kRle8, 2, 2,
                             {0x01, 0x01, 0x00, 0x02, 0x00, 0x05, 0x02, 0x03,  // delta off the top
                              0x00, 0x00, 0x00, 0x00, 0x04, 0x03, 0x00, 0x01});
  EXPECT_EQ(Decode(file).rgba, RleColours({0, 0,  //
                                           1, 0}));
}

TEST(BmpRleTest, StreamWithoutEndOfBitmapFails) {
  EXPECT_TRUE(Fails(RleFile(kRle8, 2, 1, {0x02, 0x01, 0x00, 0x00})));
}

TEST(BmpRleTest, TopDownRleFails) {
  EXPECT_TRUE(Fails(RleFile(kRle8, 2, -1, {0x02, 0x01, 0x00, 0x01})));
}

// --- Hostile and broken files -----------------------------------------------------------------

std::vector<Bytes> AllSamples() {
  return {OneBit(),
          Palettised(4),
          Palettised(8),
          Palettised(8, false, 12),
          Palettised(4, true),
          Rgb555(),
          Rgb565(),
          Rgb565(124),
          Bgr24(),
          Bgr24(true),
          Bgrx32(),
          V5Alpha(),
          Rle8Sample(),
          Rle4Sample()};
}

TEST(BmpRobustnessTest, EveryTruncatedPrefixFailsAndLeavesOutputEmpty) {
  for (const Bytes& full : AllSamples()) {
    for (size_t len = 0; len < full.size(); ++len) {
      SCOPED_TRACE(testing::Message() << "length " << len << " of " << full.size());
      const Bytes prefix(full.begin(), full.begin() + len);
      EXPECT_TRUE(Fails(prefix));
    }
  }
}

TEST(BmpRobustnessTest, MutatedBytesNeverBreakTheOutputContract) {
  for (const Bytes& original : AllSamples()) {
    for (size_t i = 0; i < original.size(); ++i) {
      for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        Bytes file = original;
        file[i] = value;
        Image img;
        if (DecodeBmp(file.data(), file.size(), img)) {
          ASSERT_GT(img.width, 0);
          ASSERT_GT(img.height, 0);
          ASSERT_EQ(img.rgba.size(), size_t{4} * img.width * img.height);
        } else {
          ASSERT_TRUE(img.rgba.empty());
        }
      }
    }
  }
}

TEST(BmpRobustnessTest, BadMagicFails) {
  Bytes file = Bgr24();
  file[1] = 'A';
  EXPECT_TRUE(Fails(file));
}

TEST(BmpRobustnessTest, ZeroOrNegativeWidthFails) {
  for (int32_t width : {0, -3, INT32_MIN}) {
    SCOPED_TRACE(width);
    EXPECT_TRUE(Fails(Build({.width = width, .height = 1, .bpp = 24, .pixels = Bytes(64, 0)})));
  }
}

TEST(BmpRobustnessTest, ZeroHeightFails) {
  EXPECT_TRUE(Fails(Build({.width = 1, .height = 0, .bpp = 24, .pixels = Bytes(64, 0)})));
  EXPECT_TRUE(
      Fails(Build({.infoSize = 12, .width = 1, .height = 0, .bpp = 24, .pixels = Bytes(64, 0)})));
}

TEST(BmpRobustnessTest, Int32MinHeightFails) {
  EXPECT_TRUE(Fails(Build({.width = 1, .height = INT32_MIN, .bpp = 24, .pixels = Bytes(64, 0)})));
}

// An RLE8 stream that paints `pixels` pixels of index 1 in runs of up to 255, then ends.
Bytes Rle8Runs(int pixels) {
  Bytes stream;
  for (; pixels > 0; pixels -= 255)
    stream.insert(stream.end(), {uint8_t(std::min(pixels, 255)), 1});
  stream.insert(stream.end(), {0x00, 0x01});
  return stream;
}

TEST(BmpRobustnessTest, DimensionsBeyondLimitFail) {
  EXPECT_FALSE(Fails(RleFile(kRle8, 16384, 1, Rle8Runs(16384))));
  EXPECT_TRUE(Fails(RleFile(kRle8, 16385, 1, Rle8Runs(16385))));
  EXPECT_TRUE(Fails(RleFile(kRle8, 1, 16385, Rle8Runs(16385))));
  EXPECT_TRUE(Fails(RleFile(kRle8, 8192, 8193, Rle8Runs(8192 * 8193))));  // Just over 64M pixels.
}

TEST(BmpRobustnessTest, CallersLimitOnEitherSideIsHonoured) {
  for (const Bytes& file : {Bgr24(), Rle8Sample()}) {  // 3x2 and 6x3
    Image img;
    EXPECT_TRUE(DecodeBmp(file.data(), file.size(), img, 6));
    EXPECT_FALSE(DecodeBmp(file.data(), file.size(), img, 2));
    EXPECT_TRUE(img.rgba.empty());
  }
  Image img;
  EXPECT_FALSE(DecodeBmp(Bgr24().data(), Bgr24().size(), img, 0));
}

// Two bytes of run paint at most 255 pixels, so an RLE image may claim 128 pixels per byte of
// its stream and no more, however the stream would skip over the rest.
TEST(BmpRobustnessTest, RleImageMayClaimAtMost128PixelsPerStreamByte) {
  const Bytes endOfBitmap = {0x00, 0x01};
  EXPECT_FALSE(Fails(RleFile(kRle8, 256, 1, endOfBitmap)));
  EXPECT_TRUE(Fails(RleFile(kRle8, 257, 1, endOfBitmap)));
  EXPECT_TRUE(Fails(RleFile(kRle4, 16, 17, endOfBitmap)));
  // The decompression bomb: a hundred-odd bytes that claim 16384 x 4096 pixels (256 MB of RGBA).
  EXPECT_TRUE(Fails(RleFile(kRle8, 16384, 4096, endOfBitmap)));
  // A picture of one colour, each row spelled out in runs as an encoder writes it, decodes.
  Bytes rows;
  for (int y = 0; y < 200; ++y) rows.insert(rows.end(), {255, 1, 45, 1, 0x00, 0x00});
  rows.insert(rows.end(), {0x00, 0x01});
  EXPECT_EQ(Decode(RleFile(kRle8, 300, 200, rows)).rgba.size(), 300u * 200 * 4);
}

TEST(BmpRobustnessTest, PixelOffsetOutsidePixelAreaFails) {
  for (const Bytes& original : {Bgr24(), Rle8Sample()}) {
    for (uint32_t offset : {0u, 20u, 200u, 0xFFFFFFFFu}) {
      SCOPED_TRACE(offset);
      Bytes file = original;
      for (int i = 0; i < 4; ++i) file[10 + i] = (offset >> (8 * i)) & 0xFF;
      EXPECT_TRUE(Fails(file));
    }
  }
}

TEST(BmpRobustnessTest, PixelDataMustCoverEveryPaddedRow) {
  // One byte short of the last row's padding, with the offset still in range.
  Bytes file = Bgr24();
  file.pop_back();
  EXPECT_TRUE(Fails(file));
}

TEST(BmpRobustnessTest, UnsupportedHeaderSizeFails) {
  for (uint32_t size : {0u, 16u, 41u, 64u, 200u}) {
    SCOPED_TRACE(size);
    Bytes file = Bgr24();
    file[14] = static_cast<uint8_t>(size);
    EXPECT_TRUE(Fails(file));
  }
}

TEST(BmpRobustnessTest, UnsupportedDepthOrCompressionFails) {
  const struct {
    uint16_t bpp;
    uint32_t compression;
  } cases[] = {{0, 0},     {2, 0},     {7, 0},           {48, 0},
               {4, kRle8}, {8, kRle4}, {24, kBitfields}, {8, kAlphaBitfields},
               {24, 4},    {24, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bpp << " bpp, compression " << c.compression);
    EXPECT_TRUE(Fails(Build({.width = 1,
                             .height = 1,
                             .bpp = c.bpp,
                             .compression = c.compression,
                             .masks = {0xFF0000, 0xFF00, 0xFF},
                             .palette = Bytes(1024, 0),
                             .pixels = {0x00, 0x01, 0, 0, 0, 0, 0, 0}})));
  }
}

}  // namespace
