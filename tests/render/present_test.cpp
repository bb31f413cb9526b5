// Where the back buffer's frame lands in a window of any size: its 4:3 shape kept, centred,
// the bars split evenly, and the whole window at the frame's own size.
#include "render/present.h"

#include <gtest/gtest.h>

namespace {

TEST(Letterbox, AtTheFramesOwnSizeTheFrameIsTheWholeWindow) {
  EXPECT_EQ(LetterboxRect(800, 600, 800, 600), (FrameRect{0, 0, 800, 600}));
}

TEST(Letterbox, AWideWindowGetsBarsAtTheSides) {
  EXPECT_EQ(LetterboxRect(800, 600, 1280, 720), (FrameRect{160, 0, 960, 720}));
  // 500 x 4/3 = 666.7 rounds to 667; the odd pixel left over goes to the right-hand bar.
  EXPECT_EQ(LetterboxRect(800, 600, 1000, 500), (FrameRect{166, 0, 667, 500}));
}

TEST(Letterbox, ATallWindowGetsBarsAboveAndBelow) {
  EXPECT_EQ(LetterboxRect(800, 600, 800, 900), (FrameRect{0, 150, 800, 600}));
  EXPECT_EQ(LetterboxRect(800, 600, 1024, 1000), (FrameRect{0, 116, 1024, 768}));
}

// The capture's frame sizes place the back buffer's picture the same way.
TEST(Letterbox, CaptureFramesHoldTheLargestPictureCentred) {
  EXPECT_EQ(LetterboxRect(800, 600, 1440, 1080), (FrameRect{0, 0, 1440, 1080}));
  EXPECT_EQ(LetterboxRect(800, 600, 1920, 1080), (FrameRect{240, 0, 1440, 1080}));
  EXPECT_EQ(LetterboxRect(800, 600, 1000, 1000), (FrameRect{0, 125, 1000, 750}));
}

TEST(Letterbox, HiDpiDrawablesScaleByWholeFactorsExactly) {
  EXPECT_EQ(LetterboxRect(800, 600, 1600, 1200), (FrameRect{0, 0, 1600, 1200}));
  EXPECT_EQ(LetterboxRect(800, 600, 3840, 2160), (FrameRect{480, 0, 2880, 2160}));
}

}  // namespace
