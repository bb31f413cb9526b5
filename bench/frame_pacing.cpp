// frame_pacing: plays the demo in its window on the current display, as emberhall-windowed
// does, and reports how evenly the frames come: the intervals between presents, their mean,
// spread, percentiles and worst, and the share of frames that took over 1.5 times the median.
//
//   frame_pacing [--seconds N] [--from T] [--fullscreen]
//
//   --seconds N    how long to measure (default 20), after one second of warming up
//   --from T       jump the demo clock to T seconds once the first frame is shown
//   --fullscreen   press Alt+Enter at the first frame: the scaled, desktop full-screen path
//
// Run it from build/ (the demo reads ./Data) on a display. With vsync the intervals gather
// at the display's refresh period; Xvfb has none, so there it measures rendering alone.
#include <SDL2/SDL.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/percentile.h"
#include "platform/tick.h"
#include "render/tool_switches.h"

namespace {

struct Options {
  double seconds = 20;
  double from = 0;
  bool fullScreen = false;
};

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--fullscreen") {
      options.fullScreen = true;
    } else if ((option == "--seconds" || option == "--from") && i + 1 < argc) {
      char* end = nullptr;
      const double value = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(value >= 0 && value <= 200)) return false;
      (option == "--seconds" ? options.seconds : options.from) = value;
    } else {
      return false;
    }
  }
  return options.seconds > 0;
}

// The system's tick counter, as the demo reads it, plus the jump of --from.
uint64_t BootMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000;
}

void Report(std::vector<double> intervals) {
  if (intervals.size() < 2) {
    std::printf("frame_pacing: too few frames to measure\n");
    return;
  }
  double sum = 0, squares = 0;
  for (double ms : intervals) sum += ms, squares += ms * ms;
  const double mean = sum / double(intervals.size());
  const double spread = std::sqrt(std::max(0.0, squares / double(intervals.size()) - mean * mean));
  std::sort(intervals.begin(), intervals.end());
  const double median = Percentile(intervals, 0.5);
  const auto slow = std::count_if(intervals.begin(), intervals.end(),
                                  [&](double ms) { return ms > 1.5 * median; });
  std::printf(
      "frames %zu, mean %.2f ms (%.1f fps), standard deviation %.2f ms\n"
      "min %.2f, median %.2f, 90%% %.2f, 99%% %.2f, max %.2f ms; over 1.5x median: %.1f%%\n",
      intervals.size(), mean, 1000.0 / mean, spread, intervals.front(), median,
      Percentile(intervals, 0.9), Percentile(intervals, 0.99), intervals.back(),
      100.0 * double(slow) / double(intervals.size()));
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: frame_pacing [--seconds N] [--from T] [--fullscreen]\n");
    return 2;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);

  uint64_t offset = 0;
  g_platformSwitches.tickSource = [&] { return BootMilliseconds() + offset; };
  std::vector<double> intervals;
  const double frequency = double(SDL_GetPerformanceFrequency());
  uint64_t first = 0, previous = 0;
  g_renderSwitches.presentHook = [&](IDirect3DDevice8&) {
    const uint64_t now = SDL_GetPerformanceCounter();
    if (first == 0) {
      first = now;
      offset = uint64_t(options.from * 1000.0);
      if (options.fullScreen) {
        SDL_Event alt{};
        alt.type = SDL_KEYDOWN;
        alt.key.keysym.sym = SDLK_RETURN;
        alt.key.keysym.mod = KMOD_LALT;
        SDL_PushEvent(&alt);
      }
    }
    const double since = double(now - first) / frequency;
    if (since > 1.0 && previous != 0)
      intervals.push_back(1000.0 * double(now - previous) / frequency);
    previous = now;
    if (since > 1.0 + options.seconds) PostQuitMessage(0);
  };
  WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
  Report(intervals);
  return 0;
}
