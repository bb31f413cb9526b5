// still_diff, run as the GPU check runs it, on stills written by the capture tool's PNG
// writer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/program_run.h"
#include "tests/test_files.h"
#include "tools/common/png_writer.h"

namespace {

ProgramResult StillDiff(const TempDir& dir, const std::string& a, const std::string& b) {
  return RunProgram(std::string(EMBERHALL_STILL_DIFF) + " " + (dir.Path() / a).string() + " " +
                    (dir.Path() / b).string());
}

TEST(StillDiff, ReportsTheMeanAndLargestDifferencePerChannel) {
  TempDir dir("still_diff");
  std::vector<uint8_t> a(4 * 2 * 4, 100), b = a;  // 4x2 RGBA, every channel 100
  b[0] = 110;                                     // pixel 0: red +10
  b[4 * 5 + 2] = 40;                              // pixel 5: blue -60
  b[4 * 7 + 3] = 0;                               // pixel 7: alpha only, which PNG drops
  ASSERT_TRUE(WritePng((dir.Path() / "a.png").string(), 4, 2, a.data()));
  ASSERT_TRUE(WritePng((dir.Path() / "b.png").string(), 4, 2, b.data()));

  const ProgramResult result = StillDiff(dir, "a.png", "b.png");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output, "mean 1.250 0.000 7.500  largest 10 0 60  differing 2 of 8 pixels\n");
  EXPECT_EQ(StillDiff(dir, "b.png", "b.png").output,
            "mean 0.000 0.000 0.000  largest 0 0 0  differing 0 of 8 pixels\n");
}

TEST(StillDiff, RefusesWhatItCannotCompareFaithfully) {
  TempDir dir("still_diff");
  const std::vector<uint8_t> pixels(4 * 2 * 4, 100);
  ASSERT_TRUE(WritePng((dir.Path() / "a.png").string(), 4, 2, pixels.data()));
  ASSERT_TRUE(WritePng((dir.Path() / "wide.png").string(), 2, 4, pixels.data()));
  const std::string png = FileContents(dir.Path() / "a.png");
  ASSERT_TRUE(WriteBytes(dir.Path() / "short.png", png.substr(0, png.size() - 20)));
  ASSERT_TRUE(WriteBytes(dir.Path() / "text.png", "not a picture"));

  const struct {
    const char* file;
    const char* reason;
  } cases[] = {
      {"wide.png", "the stills differ in size: 4x2 and 2x4"},
      {"short.png", "is damaged"},
      {"text.png", "cannot read"},
      {"missing.png", "cannot read"},
  };
  for (const auto& c : cases) {
    const ProgramResult result = StillDiff(dir, "a.png", c.file);
    EXPECT_EQ(result.status, 2) << c.file;
    EXPECT_NE(result.output.find(c.reason), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << "one line: " << result.output;
  }
}

}  // namespace
