// The message loop of WinMain on the real device: messages before frames, one frame per
// idle pass, and the ways the demo ends.
#include <gtest/gtest.h>

#include <functional>

#include "app/app.h"
#include "render/tool_switches.h"
#include "tests/sdl_events.h"

namespace {

class MainLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWindowSystem(); }
  void TearDown() override {
    g_renderSwitches.presentHook = nullptr;
    ResetWindowSystem();
  }

  // Runs WinMain to its end; `onFrame(n)` runs inside the n-th Present (from 1). The
  // count of frames is capped so that a demo that fails to end fails the test instead.
  int Run(std::function<void(int)> onFrame) {
    frames_ = 0;
    g_renderSwitches.presentHook = [&](IDirect3DDevice8&) {
      ++frames_;
      if (onFrame) onFrame(frames_);
      if (frames_ >= 50) PostQuitMessage(99);
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT), 0);
    EXPECT_EQ(g_device, nullptr) << "shutdown releases the device";
    return frames_;
  }

  int frames_ = 0;
};

TEST_F(MainLoopTest, AKeyEndsTheDemoBeforeAnotherFrame) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 2) PushKey(SDLK_SPACE);
            }),
            2);
}

TEST_F(MainLoopTest, AltAloneAndF10DoNotEndTheDemo) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 1) PushKey(SDLK_LALT);
              if (frame == 2) PushKey(SDLK_F10);
              if (frame == 3) PushKey(SDLK_LSHIFT);
            }),
            3);
}

TEST_F(MainLoopTest, AltEnterTogglesFullScreenWithoutEndingTheDemo) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 1 || frame == 3) PushKey(SDLK_RETURN, KMOD_LALT);
              if (frame == 5) PushKey(SDLK_RETURN);
            }),
            5);
}

TEST_F(MainLoopTest, QueuedMessagesAreAllServedBeforeTheNextFrame) {
  EXPECT_EQ(Run([](int frame) {
              if (frame != 1) return;
              for (int i = 0; i < 20; ++i) PushKey(SDLK_LALT);
              PushKey(SDLK_q);
            }),
            1);
}

TEST_F(MainLoopTest, OneFramePerIdlePass) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 10) PushKey(SDLK_q);
            }),
            10);
}

TEST_F(MainLoopTest, ClosingTheWindowEndsTheDemo) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 1) PushWindowClose();
            }),
            1);
}

TEST_F(MainLoopTest, TerminationEndsTheDemoThroughClose) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 1) PushQuit();
            }),
            1);
}

TEST_F(MainLoopTest, KeyQueuedBeforeTheLoopEndsTheDemoOnTheFirstPass) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  PushKey(SDLK_q);
  EXPECT_EQ(Run(nullptr), 0);
}

TEST_F(MainLoopTest, QuitPostedDuringAFrameLetsItBePresentedAndDrawsNoMore) {
  EXPECT_EQ(Run([](int frame) {
              if (frame == 4) PostQuitMessage(0);
            }),
            4);
}

}  // namespace
