// The capture tool as its users run it: a separate process in a folder with a data set.
#include "tools/capture/capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/demo_clock.h"
#include "platform/tick.h"
#include "platform/tool_switches.h"
#include "tests/audio_hits.h"
#include "tests/demo_data.h"
#include "tests/png_reader.h"
#include "tests/program_run.h"
#include "tests/test_files.h"
#include "tools/common/demo_session.h"

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

// Lines of ffprobe's csv output split at commas.
std::vector<std::vector<std::string>> ProbeRows(const std::string& arguments) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(Probe(arguments + " -of csv=p=0"));
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    rows.push_back(fields);
  }
  return rows;
}

// Mono 16-bit samples at 48 kHz decoded by ffmpeg from `input` after `filters`.
std::vector<int16_t> Decode(const std::string& input, const std::string& filters) {
  RunProgram("ffmpeg -nostdin -v error -y -i " + input + " -af " + filters +
             ",aresample=48000 -ac 1 -f s16le decoded.raw");
  const std::string bytes = FileContents("decoded.raw");
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

// The still at 100 s (2 fps, frame 200) as 800x600 and as the capture makes it with
// `options`; both empty when a capture fails.
std::pair<Image, Image> StillsAt100(const std::string& options) {
  if (Capture("--fps 2 --at 100").status != 0) return {};
  std::filesystem::rename(FrameFileName(200), "small.png");
  if (Capture("--fps 2 --at 100 " + options).status != 0) return {};
  return {ReadPng("small.png"), ReadPng(FrameFileName(200))};
}

class CaptureTest : public ::testing::Test {
 protected:
  DemoDataDir data_;
};

// The default data set, the generated sound track and pictures, as users capture it.
class DefaultDataCaptureTest : public ::testing::Test {
 protected:
  DefaultDataCaptureTest() {
    std::filesystem::create_directory_symlink(EMBERHALL_DEFAULT_DATA, "Data");
  }
  DemoDataDir dir_{false};
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

// What video sites and party rules ask for: 48 kHz AAC of at least 192 kbit/s starting with
// the picture, closed GOPs with a keyframe every second, the exact NTSC rate.
TEST_F(DefaultDataCaptureTest, VideoMeetsTheHostsSpecifications) {
  ASSERT_EQ(Capture("--video v.mp4 --from 40 --to 43 --fps 60000/1001").status, 0);
  EXPECT_EQ(Probe("-select_streams a -show_entries stream=codec_name,sample_rate,channels "
                  "-of csv=p=0 v.mp4"),
            "aac,48000,2\n");
  EXPECT_GE(std::stod(Probe("-select_streams a -show_entries stream=bit_rate -of csv=p=0 v.mp4")),
            180000);  // the encoder's own count of a 192 kbit/s stream over 3 s
  EXPECT_EQ(Probe("-select_streams v -show_entries stream=profile,r_frame_rate,color_primaries,"
                  "color_transfer -of csv=p=0 v.mp4"),
            "High,bt709,bt709,60000/1001\n");
  // Frames 2398 (40 s) to 2577 (43 s), in the file from time 0, the sound as long.
  const auto starts = ProbeRows("-show_entries stream=codec_type,start_time,duration v.mp4");
  ASSERT_EQ(starts.size(), 2u);
  for (const auto& stream : starts) EXPECT_EQ(std::stod(stream[1]), 0) << stream[0];
  EXPECT_NEAR(std::stod(starts[0][2]), 180 * 1001 / 60000.0, 1e-6) << starts[0][0];
  EXPECT_NEAR(std::stod(starts[1][2]), 180 * 1001 / 60000.0, 0.022) << starts[1][0];

  // In decode order: a keyframe every 59 frames (under a second), and no frame after a
  // keyframe shown before it (the GOPs are closed).
  const auto packets = ProbeRows("-select_streams v -show_entries packet=pts,flags v.mp4");
  ASSERT_EQ(packets.size(), 180u);
  std::vector<size_t> keys;
  int64_t keyPts = -1;
  for (size_t i = 0; i < packets.size(); ++i) {
    const int64_t pts = std::stoll(packets[i][0]);
    if (packets[i][1][0] == 'K')
      keys.push_back(i), keyPts = pts;
    else
      EXPECT_GT(pts, keyPts) << "a frame of an open GOP, packet " << i;
  }
  EXPECT_EQ(keys, (std::vector<size_t>{0, 59, 118, 177}));

  // The sound is the track from demo time 40.007 s on (frame 2398): cross-correlated with the
  // track decoded and cut there, it matches at no offset (no encoder delay left in).
  const std::vector<int16_t> video = Decode("v.mp4", "anull");
  const std::vector<int16_t> track =
      Decode("Data/solen.mp3",
             "atrim=start=" + std::to_string(2398 * 1001 / 60000.0) + ",asetpts=PTS-STARTPTS");
  ASSERT_GT(video.size(), 48000u);
  ASSERT_GT(track.size(), 96000u);
  int bestLag = 0;
  double best = -1;
  for (int lag = -1500; lag <= 1500; ++lag) {
    double sum = 0;
    for (size_t i = 2000; i < 26000; ++i) sum += double(video[i]) * track[size_t(long(i) + lag)];
    if (sum > best) best = sum, bestLag = lag;
  }
  EXPECT_EQ(bestLag, 0);
}

// A 4K video of the 800x600 frame enlarged 3 times: the frame size, and a bit rate for it.
TEST_F(DefaultDataCaptureTest, UpscaledVideoHasTheFrameSizeAndABitRateForIt) {
  ASSERT_EQ(
      Capture("--video 4k.mp4 --size 3840x2160 --upscale 3 --from 50 --to 51 --fps 30").status, 0);
  EXPECT_EQ(Probe("-select_streams v -show_entries stream=width,height,nb_frames -of csv=p=0 "
                  "4k.mp4"),
            "3840,2160,31\n");
  EXPECT_GE(std::stod(Probe("-select_streams v -show_entries stream=bit_rate -of csv=p=0 4k.mp4")),
            35e6);  // 41.5 Mbit/s asked for
}

// Enlarged pixel for pixel: every 3 x 3 block of the centred 2400x1800 picture is one pixel
// of the 800x600 still, and the bars are black.
TEST_F(DefaultDataCaptureTest, UpscaledStillScaledBackDownIsThe800x600Still) {
  const auto [small, large] = StillsAt100("--size 3840x2160 --upscale 3");
  ASSERT_EQ(small.width, 800);
  ASSERT_EQ(large.width, 3840);
  ASSERT_EQ(large.height, 2160);
  size_t differing = 0, lit = 0, barsLit = 0;
  for (int y = 0; y < 2160; ++y)
    for (int x = 0; x < 3840; ++x) {
      const uint8_t* pixel = large.At(x, y);
      const bool inside = x >= 720 && x < 3120 && y >= 180 && y < 1980;
      if (!inside) {
        barsLit += pixel[0] + pixel[1] + pixel[2] > 0;
        continue;
      }
      const uint8_t* source = small.At((x - 720) / 3, (y - 180) / 3);
      differing += std::memcmp(pixel, source, 3) != 0;
      lit += source[0] + source[1] + source[2] > 0;
    }
  EXPECT_EQ(differing, 0u);
  EXPECT_EQ(barsLit, 0u);
  EXPECT_GT(lit, 2400u * 1800 / 4) << "a picture, not a black frame";
}

// Frame k at 60000/1001 frames per second shows demo time k * 1001/60000 s to the
// millisecond: frame 601 shows 10.027 s (10026.67 rounded), as frame 271 of a run at 1000/37
// does, and frame 600 10.010 s, as frame 1001 at 100 does; the opening at 10 s depends on the
// demo time alone, and changes from one millisecond to the next.
TEST_F(DefaultDataCaptureTest, FramesOfARationalRateShowTheirExactDemoTime) {
  ASSERT_EQ(Capture("--fps 60000/1001 --at 10.01 --at 10.027").status, 0);
  ASSERT_EQ(Capture("--fps 1000/37 --at 10.027").status, 0);
  ASSERT_EQ(Capture("--fps 100 --at 10.01").status, 0);
  const std::string frame600 = FileContents(FrameFileName(600));
  const std::string frame601 = FileContents(FrameFileName(601));
  ASSERT_FALSE(frame601.empty());
  EXPECT_TRUE(frame601 == FileContents(FrameFileName(271))) << "at 10027 ms";
  EXPECT_TRUE(frame600 == FileContents(FrameFileName(1001))) << "at 10010 ms";
  EXPECT_FALSE(frame600 == frame601) << "the picture changes with the time";
}

// The default data set's sound track puts a hit on each of these cues; a video that starts
// a second before one hears it a second in.
TEST(CaptureVideo, SoundTrackHitsLandOnTheirCuesInTheVideo) {
  const TempDir folder("video_hits");
  std::filesystem::create_directory_symlink(EMBERHALL_DEFAULT_DATA, folder.Path() / "Data");
  for (int cue : {30, 44, 124}) {
    const std::string video = "hits-" + std::to_string(cue) + ".mp4";
    const ProgramResult capture = RunProgram(
        "cd " + folder.Path().string() + " && " + EMBERHALL_CAPTURE + " --quiet --fps 2 --from " +
        std::to_string(cue - 1) + " --to " + std::to_string(cue + 1) + " --video " + video);
    ASSERT_EQ(capture.status, 0) << capture.output;
    const std::vector<int16_t> sound = DecodeWithFfmpeg(folder.Path() / video);
    EXPECT_NEAR(HitNear(sound, 44100, 1.0), 1.0, 0.001) << "the hit at " << cue << " s";
  }
}

TEST_F(CaptureTest, BadOptionsAndUnwritableOutputsAreRefusedWithAReason) {
  const struct {
    const char* arguments;
    const char* message;
  } cases[] = {
      {"--fps 0 --at 1", "bad value for --fps: '0'"},
      {"--fps 241 --at 1", "bad value for --fps: '241'"},
      {"--fps 1/2 --at 1", "bad value for --fps: '1/2'"},
      {"--fps 60000/0 --at 1", "bad value for --fps: '60000/0'"},
      {"--fps 60/ --at 1", "bad value for --fps: '60/'"},
      {"--upscale 9 --size 7680x4320 --at 1", "bad value for --upscale: '9'"},
      {"--upscale 3 --size 3840x1600 --at 1", "--upscale 3 makes a 2400x1800 picture, larger"},
      {"--upscale 2 --scale 2 --size 1600x1200 --at 1", "--upscale and --scale do not go"},
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
  const auto [small, wide] = StillsAt100("--size 1920x1080");
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
  for (FrameRate fps : {24, 25, 30, 50, 60}) {
    DemoSession session(1000);
    DemoClock clock;
    clock.Start();
    for (double boundary : {14.0, 30.0, 44.0, 75.0, 124.0, 145.0, 200.0}) {
      session.SetDemoTime(FrameMilliseconds(FrameAt(boundary, fps), fps));
      EXPECT_EQ(clock.Elapsed(), boundary) << fps.Text() << " fps";
      EXPECT_TRUE(clock.InRange(boundary, boundary + 10));
      EXPECT_TRUE(clock.InRange(boundary - 10, boundary));
    }
    session.SetDemoTime(FrameMilliseconds(FrameAt(200, fps) + 1, fps));
    EXPECT_GT(clock.Elapsed(), 200.0) << "the next frame quits";
  }
}

}  // namespace
