// Running headless, as every test and benchmark program does: SDL's offscreen video driver
// on EGL and its dummy audio output, whatever the machine has, so that no window, message
// box or sound ever reaches a developer's desktop. Call it first thing in main.
#pragma once

#include <cstdlib>

inline void RunHeadless() {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}
