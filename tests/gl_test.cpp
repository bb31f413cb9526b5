#include "tests/gl_test.h"

#include <ostream>

#include "render/tool_switches.h"

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << '(' << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ')';
}

void DeviceTest::SetUp() {
  g_renderSwitches.glErrorHook = [](const char* message) {
    ADD_FAILURE() << "GL error: " << message;
  };
  ResetWindowSystem();
  window_ = CreateDemoWindow();
  ASSERT_NE(window_, nullptr);
  ASSERT_EQ(InitDevice(window_), 0);
  ASSERT_NE(g_device, nullptr);
}

void DeviceTest::TearDown() {
  g_renderSwitches.skipDrawing = false;
  g_renderSwitches.recorder = nullptr;
  g_renderSwitches.presentHook = nullptr;
  ShutdownDemo();
  g_renderSwitches.glErrorHook = nullptr;
  ResetWindowSystem();
}

std::vector<uint8_t> DeviceTest::ReadBack() const {
  std::vector<uint8_t> rgba;
  g_device->ReadBackBuffer(rgba);
  return rgba;
}

Rgba DeviceTest::Pixel(int x, int y) const {
  const std::vector<uint8_t> rgba = ReadBack();
  const size_t i = (size_t(y) * size_t(g_device->Width()) + size_t(x)) * 4;
  return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}
