// The studio's seek, headless: the demo loaded again and the frames before T run with
// drawing skipped, then frame T drawn (tools/common/playback.h), from the data set in
// ./Data (run from the build folder). BM_StudioSeek/<t>: the real time of one seek to t
// seconds; the counter "rss_mb" is the process's resident memory after the last one, which
// stays flat over repeated seeks when a reload releases what the load before it made.
// bench/studio_window.py measures the same seeks in a window under Xvfb.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "tools/common/demo_session.h"
#include "tools/common/playback.h"

namespace {

double ResidentMegabytes() {
  long pages = 0, resident = 0;
  if (FILE* file = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(file);
  }
  return double(resident) * 4096 / (1024 * 1024);
}

void BM_StudioSeek(benchmark::State& state) {
  DemoSession session(1000);
  g_renderSwitches.noDisplayWait = true;
  if (!session.Start()) {
    state.SkipWithError("no device");
    return;
  }
  Playback playback(session);
  for (auto _ : state)
    if (!playback.Seek(state.range(0) * 1000, false)) state.SkipWithError("seek failed");
  state.counters["rss_mb"] = ResidentMegabytes();
}
BENCHMARK(BM_StudioSeek)->Arg(20)->Arg(100)->Arg(170)->Arg(199)->Unit(benchmark::kMillisecond);

}  // namespace
