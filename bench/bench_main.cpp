// Benchmarks run headless, on Mesa's software GL through SDL's offscreen driver.
#include <benchmark/benchmark.h>

#include "tests/headless.h"

int main(int argc, char** argv) {
  RunHeadless();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
