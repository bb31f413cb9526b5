// RGBA to the YUV 4:2:0 planes of the capture's videos: BT.709 in the limited range.
#include "tools/capture/yuv420.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The Y, U and V of a 2x2 frame of one colour.
std::vector<int> Convert(uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < 4; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
  std::vector<uint8_t> yuv(6);
  RgbaToYuv420(rgba.data(), 2, 2, yuv.data());
  return {yuv[0], yuv[4], yuv[5]};
}

TEST(RgbaToYuv420, PrimariesLandOnTheirBt709LimitedRangeValues) {
  EXPECT_EQ(Convert(0, 0, 0), (std::vector<int>{16, 128, 128}));
  EXPECT_EQ(Convert(255, 255, 255), (std::vector<int>{235, 128, 128}));
  EXPECT_EQ(Convert(255, 0, 0), (std::vector<int>{63, 102, 240}));
  EXPECT_EQ(Convert(0, 255, 0), (std::vector<int>{173, 42, 26}));
  EXPECT_EQ(Convert(0, 0, 255), (std::vector<int>{32, 240, 118}));
}

TEST(RgbaToYuv420, EachChromaSampleIsTheMeanOfItsFourPixels) {
  // A 4x2 frame: red and blue crosswise on the left, green and black on the right.
  const uint8_t red[4] = {255, 0, 0, 255}, blue[4] = {0, 0, 255, 255}, green[4] = {0, 255, 0, 255},
                black[4] = {0, 0, 0, 255};
  std::vector<uint8_t> rgba;
  for (const uint8_t* p : {red, blue, green, black, blue, red, black, green})
    rgba.insert(rgba.end(), p, p + 4);
  std::vector<uint8_t> yuv(12);
  RgbaToYuv420(rgba.data(), 4, 2, yuv.data());
  EXPECT_EQ(std::vector<int>(yuv.begin(), yuv.begin() + 8),
            (std::vector<int>{63, 32, 173, 16, 32, 63, 16, 173}));
  EXPECT_EQ(std::vector<int>(yuv.begin() + 8, yuv.end()), (std::vector<int>{171, 85, 179, 77}));
}

}  // namespace
