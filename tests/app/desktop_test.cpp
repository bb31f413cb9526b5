// The two demo programs on an X desktop, run as a person runs them: the windowed build
// scaled into a resized window and into desktop full screen with Alt+Enter, the full-screen
// build's message box on a freshly installed desktop, and the frame-pacing measurement.
// Screenshots come from the X server and are saved under the build's screenshots/ folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/test_files.h"
#include "tests/x_desktop.h"

namespace {

namespace fs = std::filesystem;

// A folder to play from, holding a link to the build's default data set as Data.
class PlayFolder : public TempDir {
 public:
  PlayFolder() : TempDir("desktop") {
    fs::create_directory_symlink(EMBERHALL_DATA, Path() / "Data");
  }
};

// A frame of the demo, as opposed to a bar, an empty window or a still-black start: bright
// on average over the area.
constexpr double kShowsTheDemo = 20.0;

// Black outside [x0, x1) x [y0, y1) and the demo inside, reaching all four edges of it (a
// frame still placed for the window's old size, while the window changes, does not).
bool FrameFillsOnly(const Screenshot& s, int x0, int y0, int x1, int y1) {
  return s.MaxLevel(0, 0, s.width, y0) == 0 && s.MaxLevel(0, y1, s.width, s.height) == 0 &&
         s.MaxLevel(0, 0, x0, s.height) == 0 && s.MaxLevel(x1, 0, s.width, s.height) == 0 &&
         s.MeanLevel(x0, y0, x1, y1) > kShowsTheDemo && s.MaxLevel(x0, y0, x0 + 2, y1) > 0 &&
         s.MaxLevel(x1 - 2, y0, x1, y1) > 0 && s.MaxLevel(x0, y0, x1, y0 + 2) > 0 &&
         s.MaxLevel(x0, y1 - 2, x1, y1) > 0;
}

class DesktopTest : public ::testing::Test {
 protected:
  // Starts the windowed demo on `desktop` and waits until its window shows frames.
  void StartWindowed(XDesktop& desktop) {
    ASSERT_TRUE(desktop.Ready()) << "Xvfb or openbox did not start";
    demo_ = desktop.Launch({EMBERHALL_WINDOWED}, folder_.Path());
    window_ = desktop.FindWindow("Brindlequay", 20);
    ASSERT_NE(window_, 0u) << "the demo's window did not appear";
    ASSERT_TRUE(WaitUntil(20, [&] {
      const Screenshot shot = desktop.CaptureWindow(window_);
      return shot.width > 0 && shot.MeanLevel(0, 0, shot.width, shot.height) > kShowsTheDemo;
    })) << "the window shows no frame";
    desktop.Xdotool({"windowactivate", "--sync", std::to_string(window_)});
  }

  // Waits for the window to have the given size and for a screenshot of it that `bars`
  // accepts; the last screenshot is kept in `shot_`.
  bool ShowsFrameWithBars(XDesktop& desktop, int width, int height,
                          const std::function<bool(const Screenshot&)>& bars) {
    return WaitUntil(20, [&] {
      const WindowArea area = desktop.Area(window_);
      if (area.width != width || area.height != height) return false;
      shot_ = desktop.CaptureWindow(window_);
      return shot_.width == width && shot_.height == height && bars(shot_);
    });
  }

  void EndWithAKey(XDesktop& desktop) {
    EXPECT_TRUE(XDesktop::IsRunning(demo_)) << "the demo ended on its own";
    desktop.Xdotool({"key", "space"});
    EXPECT_EQ(desktop.WaitForExit(demo_, 20), 0);
  }

  PlayFolder folder_;
  pid_t demo_ = 0;
  unsigned long window_ = 0;
  Screenshot shot_;
};

TEST_F(DesktopTest, AltEnterShowsTheFrameFullScreenInItsShapeAndReturnsToTheWindow) {
  XDesktop desktop(1280, 720, true);
  StartWindowed(desktop);
  desktop.Xdotool({"key", "alt+Return"});
  // 720 rows at 4:3 are 960 columns: bars of 160 at either side.
  const bool fullScreen = ShowsFrameWithBars(
      desktop, 1280, 720, [](const Screenshot& s) { return FrameFillsOnly(s, 160, 0, 1120, 720); });
  shot_.Save("fullscreen-1280x720");
  EXPECT_TRUE(fullScreen) << "no 960x720 frame between black bars; see screenshots/";
  EXPECT_EQ(desktop.Area(window_).x, 0);
  EXPECT_EQ(desktop.Area(window_).y, 0);

  desktop.Xdotool({"key", "alt+Return"});
  EXPECT_TRUE(ShowsFrameWithBars(desktop, 800, 600, [](const Screenshot& s) {
    return FrameFillsOnly(s, 0, 0, 800, 600);
  })) << "the window did not come back at 800x600, filled by the frame";
  EndWithAKey(desktop);
}

TEST_F(DesktopTest, AResizedWindowShowsTheWholeFrameBetweenBars) {
  XDesktop desktop(1280, 1024, true);
  StartWindowed(desktop);

  desktop.Xdotool({"windowsize", std::to_string(window_), "1000", "500"});
  // 500 rows at 4:3 are 667 columns, from 166 to 833.
  const bool wide = ShowsFrameWithBars(
      desktop, 1000, 500, [](const Screenshot& s) { return FrameFillsOnly(s, 166, 0, 833, 500); });
  shot_.Save("window-1000x500");
  EXPECT_TRUE(wide) << "no 667x500 frame between bars at the sides; see screenshots/";

  desktop.Xdotool({"windowsize", std::to_string(window_), "800", "900"});
  const bool tall = ShowsFrameWithBars(
      desktop, 800, 900, [](const Screenshot& s) { return FrameFillsOnly(s, 0, 150, 800, 750); });
  shot_.Save("window-800x900");
  EXPECT_TRUE(tall) << "no 800x600 frame between bars above and below; see screenshots/";
  EndWithAKey(desktop);
}

TEST(DesktopMessageBox, TheFullScreenBuildShowsItsBoxOnAFreshDesktopAndEndsWhenItIsDismissed) {
  // No window manager, no settings: Xvfb as a freshly installed machine starts it. No
  // display mode there is 800x600 at 85 Hz, so the device cannot be made.
  XDesktop desktop(1280, 720, false);
  ASSERT_TRUE(desktop.Ready());
  TempDir folder("desktop");
  std::filesystem::create_directory(folder.Path() / "Data");  // empty, but there to be read
  const std::string printedFile = (folder.Path() / "printed.txt").string();
  const pid_t demo = desktop.Launch({EMBERHALL_FULLSCREEN}, folder.Path(), printedFile);
  const unsigned long box = desktop.FindWindow("Error", 20);
  ASSERT_NE(box, 0u) << "no message box appeared";
  Screenshot shot;
  WaitUntil(5, [&] {
    shot = desktop.CaptureWindow(box);
    return shot.width > 0 && shot.MaxLevel(0, 0, shot.width, shot.height) > 150;
  });
  desktop.Capture(0, 0, 1280, 720).Save("message-box");
  EXPECT_GT(shot.MaxLevel(0, 0, shot.width, shot.height), 150) << "the box shows no text";
  EXPECT_TRUE(XDesktop::IsRunning(demo)) << "the program did not wait for the box";

  // The demo's own window holds the keyboard focus: click into the box, as it were, first.
  desktop.Xdotool({"windowfocus", "--sync", std::to_string(box)});
  desktop.Xdotool({"key", "Return"});
  EXPECT_EQ(desktop.WaitForExit(demo, 20), 0);
  EXPECT_EQ(FileContents(printedFile), "")
      << "the message went to standard error instead of the box";
}

TEST(DesktopFramePacing, TheMeasurementRunsOnADisplay) {
  XDesktop desktop(1024, 768, false);
  ASSERT_TRUE(desktop.Ready());
  PlayFolder folder;
  const std::string printedFile = (folder.Path() / "printed.txt").string();
  const pid_t pacing =
      desktop.Launch({EMBERHALL_FRAME_PACING, "--seconds", "1"}, folder.Path(), printedFile);
  EXPECT_EQ(desktop.WaitForExit(pacing, 60), 0);
  EXPECT_NE(FileContents(printedFile).find("frames "), std::string::npos)
      << FileContents(printedFile);
}

}  // namespace
