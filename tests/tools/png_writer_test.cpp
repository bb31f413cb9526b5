// PNG files as the capture tool and the icon write them: every pixel reads back exactly
// through libpng, and a write that fails says so, with the reason in errno.
#include "tools/common/png_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/png_reader.h"
#include "tests/test_files.h"

namespace {

TEST(PngWriter, EveryPixelReadsBackExactly) {
  // Odd sizes; flat rows, smooth ramps and noise, so that the rows are packed with
  // different filters; an alpha byte that must not reach the picture.
  const int width = 301, height = 199;
  std::vector<uint8_t> rgba, rgb;
  uint32_t noise = 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const uint8_t n = uint8_t(noise >> 24);
      std::array<uint8_t, 3> pixel;
      if (y < 60)
        pixel = {17, 200, 3};
      else if (y < 130)
        pixel = {uint8_t(x), uint8_t(y * 3), uint8_t(x + y)};
      else
        pixel = {n, uint8_t(n * 7), uint8_t(x + y)};
      rgb.insert(rgb.end(), pixel.begin(), pixel.end());
      rgba.insert(rgba.end(), pixel.begin(), pixel.end());
      rgba.push_back(uint8_t(noise >> 8));
    }
  const TempDir dir("png");
  const std::string path = dir.Path() / "picture.png";
  ASSERT_TRUE(WritePng(path, width, height, rgba.data()));
  const Image image = ReadPng(path);
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);
  ASSERT_EQ(image.rgb.size(), rgb.size());
  size_t differing = 0;
  for (size_t i = 0; i < rgb.size(); ++i) differing += image.rgb[i] != rgb[i];
  EXPECT_EQ(differing, 0u) << "of " << rgb.size() << " bytes";
}

TEST(PngWriter, AFailedWriteSaysWhyInErrno) {
  const std::vector<uint8_t> rgba(64 * 64 * 4, 128);
  errno = 0;
  EXPECT_FALSE(WritePng("/dev/full", 64, 64, rgba.data()));  // takes the file, not its bytes
  EXPECT_EQ(errno, ENOSPC);
  const TempDir dir("png");
  errno = 0;
  EXPECT_FALSE(WritePng(dir.Path() / "no-such-folder" / "a.png", 64, 64, rgba.data()));
  EXPECT_EQ(errno, ENOENT);
}

// libpng's own message for a write it could not make, with the system's reason; the file's
// reason when it cannot be opened.
TEST(PngWriter, AFailedWriteSaysWhyInWords) {
  std::vector<uint8_t> rgba(512 * 512 * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 2654435761u >> 13);  // noise
  std::string why;
  EXPECT_FALSE(WritePng("/dev/full", 512, 512, rgba.data(), &why));
  EXPECT_EQ(why, "Write Error: No space left on device");
  const TempDir dir("png");
  EXPECT_FALSE(WritePng(dir.Path() / "no-such-folder" / "a.png", 4, 4, rgba.data(), &why));
  EXPECT_EQ(why, "No such file or directory");
}

}  // namespace
