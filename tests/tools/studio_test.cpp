// The studio on an X desktop, driven by real key presses: the paused window shows exactly
// the capture tool's still for the same time and uptime, after seeks by key too; a changed
// data file shows at once while a truncated one leaves the studio running, and a missing
// one is said while the last frame stays; the bar is over the window's frame, never in a
// still.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/png_reader.h"
#include "tests/program_run.h"
#include "tests/test_files.h"
#include "tests/x_desktop.h"

namespace {

namespace fs = std::filesystem;

// A folder with a copy of the default data set (the studio's changes stay in it).
class StudioFolder : public TempDir {
 public:
  StudioFolder() : TempDir("studio") {
    fs::copy(EMBERHALL_DATA, Path() / "Data", fs::copy_options::recursive);
  }
};

void WriteFile(const fs::path& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// The mean difference per channel between the window's picture and a still over rows
// [top, bottom) (default: all), in levels of 255; a large figure when the sizes differ.
double MeanDifference(const Screenshot& shot, const Image& still, int top = 0, int bottom = -1) {
  if (shot.width != still.width || shot.height != still.height || still.rgb.empty()) return 255;
  if (bottom < 0) bottom = still.height;
  const size_t from = size_t(top) * size_t(still.width) * 3;
  const size_t to = size_t(bottom) * size_t(still.width) * 3;
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += std::abs(int(shot.rgb[i]) - int(still.rgb[i]));
  return sum / double(to - from);
}

// The mean of all channels of a still: a black picture would match a black window.
double MeanLevel(const Image& still) {
  double sum = 0;
  for (uint8_t level : still.rgb) sum += level;
  return still.rgb.empty() ? 0 : sum / double(still.rgb.size());
}

// The bar's rows at the bottom of an 800x600 window (the bar is 24 pixels high).
constexpr int kBarTop = 600 - 24;

class StudioTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(desktop_.Ready()) << "Xvfb did not start"; }
  void TearDown() override {
    if (studio_ > 0 && XDesktop::IsRunning(studio_)) {
      desktop_.Xdotool({"key", "--window", std::to_string(window_), "Escape"});
      EXPECT_EQ(desktop_.WaitForExit(studio_, 20), 0);
    }
  }

  void Launch(const std::string& arguments, const std::string& outputFile = "") {
    std::vector<std::string> argv{EMBERHALL_STUDIO};
    for (size_t at = 0, next; at < arguments.size(); at = next + 1) {
      next = arguments.find(' ', at);
      if (next == std::string::npos) next = arguments.size();
      argv.push_back(arguments.substr(at, next - at));
    }
    studio_ = desktop_.Launch(argv, folder_.Path(), outputFile);
    window_ = desktop_.FindWindow("Brindlequay", 30);
    ASSERT_NE(window_, 0u) << "the studio's window did not appear";
  }
  void Key(const std::string& key) {
    desktop_.Xdotool({"key", "--window", std::to_string(window_), key});
  }
  // The capture tool's still at `t` with uptime 1000, from the same data.
  Image Still(double t) {
    char arguments[128];
    std::snprintf(arguments, sizeof arguments,
                  " --quiet --uptime 1000 --png stills --from %g --to %g", t, t);
    const ProgramResult run =
        RunProgram("cd " + folder_.Path().string() + " && SDL_VIDEODRIVER=offscreen " +
                   EMBERHALL_CAPTURE + arguments);
    EXPECT_EQ(run.status, 0) << run.output;
    for (const auto& entry : fs::directory_iterator(folder_.Path() / "stills")) {
      Image image = ReadPng(entry.path());
      fs::remove(entry.path());
      return image;
    }
    return {};
  }
  // Whether the window comes to show `still` (mean difference under 1/255 per channel).
  bool Shows(const Image& still, const std::string& name) {
    EXPECT_GT(MeanLevel(still), 10) << name << ": a dark still proves nothing";
    double difference = 255;
    const bool shown = WaitUntil(30, [&] {
      shot_ = desktop_.CaptureWindow(window_);
      difference = MeanDifference(shot_, still);
      return difference < 1.0;
    });
    shot_.Save(name);
    if (!shown) ADD_FAILURE() << name << ": mean difference " << difference;
    return shown;
  }

  XDesktop desktop_{1024, 768, false};
  StudioFolder folder_;
  pid_t studio_ = 0;
  unsigned long window_ = 0;
  Screenshot shot_;
};

TEST_F(StudioTest, PausedFramesEqualTheCapturesStillsAfterSeeksByKey) {
  const Image at130 = Still(130), at131 = Still(131), at121 = Still(121), at5 = Still(5);
  Launch("--at 130 --paused --uptime 1000 --no-overlay");
  EXPECT_TRUE(Shows(at130, "studio-130"));
  Key("Right");
  EXPECT_TRUE(Shows(at131, "studio-131"));
  Key("shift+Left");
  EXPECT_TRUE(Shows(at121, "studio-121"));
  Key("Right");
  Key("Left");
  EXPECT_TRUE(Shows(at121, "studio-121-again"));
  Key("Home");
  Key("Next");
  EXPECT_TRUE(Shows(at5, "studio-5")) << "Page Down from 0: the first section's end, 5 s";
}

TEST_F(StudioTest, AChangedTextureShowsAndATruncatedOneLeavesItRunning) {
  Launch("--at 5 --paused --uptime 1000 --no-overlay");
  const Image before = Still(5);
  ASSERT_TRUE(Shows(before, "studio-5"));
  const fs::path texture = folder_.Path() / "Data" / "Tex3.bmp";
  const std::string bytes = FileContents(texture);
  std::string inverted = bytes;
  for (size_t i = 54; i < inverted.size(); ++i) inverted[i] = char(255 - uint8_t(inverted[i]));
  WriteFile(texture, inverted);
  // The reload runs once the file has settled; a slow machine (a sanitizer build beside other
  // tests) takes seconds for it.
  EXPECT_TRUE(WaitUntil(15, [&] {
    return MeanDifference(desktop_.CaptureWindow(window_), before) > 5;
  })) << "the changed texture did not show";
  WriteFile(texture, bytes.substr(0, 100));
  EXPECT_FALSE(WaitUntil(3, [&] { return !XDesktop::IsRunning(studio_); }))
      << "a truncated texture ended the studio";
  WriteFile(texture, bytes);
  EXPECT_TRUE(Shows(before, "studio-5-restored"));
}

TEST_F(StudioTest, TheBarIsOverTheFrameInTheWindowAndNeverInTheStill) {
  const Image still = Still(100);
  ASSERT_GT(MeanLevel(still), 10);
  Launch("--at 100 --paused --uptime 1000");
  double picture = 255, bar = 0;
  const bool shown = WaitUntil(30, [&] {
    shot_ = desktop_.CaptureWindow(window_);
    picture = MeanDifference(shot_, still, 0, kBarTop);
    bar = MeanDifference(shot_, still, kBarTop, 600);
    return picture < 1.0 && bar > 10;
  });
  shot_.Save("studio-bar-100");
  EXPECT_TRUE(shown) << "above the bar: " << picture << ", the bar's rows: " << bar;
  // Tab takes the bar away over the same frame, without a reload: the window is the still.
  Key("Tab");
  EXPECT_TRUE(Shows(still, "studio-bar-gone-100"));
}

TEST_F(StudioTest, AMissingDataFileIsSaidAndTheLastFrameStaysUntilItIsBack) {
  const fs::path log = folder_.Path() / "studio.log";
  const Image still = Still(5);
  Launch("--at 5 --paused --uptime 1000 --no-overlay", log.string());
  ASSERT_TRUE(Shows(still, "studio-missing-before"));
  const fs::path texture = folder_.Path() / "Data" / "Tex3.bmp";
  const fs::path aside = folder_.Path() / "Tex3.bmp";
  fs::rename(texture, aside);
  EXPECT_TRUE(
      WaitUntil(10, [&] { return FileContents(log).find("cannot read") != std::string::npos; }))
      << "nothing said on stderr: " << FileContents(log);
  EXPECT_NE(FileContents(log).find("Tex3.bmp"), std::string::npos) << FileContents(log);
  EXPECT_TRUE(XDesktop::IsRunning(studio_));
  EXPECT_LT(MeanDifference(desktop_.CaptureWindow(window_), still), 1.0)
      << "the last frame did not stay";
  // Back again, the studio goes on: a seek shows its frame.
  fs::rename(aside, texture);
  const Image later = Still(6);
  Key("Right");
  EXPECT_TRUE(Shows(later, "studio-missing-back-6"));
}

TEST_F(StudioTest, AClickOnTheBarShowsTheFrameUnderThePointer) {
  // x = 400 of 800: 400 / 799 of the demo's 200 s, 100.125 s, on the grid frame 6008.
  const Image start = Still(30), still = Still(6008.0 / 60);
  Launch("--at 30 --paused --uptime 1000");
  // The picture above the bar, against a still, once it comes (within 30 s).
  auto shows = [&](const Image& image, const std::string& name) {
    double difference = 255;
    const bool shown = WaitUntil(30, [&] {
      shot_ = desktop_.CaptureWindow(window_);
      difference = MeanDifference(shot_, image, 0, kBarTop);
      return difference < 1.0;
    });
    shot_.Save(name);
    return ::testing::AssertionResult(shown) << name << ": above the bar " << difference;
  };
  ASSERT_TRUE(shows(start, "studio-click-30"));
  desktop_.Xdotool({"mousemove", "--window", std::to_string(window_), "400", "590"});
  desktop_.Xdotool({"click", "1"});
  EXPECT_TRUE(shows(still, "studio-click-100.13"));
}

}  // namespace
