// Every suite runs headless: SDL's offscreen video driver on EGL, whatever the machine
// has, so that no window or message box ever appears on a developer's display.
#include <gtest/gtest.h>

#include "tests/headless.h"

int main(int argc, char** argv) {
  RunHeadless();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
