// Start-up and shutdown: the load order, the clock starting after the music, and a
// shutdown that copes with whatever exists.
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include "core/demo_clock.h"
#include "platform/bass.h"
#include "platform/tick.h"
#include "render/tool_switches.h"
#include "tests/demo_frames.h"
#include "tests/kept_objects.h"
#include "tools/common/demo_reset.h"

namespace {

std::vector<std::string> TextureLoads(const std::vector<std::string>& calls) {
  std::vector<std::string> paths;
  const std::string prefix = "D3DXCreateTextureFromFileA(";
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0)
      paths.push_back(call.substr(prefix.size(), call.rfind(", ") - prefix.size()));
  return paths;
}

using LoadingTest = DemoFixture;

TEST_F(LoadingTest, LoadsEveryFileInTheFixedOrder) {
  const std::vector<std::string> expected = {
      "Data\\cube.bmp",     "Data\\cube2.bmp",    "Data\\cube3.bmp",    "Data\\cube4.bmp",
      "Data\\cube5.bmp",    "Data\\stenal.bmp",   "Data\\stenal.bmp",   "Data\\gray.bmp",
      "Data\\gray.bmp",     "Data\\gray.bmp",     "Data\\presents.bmp", "Data\\brindlequay.bmp",
      "Data\\finish.bmp",   "Data\\code.bmp",     "Data\\greets.bmp",   "Data\\where.bmp",
      "Data\\granbarr.bmp", "Data\\granstam.bmp", "Data\\Gray.bmp",     "Data\\Gray.bmp",
      "Data\\Gray.bmp",     "Data\\rum.bmp",      "Data\\StenAl.bmp",   "Data\\StenAl.bmp",
      "Data\\bricks.bmp",   "Data\\stenal.bmp",   "Data\\eld.bmp",      "Data\\granbarr.bmp",
      "Data\\himmel.bmp",   "Data\\huve.bmp",     "Data\\hatt.bmp",     "Data\\Tex3.bmp",
      "Data\\Tex2.bmp",     "Data\\Tex2.bmp"};
  EXPECT_EQ(TextureLoads(loadCalls_.Calls()), expected);
  for (const auto& [name, label] : textureLabels_) EXPECT_NE(name, "null") << label;
}

TEST_F(LoadingTest, DemoClockStartsRightAfterTheMusicIsAskedToPlay) {
  ShutdownDemo();
  InitDevice(window_);
  bool musicWasPlaying = false;
  int readings = 0;
  g_platformSwitches.tickSource = [&] {
    musicWasPlaying = Mix_PlayingMusic();
    ++readings;
    return uint64_t(5000000);
  };
  ResetDemo();  // what the fixture loaded, before loading again
  LoadDemo();
  EXPECT_EQ(readings, 1) << "only the clock's start reads the time while loading";
  EXPECT_TRUE(musicWasPlaying);
  EXPECT_EQ(g_demoClock.startTime, 5000.0f);
}

TEST_F(LoadingTest, ShutdownAfterAFailedDeviceReleasesWhatExistsAndFreesTheAudio) {
  ShutdownDemo();
  g_d3d = Direct3DCreate8(D3D_SDK_VERSION);
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  ShutdownDemo();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(recorder.Calls(), std::vector<std::string>{"Release(d3d)"});
  EXPECT_EQ(g_d3d, nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the audio library was freed";
}

TEST_F(LoadingTest, WithoutDataEverythingLoadsEmptyAndFramesShowTheClearColour) {
  data_.reset();
  data_ = std::make_unique<DemoDataDir>(false);
  ResetDemo();  // what the fixture loaded, before loading again
  LoadDemo();
  for (double t : {0.0, 35.0, 50.0, 70.0, 100.0, 140.0, 150.0, 160.0, 190.0}) {
    Frame(t);
    const std::vector<uint8_t> frame = ReadBack();
    size_t changed = 0;
    for (size_t i = 0; i < frame.size(); i += 4)
      changed += frame[i] != 10 || frame[i + 1] != 20 || frame[i + 2] != 30;
    EXPECT_EQ(changed, 0u) << "at t = " << t;
  }
}

TEST_F(LoadingTest, FramesShowSomethingWhereTheScheduleDrawsAndNothingPastTheEnd) {
  for (double t : {7.0, 35.0, 50.0, 140.0, 160.0, 190.0}) {
    Frame(t);
    const std::vector<uint8_t> frame = ReadBack();
    size_t changed = 0;
    for (size_t i = 0; i < frame.size(); i += 4)
      changed += frame[i] != 10 || frame[i + 1] != 20 || frame[i + 2] != 30;
    EXPECT_GT(changed, 1000u) << "at t = " << t;
  }
  Frame(200.5);
  EXPECT_EQ(Pixel(400, 300), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(Pixel(50, 50), (Rgba{10, 20, 30, 255}));
}

}  // namespace
