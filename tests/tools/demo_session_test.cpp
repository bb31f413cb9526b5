// The session the tools run the demo through: it gives back every switch it found, and a
// demo loaded again from scratch replays to exactly the frame the first load showed.
#include "tools/common/demo_session.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app.h"
#include "platform/tick.h"
#include "tests/demo_data.h"
#include "tools/common/frame_clock.h"

namespace {

TEST(DemoSession, EndingRestoresEverySwitchItFound) {
  CallRecorder outer;
  int outerPresents = 0, outerOverlays = 0;
  g_platformSwitches.tickSource = [] { return uint64_t(42); };
  g_renderSwitches.recorder = &outer;
  g_renderSwitches.presentHook = [&](IDirect3DDevice8&) { ++outerPresents; };
  g_renderSwitches.overlayHook = [&](int, int) { ++outerOverlays; };
  g_renderSwitches.renderScale = 3;
  {
    DemoDataDir data(false);
    DemoSession session(1000);
    EXPECT_EQ(GetTickCount(), 1000000u) << "the session's clock, uptime plus demo time 0";
    g_renderSwitches = RenderSwitches{};
    g_renderSwitches.skipDrawing = true;
    g_renderSwitches.noDisplayWait = true;
    g_platformSwitches.lookupObserver = [](const char*, const std::string&) {};
    ASSERT_TRUE(session.Start());
    session.SetDemoTime(1500);
    EXPECT_EQ(GetTickCount(), 1001500u);
    EXPECT_TRUE(session.RunFrame());
  }
  EXPECT_EQ(GetTickCount(), 42u);
  EXPECT_EQ(g_renderSwitches.recorder, &outer);
  EXPECT_EQ(g_renderSwitches.renderScale, 3);
  EXPECT_FALSE(g_renderSwitches.skipDrawing);
  EXPECT_FALSE(g_renderSwitches.noDisplayWait);
  EXPECT_FALSE(g_platformSwitches.lookupObserver);
  ASSERT_TRUE(g_renderSwitches.presentHook && g_renderSwitches.overlayHook);
  EXPECT_EQ(outerPresents + outerOverlays, 0) << "the tool's own hooks ran during the session";
  EXPECT_EQ(g_device, nullptr) << "the demo it started has ended";
  g_renderSwitches = RenderSwitches{};
  g_platformSwitches = PlatformSwitches{};
}

// The figure echoes draw a random swing every frame, so the frame at 35 s depends on every
// frame before it; a restart must begin that history again.
TEST(DemoSession, RestartReplaysToTheSameFrame) {
  DemoDataDir data;
  DemoSession session(1000);
  // Runs on from frame `from` to the frame at demo time t and reads that one back.
  auto frameAt = [&](int64_t from, double t) {
    std::vector<uint8_t> pixels;
    EXPECT_TRUE(session.FastForward(from, FrameAt(t, 60), 60));
    EXPECT_TRUE(session.RunFrame([&](IDirect3DDevice8& device) { device.ReadBackBuffer(pixels); }));
    return pixels;
  };
  ASSERT_TRUE(session.Start());
  const std::vector<uint8_t> first = frameAt(0, 35);
  const std::vector<uint8_t> later = frameAt(FrameAt(35, 60) + 1, 36);
  ASSERT_TRUE(session.Restart());
  EXPECT_EQ(session.DemoTime(), 0);
  EXPECT_TRUE(frameAt(0, 35) == first) << "the same frame after loading again";
  EXPECT_FALSE(first == later) << "frames a second apart differ";
}

// A restart makes a new device and loads the demo on it: every object of the device before
// (buffers, textures, the device itself) is released, so exactly as many exist after each
// load; an object the reset missed would leave its old buffers alive, one set per reload.
TEST(DemoSession, ARestartLeavesNoObjectOfTheDeviceBefore) {
  DemoDataDir data;
  const int before = RefCounted::Live();
  {
    DemoSession session(1000);
    g_renderSwitches.noDisplayWait = true;
    ASSERT_TRUE(session.Start());
    const int loaded = RefCounted::Live();
    EXPECT_GT(loaded, before + 50) << "the demo's buffers and textures";
    EXPECT_EQ(session.Devices(), 1);
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(session.Restart());
      EXPECT_EQ(RefCounted::Live(), loaded) << "after reload " << i + 1;
    }
    EXPECT_EQ(session.Devices(), 4);
  }
  EXPECT_EQ(RefCounted::Live(), before) << "the session's end released the last load";
}

}  // namespace
