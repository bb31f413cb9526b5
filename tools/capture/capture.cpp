#include "tools/capture/capture.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "app/app.h"
#include "platform/tick.h"
#include "tools/capture/png_writer.h"

int64_t FrameAt(double t, double fps) { return int64_t(std::llround(t * fps)); }

std::string FrameFileName(int64_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(n));
  return name;
}

int RunCapture(const CaptureOptions& options) {
  const uint64_t startTicks = uint64_t(std::llround(options.uptime * 1000));
  int64_t frame = 0;
  auto ticks = [&] { return startTicks + uint64_t(std::llround(frame * 1000.0 / options.fps)); };
  SetTickSource(ticks);

  std::set<int64_t> singles;
  for (double t : options.at) singles.insert(FrameAt(t, options.fps));
  const bool range = !options.pngDir.empty();
  const int64_t first = FrameAt(options.from, options.fps);
  const int64_t last = options.to < 0 ? INT64_MAX : FrameAt(options.to, options.fps);
  const int64_t stop = range ? last : (singles.empty() ? 0 : *singles.rbegin());
  const std::string singlesDir = range ? options.pngDir + "/" : "";

  bool failed = false;
  std::vector<uint8_t> pixels;
  SetPresentHook([&](IDirect3DDevice8& device) {
    if (frame == 0) SDL_GL_SetSwapInterval(0);  // never wait for a display's refresh
    const bool inRange = range && frame >= first && frame <= last;
    if (inRange || singles.count(frame)) {
      device.ReadBackBuffer(pixels);
      const std::string path = (inRange ? options.pngDir + "/" : singlesDir) + FrameFileName(frame);
      if (!WritePng(path, device.Width(), device.Height(), pixels.data())) {
        std::fprintf(stderr, "emberhall-capture: cannot write %s; check that the folder exists "
                     "and is writable\n", path.c_str());
        failed = true;
      }
    }
    if (failed || frame >= stop) PostQuitMessage(0);
    ++frame;
  });

  WinMain(nullptr, nullptr, "", 0);
  SetPresentHook(nullptr);
  SetTickSource(nullptr);
  return failed ? 1 : 0;
}
