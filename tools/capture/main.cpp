// emberhall-capture: renders the demo frame by frame at a fixed rate, headless or not.
//
//   emberhall-capture --at 35 --at 80          frames at those demo times, as PNG files
//   emberhall-capture --png out --from 40 --to 45   every frame of a range into out/
//
// Options: --fps N (default 60), --uptime S (system uptime at demo time 0, default 1000;
// the demo's periodic motion takes its phase from it).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/capture/capture.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: emberhall-capture [--at T]... [--png DIR [--from S] [--to S]] [--fps N] "
               "[--uptime S]\n");
}

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    double number = 0;
    const bool numeric = value && ParseNumber(value, number);
    if (option == "--png" && value) {
      options.pngDir = value;
    } else if (option == "--at" && numeric && number >= 0) {
      options.at.push_back(number);
    } else if (option == "--from" && numeric && number >= 0) {
      options.from = number;
    } else if (option == "--to" && numeric && number >= 0) {
      options.to = number;
    } else if (option == "--fps" && numeric && number > 0 && number <= 1000) {
      options.fps = number;
    } else if (option == "--uptime" && numeric && number >= 0) {
      options.uptime = number;
    } else {
      std::fprintf(stderr, "emberhall-capture: bad option or value: %s%s%s\n", option.c_str(),
                   value ? " " : "", value ? value : "");
      Usage();
      return 2;
    }
    ++i;
  }
  if (options.at.empty() && options.pngDir.empty()) {
    Usage();
    return 2;
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // the sound track is not played while capturing
  return RunCapture(options);
}
