// The full-screen configuration's device cascade, against an injected list of display
// modes, on whatever GL the machine has (a software rasteriser refuses the first two
// attempts, which ask for hardware vertex processing).
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "render/tool_switches.h"
#include "tests/gl_test.h"

namespace {

const char* const kRows[] = {
    "CreateDevice(64, 800, 600, 21, 75, 85, 0)",   // hardware vertex processing
    "CreateDevice(128, 800, 600, 21, 75, 85, 0)",  // mixed
    "CreateDevice(32, 800, 600, 21, 75, 85, 0)",   // software, 32-bit
    "CreateDevice(32, 800, 600, 23, 80, 85, 0)",   // software, 16-bit
    "CreateDevice(32, 800, 600, 23, 80, 85, 0)",   // the same again, size given explicitly
};

std::vector<std::string> CreateDeviceCalls(const CallRecorder& recorder) {
  std::vector<std::string> calls;
  for (const std::string& call : recorder.Calls())
    if (call.rfind("CreateDevice", 0) == 0) calls.push_back(call);
  return calls;
}

size_t CountOf(const CallRecorder& recorder, const std::string& prefix) {
  size_t count = 0;
  for (const std::string& call : recorder.Calls()) count += call.rfind(prefix, 0) == 0;
  return count;
}

class DeviceCascadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowSystem();
    g_renderSwitches.recorder = &recorder_;
  }
  void TearDown() override {
    g_renderSwitches.recorder = nullptr;
    g_renderSwitches.displayModeSource = nullptr;
    ShutdownDemo();
    ResetWindowSystem();
  }
  CallRecorder recorder_;
};

TEST_F(DeviceCascadeTest, OfferedModeGetsTheFirstAttemptTheContextAccepts) {
  g_renderSwitches.displayModeSource = [] {
    return std::vector<D3DDISPLAYMODE>{{1024, 768, 60, D3DFMT_X8R8G8B8},
                                       {800, 600, 85, D3DFMT_X8R8G8B8}};
  };
  testing::internal::CaptureStderr();
  ASSERT_EQ(InitDevice(CreateDemoWindow()), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_NE(g_device, nullptr);

  const std::vector<std::string> calls = CreateDeviceCalls(recorder_);
  ASSERT_GE(calls.size(), 1u);
  ASSERT_LE(calls.size(), 3u) << "a 32-bit mode is offered, so a 32-bit attempt must win";
  for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i], kRows[i]);
  const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer.find("llvmpipe") != std::string::npos) {
    EXPECT_EQ(calls.size(), 3u);
  }
  EXPECT_EQ(g_device->Width(), 800);
  EXPECT_EQ(g_device->Height(), 600);
  DWORD lighting = 1;
  g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, DWORD(FALSE));
}

TEST_F(DeviceCascadeTest, WithoutTheModeAllFiveAttemptsFailAndTheMessageShowsOnce) {
  g_renderSwitches.displayModeSource = [] {
    return std::vector<D3DDISPLAYMODE>{{800, 600, 60, D3DFMT_X8R8G8B8},
                                       {800, 600, 75, D3DFMT_X8R8G8B8}};
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(InitDevice(CreateDemoWindow()), E_FAIL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "D3D ERROR: You probably need a better 3D accelerator\n");
  EXPECT_EQ(g_device, nullptr);
  EXPECT_EQ(CreateDeviceCalls(recorder_), std::vector<std::string>(kRows, kRows + 5));
}

TEST_F(DeviceCascadeTest, FailedDeviceMeansNothingDrawnAndShutdownStillRuns) {
  g_renderSwitches.displayModeSource = [] { return std::vector<D3DDISPLAYMODE>{}; };
  testing::internal::CaptureStderr();
  EXPECT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT), 0);
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_EQ(shown, "D3D ERROR: You probably need a better 3D accelerator\n");
  EXPECT_EQ(CountOf(recorder_, "Clear"), 0u);
  EXPECT_EQ(CountOf(recorder_, "Present"), 0u);
  EXPECT_EQ(recorder_.Calls().back(), "Release(d3d)");
  EXPECT_EQ(g_d3d, nullptr);
}

}  // namespace
