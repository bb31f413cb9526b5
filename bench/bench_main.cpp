// Benchmarks run headless, on Mesa's software GL through SDL's offscreen driver.
#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
