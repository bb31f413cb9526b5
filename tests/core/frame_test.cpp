#include <gtest/gtest.h>

#include "render/tool_switches.h"
#include "tests/gl_test.h"

namespace {

using FrameTest = DeviceTest;

TEST_F(FrameTest, WindowedBackBufferIsTheWholeClientArea) {
  EXPECT_EQ(g_device->Width(), 800);
  EXPECT_EQ(g_device->Height(), 600);
}

TEST_F(FrameTest, DeviceStartsWithDepthTestOnAndLightingOff) {
  DWORD value = 99;
  g_device->GetRenderState(D3DRS_ZENABLE, &value);
  EXPECT_EQ(value, DWORD(D3DZB_TRUE));
  g_device->GetRenderState(D3DRS_LIGHTING, &value);
  EXPECT_EQ(value, DWORD(FALSE));
}

TEST_F(FrameTest, PresentedFrameIsTheClearColourEverywhereWhateverCameBefore) {
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  g_device->Present(nullptr, nullptr, nullptr, nullptr);

  std::vector<uint8_t> presented;
  g_renderSwitches.presentHook = [&](IDirect3DDevice8& device) {
    device.ReadBackBuffer(presented);
  };
  BeginFrame();
  EndFrame();
  ASSERT_EQ(presented.size(), size_t(800 * 600 * 4));
  size_t wrong = 0;
  for (size_t i = 0; i < presented.size(); i += 4)
    wrong += presented[i] != 10 || presented[i + 1] != 20 || presented[i + 2] != 30 ||
             presented[i + 3] != 255;
  EXPECT_EQ(wrong, 0u);
}

TEST_F(FrameTest, BracketIssuesClearBeginEndPresentInOrder) {
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  BeginFrame();
  EndFrame();
  EXPECT_EQ(recorder.Calls(),
            (std::vector<std::string>{"Clear(0, 3, 4278850590, 1, 0)", "BeginScene()", "EndScene()",
                                      "Present()"}));
}

}  // namespace
