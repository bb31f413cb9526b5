// The demo's frames and start-up, with the data set in ./Data (run from the build folder,
// where the build generates the default set).
//
// BM_Section/<t>: one whole frame at demo time t, the busiest moment of a section: the
// real time per frame (its inverse is the frame rate, rasterising included) and, as the
// counter "demo_cpu_us", the main thread's CPU time per frame: the demo's own work plus
// the GL driver's command submission on this thread, not the rasteriser's threads.
#include <benchmark/benchmark.h>
#include <time.h>

#include "bench/bench_device.h"
#include "platform/tick.h"
#include "platform/tool_switches.h"
#include "tests/kept_objects.h"
#include "timeline/forest_sequence.h"
#include "timeline/timeline.h"
#include "tools/common/demo_reset.h"

namespace {

constexpr uint64_t kStartTicks = 1000000;
uint64_t g_ticks = kStartTicks;

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void EnsureLoaded() {
  static bool loaded = false;
  if (loaded) return;
  EnsureBenchDevice();
  g_platformSwitches.tickSource = [] { return g_ticks; };
  ResetDemo();  // what BM_LoadDemo loaded last
  LoadDemo();
  loaded = true;
}

void BM_LoadDemo(benchmark::State& state) {
  EnsureBenchDevice();
  g_platformSwitches.tickSource = [] { return g_ticks; };
  for (auto _ : state) {
    state.PauseTiming();
    ResetDemo();  // what the run before loaded
    state.ResumeTiming();
    LoadDemo();
  }
}
BENCHMARK(BM_LoadDemo)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Section(benchmark::State& state) {
  EnsureLoaded();
  const double t = double(state.range(0));
  g_ticks = kStartTicks + uint64_t(t * 1000);
  // In the glade, the busiest move: the last, with the morphing figure.
  g_forestPhase = t >= 75 && t <= 124 ? 5 : 1;
  g_forestPhaseStart = float(t);
  RenderFrame();  // first use of each state combination compiles its program
  double cpu = 0;
  for (auto _ : state) {
    const double before = ThreadSeconds();
    RenderFrame();
    cpu += ThreadSeconds() - before;
  }
  state.counters["demo_cpu_us"] = benchmark::Counter(cpu * 1e6 / double(state.iterations()));
  state.counters["fps"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
// Opening, figure echoes with title, where scroll, glade, glade with waves, cube orbit,
// finish, stone room (two orbits), credits.
BENCHMARK(BM_Section)
    ->Arg(13)
    ->Arg(44)
    ->Arg(70)
    ->Arg(100)
    ->Arg(118)
    ->Arg(130)
    ->Arg(150)
    ->Arg(165)
    ->Arg(175)
    ->Arg(190)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
