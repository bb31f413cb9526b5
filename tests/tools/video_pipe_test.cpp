// The capture's video pipe: ffmpeg that is not there is a failure at Open, not a silent pipe
// into nothing.
#include "tools/capture/video_pipe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(VideoPipe, OpenFailsWhenFfmpegIsNotInstalled) {
  const std::string path = std::getenv("PATH");
  setenv("PATH", "/nonexistent", 1);
  VideoFormat format;
  format.width = 160;
  format.height = 120;
  VideoPipe pipe;
  const bool opened = pipe.Open("/tmp/emberhall-no-ffmpeg.mp4", format, "");
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(opened);
  EXPECT_TRUE(pipe.Close()) << "nothing to close";
}

}  // namespace
