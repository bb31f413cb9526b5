// frame_times: steps the whole demo at 60 frames per second of demo time, headless, and
// reports per section of the schedule how long a frame takes from the end of the one before
// until it is finished on the GPU side (the demo's work, the driver's submission and the
// rasteriser's): the median, the 99th percentile and the worst. It names the GL driver it
// runs on first: vendor, renderer and version, a line each.
//
//   frame_times [--to T]     stop after demo time T (default: the whole 200 s)
//
// Run it from build/ (the demo reads ./Data). The demo clock advances exactly 1/60 s per
// frame, whatever the frames take, so every run draws the same frames.
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/percentile.h"
#include "tests/headless.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"

namespace {

constexpr uint64_t kStartTicks = 1000000;

struct Section {
  const char* name;
  double from, to;  // demo seconds; a frame at a shared boundary counts in the later one
  std::vector<double> ms;
};

}  // namespace

int main(int argc, char** argv) {
  double to = 200;
  if (argc == 3 && std::string(argv[1]) == "--to") {
    char* end = nullptr;
    to = std::strtod(argv[2], &end);
    if (*end != '\0' || !(to > 0 && to <= 200)) argc = 0;
  }
  if (argc != 1 && argc != 3) {
    std::fprintf(stderr, "usage: frame_times [--to T]   (0 < T <= 200)\n");
    return 2;
  }
  RunHeadless();

  std::vector<Section> sections = {
      {"opening warps", 0, 14, {}},      {"figure in the warps", 14, 30, {}},
      {"figure echoes", 30, 44, {}},     {"title scroll", 44, 65, {}},
      {"where scroll", 65, 75, {}},      {"glade", 75, 114, {}},
      {"glade, waves", 114, 124, {}},    {"cube orbit", 124, 145, {}},
      {"finish", 145, 155, {}},          {"stone room", 155, 170, {}},
      {"stone room, 2nd", 170, 180, {}}, {"credits", 180, 200.1, {}},
  };

  DemoSession session(kStartTicks / 1000.0);
  if (!session.Start()) {
    std::fprintf(stderr, "frame_times: the demo could not start\n");
    return 1;
  }
  using Clock = std::chrono::steady_clock;
  Clock::time_point frameStart{};
  for (int64_t frame = 0;; ++frame) {
    const double t = double(frame) / kToolFrameRate.PerSecond();
    session.SetDemoTime(FrameMilliseconds(frame, kToolFrameRate));
    const bool ran = session.RunFrame([&](IDirect3DDevice8&) {
      if (frame == 0) {
        auto text = [](GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); };
        std::printf("GL vendor: %s\nGL renderer: %s\nGL version: %s\n", text(GL_VENDOR),
                    text(GL_RENDERER), text(GL_VERSION));
        std::fflush(stdout);
      }
      glFinish();
      if (frame > 0) {  // the first frame's time is the loading's
        const double ms =
            std::chrono::duration<double, std::milli>(Clock::now() - frameStart).count();
        for (Section& section : sections)
          if (t >= section.from && t < section.to) section.ms.push_back(ms);
      }
      frameStart = Clock::now();
    });
    if (!ran || t >= to) break;
  }

  std::printf("%-20s %11s %7s %8s %8s %8s\n", "section", "demo s", "frames", "median", "99%",
              "worst");
  for (Section& section : sections) {
    if (section.ms.empty()) continue;
    std::sort(section.ms.begin(), section.ms.end());
    std::printf("%-20s %5.0f-%-5.0f %7zu %8.2f %8.2f %8.2f\n", section.name, section.from,
                std::min(section.to, 200.0), section.ms.size(), Percentile(section.ms, 0.5),
                Percentile(section.ms, 0.99), section.ms.back());
  }
  std::printf("(milliseconds per frame, finished on the GPU side)\n");
  return 0;
}
