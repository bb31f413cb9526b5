// The rules of the generated pictures: every texture and caption file under its exact name,
// readable by the demo's own BMP decoder at its listed size and depth, the same bytes on every
// run, seamless where the demo repeats a picture, captions as light on black, additive
// pictures black where they add nothing, five distinct cube levels, and a small total size.
#include "tools/assets/textures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "render/bmp.h"
#include "tests/test_files.h"
#include "tools/assets/captions.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

// Every BMP of the demo's default data set should stay within this, so that the whole set
// with its sound track fits its budget.
constexpr uintmax_t kBitmapBudget = 2621440;  // 2.5 MiB

const std::array<const char*, 23> kExpectedNames = {
    "cube.bmp",        "cube2.bmp",  "cube3.bmp",  "cube4.bmp",    "cube5.bmp",    "StenAl.bmp",
    "Gray.bmp",        "Tex2.bmp",   "Tex3.bmp",   "granbarr.bmp", "granstam.bmp", "rum.bmp",
    "bricks.bmp",      "eld.bmp",    "himmel.bmp", "huve.bmp",     "hatt.bmp",     "presents.bmp",
    "brindlequay.bmp", "finish.bmp", "code.bmp",   "greets.bmp",   "where.bmp",
};

// A fresh directory, removed with everything in it when the object goes.
bool WriteAll(const fs::path& dir) {
  return WriteTextures(dir.string()) && WriteCaptions(dir.string());
}

// Generation takes a fraction of a second; the suite writes the set once and reads it often.
const TempDir& Generated() {
  static const TempDir dir("textures_a");
  static const bool written = WriteAll(dir.Path());
  EXPECT_TRUE(written);
  return dir;
}

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Image Decode(const std::string& name) {
  const Bytes bytes = ReadBytes(Generated().Path() / name);
  Image image;
  EXPECT_TRUE(DecodeBmp(bytes.data(), bytes.size(), image)) << name;
  return image;
}

std::vector<BitmapFile> AllFiles() {
  std::vector<BitmapFile> files(TextureFiles().begin(), TextureFiles().end());
  files.insert(files.end(), CaptionFiles().begin(), CaptionFiles().end());
  return files;
}

int Channel(const Image& image, int x, int y, int c) {
  return image.rgba[(size_t(y) * size_t(image.width) + size_t(x)) * 4 + size_t(c)];
}

int Brightest(const Image& image, int x, int y) {
  return std::max({Channel(image, x, y, 0), Channel(image, x, y, 1), Channel(image, x, y, 2)});
}

// Mean absolute RGB difference between column a and column b (or rows, when `rows`).
double LineDifference(const Image& image, int a, int b, bool rows) {
  const int count = rows ? image.width : image.height;
  double sum = 0.0;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c) {
      const int pa = rows ? Channel(image, i, a, c) : Channel(image, a, i, c);
      const int pb = rows ? Channel(image, i, b, c) : Channel(image, b, i, c);
      sum += std::abs(pa - pb);
    }
  }
  return sum / (3.0 * count);
}

// How much the wrap-around step (last line to first) exceeds the picture's typical step
// between neighbouring lines: about 1 for a seamless picture, large for one with a seam.
double SeamRatio(const Image& image, bool rows) {
  const int lines = rows ? image.height : image.width;
  double neighbours = 0.0;
  for (int i = 0; i + 1 < lines; ++i) neighbours += LineDifference(image, i, i + 1, rows);
  neighbours /= double(lines - 1);
  return LineDifference(image, lines - 1, 0, rows) / (neighbours + 1.0);
}

constexpr double kSeamRatioLimit = 2.5;

TEST(Textures, WritesEveryFileUnderItsExactName) {
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(Generated().Path())) {
    written.insert(entry.path().filename().string());
  }
  EXPECT_EQ(written, std::set<std::string>(kExpectedNames.begin(), kExpectedNames.end()));
  std::set<std::string> listed;
  for (const BitmapFile& file : AllFiles()) listed.insert(file.name);
  EXPECT_EQ(listed, written);
}

TEST(Textures, EveryFileDecodesWithTheDemosDecoderAtItsListedSize) {
  for (const BitmapFile& file : AllFiles()) {
    const Image image = Decode(file.name);
    EXPECT_EQ(image.width, file.width) << file.name;
    EXPECT_EQ(image.height, file.height) << file.name;
    const Bytes bytes = ReadBytes(Generated().Path() / file.name);
    ASSERT_GT(bytes.size(), 30u) << file.name;
    EXPECT_EQ(bytes[28] | (bytes[29] << 8), 24) << file.name << " is not 24-bit";
  }
}

TEST(Textures, GenerationGivesTheSameBytesEveryRun) {
  const TempDir second("textures_b");
  ASSERT_TRUE(WriteAll(second.Path()));
  for (const char* name : kExpectedNames) {
    EXPECT_EQ(ReadBytes(Generated().Path() / name), ReadBytes(second.Path() / name)) << name;
  }
}

TEST(Textures, SeamMeasureFindsTheSeamOfAGradient) {
  Image ramp;
  ramp.width = 64;
  ramp.height = 8;
  ramp.rgba.resize(64 * 8 * 4, 255);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 64; ++x) {
      for (int c = 0; c < 3; ++c) ramp.rgba[(size_t(y) * 64 + size_t(x)) * 4 + size_t(c)] = 4 * x;
    }
  }
  EXPECT_GT(SeamRatio(ramp, false), kSeamRatioLimit);
}

TEST(Textures, RepeatedTexturesTileWithoutASeam) {
  int tiling = 0;
  for (const BitmapFile& file : TextureFiles()) {
    if (!file.tiles) continue;
    ++tiling;
    const Image image = Decode(file.name);
    EXPECT_LT(SeamRatio(image, false), kSeamRatioLimit) << file.name << " across";
    EXPECT_LT(SeamRatio(image, true), kSeamRatioLimit) << file.name << " down";
  }
  // The ones the demo repeats or wraps: the warp layers, the stones, needles, bark, the room,
  // the floor tile and the sky.
  EXPECT_EQ(tiling, 9);
}

TEST(Textures, CaptionsAreLightLetteringOnBlack) {
  for (const BitmapFile& file : CaptionFiles()) {
    const Image image = Decode(file.name);
    int black = 0;
    int bright = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const int level = Brightest(image, x, y);
        black += level < 16;
        bright += level >= 200;
      }
    }
    const int pixels = image.width * image.height;
    EXPECT_GT(black, pixels / 2) << file.name;
    EXPECT_GT(bright, pixels / 200) << file.name;
    EXPECT_EQ(Brightest(image, 0, 0), 0) << file.name << " corner";
  }
}

TEST(Textures, GreetsCaptionIsDarkInTheColumnsTheScheduleNeverShows) {
  // The demo stretches the greets picture over x = 300 to 900 of the 800-pixel screen: the
  // columns from 5/6 of its width on are never seen, and text there would be cut off.
  const Image greets = Decode("greets.bmp");
  const int firstHidden = (greets.width * 5 + 5) / 6;
  int hidden = 0;
  int shownRightQuarter = 0;
  for (int y = 0; y < greets.height; ++y) {
    for (int x = 0; x < greets.width; ++x) {
      if (x >= firstHidden)
        hidden = std::max(hidden, Brightest(greets, x, y));
      else if (x >= firstHidden * 3 / 4)
        shownRightQuarter = std::max(shownRightQuarter, Brightest(greets, x, y));
    }
  }
  EXPECT_LT(hidden, 8);
  EXPECT_GE(shownRightQuarter, 200) << "the lettering should use the part that is shown";
}

TEST(Textures, FlameIsBlackAlongItsEdgesAndHotInside) {
  const Image flame = Decode("eld.bmp");
  int edgeMax = 0;
  for (int i = 0; i < flame.width; ++i) {
    edgeMax = std::max({edgeMax, Brightest(flame, i, 0), Brightest(flame, i, flame.height - 1)});
  }
  for (int i = 0; i < flame.height; ++i) {
    edgeMax = std::max({edgeMax, Brightest(flame, 0, i), Brightest(flame, flame.width - 1, i)});
  }
  EXPECT_LT(edgeMax, 8);
  const int x = flame.width / 2;
  const int y = flame.height * 3 / 4;
  EXPECT_GT(Channel(flame, x, y, 0), 240);
  EXPECT_GT(Channel(flame, x, y, 1), Channel(flame, x, y, 2));
}

TEST(Textures, SkyIsDarkWithBrightStars) {
  const Image sky = Decode("himmel.bmp");
  int dark = 0;
  int stars = 0;
  for (int y = 0; y < sky.height; ++y) {
    for (int x = 0; x < sky.width; ++x) {
      const int level = Brightest(sky, x, y);
      dark += level < 40;
      stars += level > 200;
    }
  }
  EXPECT_GT(dark, sky.width * sky.height * 3 / 4);
  EXPECT_GT(stars, 50);
}

TEST(Textures, FloorTileHasBlackJointsAndDimBricks) {
  const Image tile = Decode("bricks.bmp");
  int black = 0;
  int brightest = 0;
  for (int y = 0; y < tile.height; ++y) {
    for (int x = 0; x < tile.width; ++x) {
      black += Brightest(tile, x, y) < 4;
      brightest = std::max(brightest, Brightest(tile, x, y));
    }
  }
  EXPECT_GT(black, tile.width * tile.height / 20);
  EXPECT_GT(brightest, 40);
  EXPECT_LT(brightest, 160);
}

TEST(Textures, FiveCubeLevelsHaveFiveDistinctColours) {
  std::vector<std::array<double, 3>> tints;
  for (const char* name : {"cube.bmp", "cube2.bmp", "cube3.bmp", "cube4.bmp", "cube5.bmp"}) {
    const Image image = Decode(name);
    std::array<double, 3> sum{};
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        for (int c = 0; c < 3; ++c) sum[size_t(c)] += Channel(image, x, y, c);
      }
    }
    const double total = sum[0] + sum[1] + sum[2];
    tints.push_back({sum[0] / total, sum[1] / total, sum[2] / total});
  }
  for (size_t a = 0; a < tints.size(); ++a) {
    for (size_t b = a + 1; b < tints.size(); ++b) {
      const double distance = std::hypot(tints[a][0] - tints[b][0], tints[a][1] - tints[b][1],
                                         tints[a][2] - tints[b][2]);
      EXPECT_GT(distance, 0.03) << "cube levels " << a << " and " << b;
    }
  }
}

TEST(Textures, WholeSetStaysWithinItsBudget) {
  uintmax_t total = 0;
  for (const char* name : kExpectedNames) total += fs::file_size(Generated().Path() / name);
  EXPECT_LE(total, kBitmapBudget);
}

TEST(Textures, AFailedWriteNamesTheFile) {
  const TempDir dir("textures_blocked");
  const fs::path notADirectory = dir.Path() / "file";
  std::ofstream(notADirectory) << "x";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteTextures(notADirectory.string()));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cube.bmp"), std::string::npos);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteCaptions(notADirectory.string()));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("presents.bmp"), std::string::npos);
}

}  // namespace
