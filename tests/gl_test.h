// A test fixture with the demo's window and a real device on it (windowed configuration,
// 800x600 back buffer, offscreen EGL on Mesa). Each test starts from a fresh device.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/app.h"

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgba& c);

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The back buffer as it is now.
  std::vector<uint8_t> ReadBack() const;
  Rgba Pixel(int x, int y) const;

  HWND window_ = nullptr;
};
