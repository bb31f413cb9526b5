// Every suite runs headless: SDL's offscreen video driver on EGL, whatever the machine
// has, so that no window or message box ever appears on a developer's display.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
