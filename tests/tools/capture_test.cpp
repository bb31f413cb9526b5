// The capture tool as its users run it: a separate process in a folder with a data set.
#include "tools/capture/capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/tick.h"
#include "tests/demo_data.h"
#include "tests/png_reader.h"
#include "tests/program_run.h"
#include "tests/test_files.h"
#include "timeline/demo_clock.h"

namespace {

// Runs emberhall-capture with `arguments` in the current directory.
ProgramResult Capture(const std::string& arguments) {
  return RunProgram(std::string(EMBERHALL_CAPTURE) + " --quiet " + arguments);
}

// The mean of each channel over a w x h block at x, y.
std::array<double, 3> BlockMean(const Image& image, int x, int y, int w, int h) {
  std::array<double, 3> sum{};
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i)
      for (int c = 0; c < 3; ++c) sum[c] += image.At(i, j)[c];
  for (double& s : sum) s /= double(w * h);
  return sum;
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
    EXPECT_EQ(FileContents("a/" + name), FileContents("b/" + name)) << name;
    ++frames;
  }
  EXPECT_EQ(frames, 6);
}

TEST_F(CaptureTest, StillAtATimeEqualsThatFrameOfARangeRun) {
  ASSERT_EQ(Capture("--at 31.5 --fps 10").status, 0);
  ASSERT_EQ(Capture("--png range --from 31 --to 32 --fps 10").status, 0);
  const std::string still = FileContents(FrameFileName(315));
  ASSERT_FALSE(still.empty());
  EXPECT_EQ(still, FileContents("range/" + FrameFileName(315)));
  EXPECT_NE(still, FileContents("range/" + FrameFileName(314))) << "the echoes move between frames";
}

TEST_F(CaptureTest, FramesRunButNotDrawnLeaveTheStillAsIfTheyHadBeenDrawn) {
  ASSERT_EQ(Capture("--at 35 --fps 2").status, 0);  // frames 0 to 69 are not drawn
  ASSERT_EQ(Capture("--png every --from 0 --to 35 --fps 2").status, 0);  // every one is
  const std::string still = FileContents(FrameFileName(70));
  ASSERT_FALSE(still.empty());
  EXPECT_EQ(still, FileContents("every/" + FrameFileName(70)));
}

TEST_F(CaptureTest, VideoHasTheRangesFramesAndTheSoundTrack) {
  ASSERT_EQ(Capture("--video with.mp4 --from 5 --to 6 --fps 20").status, 0);
  EXPECT_EQ(Probe("-select_streams v -count_frames -show_entries stream=nb_read_frames "
                  "-of csv=p=0 with.mp4"),
            "21\n");
  EXPECT_EQ(Probe("-select_streams a -show_entries stream=codec_name -of csv=p=0 with.mp4"),
            "aac\n");
  EXPECT_EQ(Probe("-select_streams v -show_entries stream=codec_name,width,height,pix_fmt,"
                  "color_space,color_range -of csv=p=0 with.mp4"),
            "h264,800,600,yuv420p,tv,bt709\n");
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

// /dev/full takes the file open and refuses every byte, as a full disk does.
TEST_F(CaptureTest, FullDiskIsReportedInOneLineWithExitCodeOne) {
  const ProgramResult trace = Capture("--at 1 --fps 2 --trace /dev/full");
  EXPECT_EQ(trace.status, 1);
  EXPECT_EQ(trace.output, "emberhall-capture: cannot write /dev/full (No space left on device)\n");
  EXPECT_TRUE(std::filesystem::exists(FrameFileName(2))) << "the other outputs are kept";

  const ProgramResult video = Capture("--at 1 --fps 2 --video /dev/full");
  EXPECT_EQ(video.status, 1) << video.output;
  EXPECT_NE(video.output.find("emberhall-capture: ffmpeg stopped taking frames for /dev/full"),
            std::string::npos)
      << video.output;

  const ProgramResult stills = Capture("--at 1 --png /dev/full");
  EXPECT_EQ(stills.status, 2);
  EXPECT_NE(stills.output.find("cannot write into /dev/full"), std::string::npos) << stills.output;
}

// A display that is named but not there (a stale DISPLAY over ssh) is no reason to stop, as
// the capture needs no window that anyone sees; a demo that cannot start at all is a failure.
TEST_F(CaptureTest, UnreachableDisplayStillCapturesAndNoDeviceFails) {
  const ProgramResult stale =
      RunProgram("env -u SDL_VIDEODRIVER DISPLAY=:4711 " + std::string(EMBERHALL_CAPTURE) +
                 " --quiet --at 0.5 --fps 2");
  EXPECT_EQ(stale.status, 0) << stale.output;
  EXPECT_TRUE(std::filesystem::exists(FrameFileName(1)));

  const ProgramResult none = RunProgram("SDL_VIDEODRIVER=no-such-driver " +
                                        std::string(EMBERHALL_CAPTURE) + " --quiet --at 0.5");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.output.find("emberhall-capture: the demo could not start, so nothing was "
                             "captured\n"),
            std::string::npos)
      << none.output;
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
  const std::string trace = FileContents("calls.txt");
  EXPECT_EQ(trace.rfind("# frame 2\nClear(", 0), 0u) << trace.substr(0, 80);
  EXPECT_NE(trace.find("# frame 4\nClear("), std::string::npos);
  EXPECT_EQ(trace.find("# frame 3"), std::string::npos);
  EXPECT_EQ(trace.find("D3DXCreateTextureFromFileA"), std::string::npos) << "no loading";
}

TEST_F(CaptureTest, SupersampledStillsKeepTheirSize) {
  ASSERT_EQ(Capture("--at 7 --fps 2 --scale 2").status, 0);
  const Image still = ReadPng(FrameFileName(14));
  EXPECT_EQ(still.width, 800);
  EXPECT_EQ(still.height, 600);
}

// A still late in the demo is reached by running the frames before it with their draws
// discarded; it must come out as if every frame had been drawn: at 38 s the echoes swing
// by Rand() drawn in every frame since 30 s, at 118 s the glade is in its last move.
TEST_F(CaptureTest, FastForwardedStillsEqualStillsWithEveryFrameDrawn) {
  ASSERT_EQ(Capture("--fps 2 --at 38 --at 118 --trace skipped.txt").status, 0);
  std::filesystem::create_directory("skipped");
  for (int64_t frame : {76, 236})
    std::filesystem::rename(FrameFileName(frame), "skipped/" + FrameFileName(frame));
  ASSERT_EQ(Capture("--fps 2 --at 38 --at 118 --trace drawn.txt --render-all").status, 0);
  for (int64_t frame : {76, 236}) {
    const std::string still = FileContents(FrameFileName(frame));
    ASSERT_FALSE(still.empty());
    EXPECT_EQ(FileContents("skipped/" + FrameFileName(frame)), still) << frame;
  }
  const std::string trace = FileContents("drawn.txt");
  EXPECT_NE(trace.find("# frame 236\nClear("), std::string::npos);
  EXPECT_EQ(FileContents("skipped.txt"), trace);
}

TEST_F(CaptureTest, AWiderSizeCentresThePictureBetweenBlackBars) {
  ASSERT_EQ(Capture("--fps 2 --at 100").status, 0);
  std::filesystem::rename(FrameFileName(200), "small.png");
  ASSERT_EQ(Capture("--fps 2 --at 100 --size 1920x1080").status, 0);
  const Image small = ReadPng("small.png");
  const Image wide = ReadPng(FrameFileName(200));
  ASSERT_EQ(small.width, 800);
  ASSERT_EQ(wide.width, 1920);
  ASSERT_EQ(wide.height, 1080);
  // Bars of 240 columns each side, the 1440x1080 picture between them.
  for (int y = 0; y < 1080; y += 7) {
    for (int x : {0, 120, 239, 1680, 1800, 1919})
      EXPECT_EQ(wide.At(x, y)[0] + wide.At(x, y)[1] + wide.At(x, y)[2], 0) << x << ", " << y;
  }
  int lit = 0;
  for (int y = 0; y < 1080; ++y)
    lit +=
        (wide.At(240, y)[0] + wide.At(1679, y)[0] + wide.At(240, y)[2] + wide.At(1679, y)[2]) > 0;
  EXPECT_GT(lit, 1000) << "the picture reaches both bars";
  // The picture is the 800x600 frame at 1.8 times: 20 x 15 blocks of each agree.
  double difference = 0;
  for (int j = 0; j < 15; ++j)
    for (int i = 0; i < 20; ++i) {
      const auto a = BlockMean(small, i * 40, j * 40, 40, 40);
      const auto b = BlockMean(wide, 240 + i * 72, j * 72, 72, 72);
      for (int c = 0; c < 3; ++c) difference += std::abs(a[c] - b[c]);
    }
  EXPECT_LT(difference / (20 * 15 * 3), 1.0);
}

TEST_F(CaptureTest, BadSizesAreRefusedInOneLine) {
  const char* sizes[] = {"1921x1080", "1920x1081", "100x100",     "8000x4320", "1920",
                         "1920x",     "x1080",     "1920x1080x2", "-800x600",  "800 x600"};
  for (const char* size : sizes) {
    const ProgramResult result = Capture(std::string("--at 1 --size '") + size + "'");
    EXPECT_EQ(result.status, 2) << size;
    EXPECT_EQ(result.output, std::string("emberhall-capture: bad value for --size: '") + size +
                                 "' (even width and height from 160x120 to 7680x4320, such as "
                                 "1920x1080)\n");
  }
  const ProgramResult tooMany = Capture("--at 1 --size 3840x2160 --scale 3");
  EXPECT_EQ(tooMany.status, 2);
  EXPECT_EQ(std::count(tooMany.output.begin(), tooMany.output.end(), '\n'), 1);
  EXPECT_NE(tooMany.output.find("11520x6480"), std::string::npos) << tooMany.output;
}

TEST_F(CaptureTest, BenchReportsTheRateOfEachStage) {
  const ProgramResult result = Capture("--bench --png bench --from 1 --to 2 --fps 4");
  ASSERT_EQ(result.status, 0) << result.output;
  for (const char* stage :
       {"\nrendered ", "\nrendered and read back ", "\nrendered, read back and written "}) {
    const size_t at = result.output.find(stage);
    ASSERT_NE(at, std::string::npos) << stage << " in " << result.output;
    long long frames = 0;
    double seconds = 0, fps = 0;
    ASSERT_EQ(std::sscanf(result.output.c_str() + at + std::strlen(stage), "%lld %lf %lf", &frames,
                          &seconds, &fps),
              3)
        << result.output;
    EXPECT_EQ(frames, 4) << stage << ": the range's frames after its first";
    EXPECT_GT(fps, 0) << stage;
  }
  EXPECT_TRUE(std::filesystem::exists("bench/" + FrameFileName(8))) << "the last run writes";
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
