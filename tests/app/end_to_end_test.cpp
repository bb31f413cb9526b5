// The whole program from WinMain to its end under a manual clock that advances one
// sixtieth of a second per presented frame.
#include <gtest/gtest.h>

#include "app/app.h"
#include "platform/tick.h"
#include "render/tool_switches.h"
#include "tests/demo_data.h"
#include "timeline/forest_sequence.h"

namespace {

TEST(EndToEnd, DemoQuitsByItselfJustPastTwoHundredSeconds) {
  DemoDataDir noData(false);  // clear frames only, so the 12000 frames go quickly
  ResetWindowSystem();
  uint64_t frames = 0;
  g_platformSwitches.tickSource = [&] { return uint64_t(2000000) + frames * 1000 / 60; };
  g_renderSwitches.presentHook = [&](IDirect3DDevice8&) { ++frames; };
  g_forestPhase = 1;
  g_forestPhaseStart = 0;
  EXPECT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT), 0);
  g_renderSwitches.presentHook = nullptr;
  g_platformSwitches.tickSource = nullptr;
  ResetWindowSystem();
  // Frame k (from 0) shows k / 60 s in whole milliseconds: frame 12000 shows 200 s and
  // goes on; frame 12001 (200.016 s) posts the quit and is the last one presented.
  EXPECT_EQ(frames, 12002u);
}

}  // namespace
