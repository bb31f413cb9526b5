#include "tools/common/demo_session.h"

#include <cmath>

#include "app/app.h"
#include "timeline/timeline.h"
#include "tools/common/demo_reset.h"
#include "tools/common/frame_clock.h"

DemoSession::DemoSession(double uptimeSeconds)
    : savedRender_(g_renderSwitches),
      savedPlatform_(g_platformSwitches),
      savedCore_(g_coreSwitches),
      uptimeMilliseconds_(std::llround(uptimeSeconds * 1000)) {
  g_platformSwitches.tickSource = [this] {
    return uint64_t(uptimeMilliseconds_ + demoMilliseconds_);
  };
}

DemoSession::~DemoSession() {
  g_renderSwitches = savedRender_;
  g_platformSwitches = savedPlatform_;
  g_coreSwitches = savedCore_;
  End();
  if (window_) ResetWindowSystem();
}

bool DemoSession::Start() {
  window_ = CreateDemoWindow();
  if (!Load()) return false;
  ShowWindow(window_, SW_SHOWDEFAULT);
  UpdateWindow(window_);
  return true;
}

bool DemoSession::Restart() {
  End();
  return Load();
}

bool DemoSession::Load() {
  begun_ = true;
  quit_ = false;
  demoMilliseconds_ = 0;
  running_ = InitDevice(window_) >= 0;
  ++devices_;
  if (running_) LoadDemo();
  return running_;
}

void DemoSession::End() {
  if (!begun_) return;
  if (running_) ResetDemo();
  ShutdownDemo();
  begun_ = running_ = false;
}

bool DemoSession::ServeMessages() {
  MSG msg{};
  while (!quit_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (onMessage && onMessage(msg)) continue;
    if (msg.message == WM_QUIT) {
      quit_ = true;
    } else {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return !quit_;
}

bool DemoSession::RunFrame(const std::function<void(IDirect3DDevice8&)>& onPresent) {
  if (!ServeMessages() || !running_) return false;
  g_renderSwitches.presentHook = onPresent;
  RenderFrame();
  g_renderSwitches.presentHook = nullptr;
  return true;
}

bool DemoSession::FastForward(int64_t first, int64_t end, FrameRate fps) {
  const bool skipping = g_renderSwitches.skipDrawing;
  g_renderSwitches.skipDrawing = true;
  bool running = true;
  for (int64_t n = first; n < end && running; ++n) {
    SetDemoTime(FrameMilliseconds(n, fps));
    running = RunFrame();
  }
  g_renderSwitches.skipDrawing = skipping;
  SetDemoTime(FrameMilliseconds(end, fps));
  return running;
}
