// The capture tool as its users run it: a separate process in a folder with a data set.
#include "tools/capture/capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/tick.h"
#include "tests/demo_data.h"
#include "tests/program_run.h"
#include "timeline/demo_clock.h"

namespace {

// Runs emberhall-capture with `arguments` in the current directory.
ProgramResult Capture(const std::string& arguments) {
  return RunProgram(std::string(EMBERHALL_CAPTURE) + " --quiet " + arguments);
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream out;
  out << file.rdbuf();
  return out.str();
}

std::string Probe(const std::string& arguments) {
  return RunProgram("ffprobe -v error " + arguments).output;
}

class CaptureTest : public ::testing::Test {
 protected:
  DemoDataDir data_;
};

TEST_F(CaptureTest, SameRangeTwiceGivesIdenticalFrames) {
  ASSERT_EQ(Capture("--png a --from 30 --to 30.5 --fps 10").status, 0);
  ASSERT_EQ(Capture("--png b --from 30 --to 30.5 --fps 10").status, 0);
  int frames = 0;
  for (const auto& entry : std::filesystem::directory_iterator("a")) {
    const std::string name = entry.path().filename();
    EXPECT_EQ(Contents("a/" + name), Contents("b/" + name)) << name;
    ++frames;
  }
  EXPECT_EQ(frames, 6);
}

TEST_F(CaptureTest, StillAtATimeEqualsThatFrameOfARangeRun) {
  ASSERT_EQ(Capture("--at 31.5 --fps 10").status, 0);
  ASSERT_EQ(Capture("--png range --from 31 --to 32 --fps 10").status, 0);
  const std::string still = Contents(FrameFileName(315));
  ASSERT_FALSE(still.empty());
  EXPECT_EQ(still, Contents("range/" + FrameFileName(315)));
  EXPECT_NE(still, Contents("range/" + FrameFileName(314))) << "the echoes move between frames";
}

TEST_F(CaptureTest, FramesRunButNotDrawnLeaveTheStillAsIfTheyHadBeenDrawn) {
  ASSERT_EQ(Capture("--at 35 --fps 2").status, 0);  // frames 0 to 69 are not drawn
  ASSERT_EQ(Capture("--png every --from 0 --to 35 --fps 2").status, 0);  // every one is
  const std::string still = Contents(FrameFileName(70));
  ASSERT_FALSE(still.empty());
  EXPECT_EQ(still, Contents("every/" + FrameFileName(70)));
}

TEST_F(CaptureTest, VideoHasTheRangesFramesAndTheSoundTrack) {
  ASSERT_EQ(Capture("--video with.mp4 --from 5 --to 6 --fps 20").status, 0);
  EXPECT_EQ(Probe("-select_streams v -count_frames -show_entries stream=nb_read_frames "
                  "-of csv=p=0 with.mp4"),
            "21\n");
  EXPECT_EQ(Probe("-select_streams a -show_entries stream=codec_name -of csv=p=0 with.mp4"),
            "aac\n");
  const double duration = std::stod(Probe("-show_entries format=duration -of csv=p=0 with.mp4"));
  EXPECT_NEAR(duration, 21 / 20.0, 0.06);

  std::filesystem::remove("Data/solen.mp3");
  EXPECT_EQ(Capture("--video silent.mp4 --from 5 --to 6 --fps 20").status, 3)
      << "an incomplete data set is reported";
  EXPECT_EQ(Probe("-select_streams a -show_entries stream=codec_name -of csv=p=0 silent.mp4"), "");
}

TEST_F(CaptureTest, BadOptionsAndUnwritableOutputsAreRefusedWithAReason) {
  const struct {
    const char* arguments;
    const char* message;
  } cases[] = {
      {"--fps 0 --at 1", "bad value for --fps: '0'"},
      {"--at soon", "bad value for --at: 'soon'"},
      {"--scale 2.5 --at 1", "bad value for --scale"},
      {"--frobnicate 1", "unknown option --frobnicate"},
      {"--from 5 --to 4 --png x", "--to must not come before --from"},
      {"", "nothing to write"},
      {"--video /no/such/folder/demo.mp4", "cannot write /no/such/folder/demo.mp4"},
      {"--png /proc/emberhall --at 1", "cannot write into /proc/emberhall"},
  };
  for (const auto& c : cases) {
    const ProgramResult result = Capture(c.arguments);
    EXPECT_EQ(result.status, 2) << c.arguments;
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
  }
}

TEST_F(CaptureTest, MissingDataIsListedAndTheCaptureStillRuns) {
  std::filesystem::remove("Data/kub.x");
  std::filesystem::remove("Data/Tex3.bmp");
  const ProgramResult result = Capture("--at 0");
  EXPECT_EQ(result.status, 3);
  EXPECT_NE(result.output.find("missing Data\\kub.x, Data\\Tex3.bmp;"), std::string::npos)
      << result.output;
  EXPECT_TRUE(std::filesystem::exists(FrameFileName(0)));
}

TEST_F(CaptureTest, TraceHoldsTheCallsOfEachCapturedFrame) {
  ASSERT_EQ(Capture("--at 1 --at 2 --fps 2 --trace calls.txt").status, 0);
  const std::string trace = Contents("calls.txt");
  EXPECT_EQ(trace.rfind("# frame 2\nClear(", 0), 0u) << trace.substr(0, 80);
  EXPECT_NE(trace.find("# frame 4\nClear("), std::string::npos);
  EXPECT_EQ(trace.find("# frame 3"), std::string::npos);
  EXPECT_EQ(trace.find("D3DXCreateTextureFromFileA"), std::string::npos) << "no loading";
}

TEST_F(CaptureTest, SupersampledStillsKeepTheirSize) {
  ASSERT_EQ(Capture("--at 7 --fps 2 --scale 2").status, 0);
  const std::string png = Contents(FrameFileName(14));
  ASSERT_GT(png.size(), 24u);
  // IHDR width and height, big-endian, at bytes 16 and 20.
  auto be32 = [&](size_t at) {
    return (uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
           (uint32_t(uint8_t(png[at + 2])) << 8) | uint32_t(uint8_t(png[at + 3]));
  };
  EXPECT_EQ(be32(16), 800u);
  EXPECT_EQ(be32(20), 600u);
}

// Frame steps land exactly on the schedule's whole-second boundaries, so inclusive
// windows open and close where they should.
TEST(CaptureClock, FrameStepsHitTheWindowBoundariesExactly) {
  for (double fps : {24.0, 25.0, 30.0, 50.0, 60.0}) {
    uint64_t ticks = FrameTicks(0, fps, 1000);
    SetTickSource([&] { return ticks; });
    DemoClock clock;
    clock.Start();
    for (double boundary : {14.0, 30.0, 44.0, 75.0, 124.0, 145.0, 200.0}) {
      ticks = FrameTicks(FrameAt(boundary, fps), fps, 1000);
      EXPECT_EQ(clock.Elapsed(), boundary) << fps << " fps";
      EXPECT_TRUE(clock.InRange(boundary, boundary + 10));
      EXPECT_TRUE(clock.InRange(boundary - 10, boundary));
    }
    ticks = FrameTicks(FrameAt(200, fps) + 1, fps, 1000);
    EXPECT_GT(clock.Elapsed(), 200.0) << "the next frame quits";
    SetTickSource(nullptr);
  }
}

}  // namespace
