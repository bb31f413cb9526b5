// The demo's entry in the browser; the page (web/index.html) calls it once the viewer has
// clicked to play, or at once for a still.
//
// Without arguments it runs WinMain exactly as the desktop does. With `--at T` it shows
// the frame at demo time T as `emberhall-capture --at T` writes it: the same manual clock
// at 60 frames per second (`--uptime S`, default 1000), the frames before T run but not
// drawn; the demo then quits. `--frames N` draws N more frames after T at the display's
// pace and measures how many it drew per second. Either way the page hears of the end
// through Module.onDemoEnd(framesPerSecond), the rate 0 when nothing was measured.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "render/tool_hooks.h"
#include "tools/capture/frame_clock.h"

namespace {

constexpr double kStillsFps = 60;

struct Stills {
  double at = -1;  // demo time of the still; < 0: play the demo
  double uptime = 1000;
  int64_t extraFrames = 0;
};

EM_JS(void, ReportEnd, (double framesPerSecond), {
  if (Module['onDemoEnd']) Module['onDemoEnd'](framesPerSecond);
});

// The options, as the page passes them from its address (?at=T&uptime=U&frames=N).
Stills ParseArguments(int argc, char** argv) {
  Stills stills;
  for (int i = 1; i + 1 < argc; i += 2) {
    const double value = std::strtod(argv[i + 1], nullptr);
    if (std::strcmp(argv[i], "--at") == 0 && value >= 0) stills.at = value;
    if (std::strcmp(argv[i], "--uptime") == 0 && value >= 0) stills.uptime = value;
    if (std::strcmp(argv[i], "--frames") == 0 && value > 0) stills.extraFrames = int64_t(value);
  }
  return stills;
}

}  // namespace

int main(int argc, char** argv) {
  const Stills stills = ParseArguments(argc, argv);
  int64_t frame = 0;
  double measureStart = 0, framesPerSecond = 0;
  if (stills.at >= 0) {
    const int64_t target = FrameAt(stills.at, kStillsFps);
    const int64_t last = target + stills.extraFrames;
    SetTickSource([&] { return FrameTicks(frame, kStillsFps, stills.uptime); });
    SetSkipDrawing(target > 0);
    SetPresentHook([&](IDirect3DDevice8&) {
      if (frame == target) measureStart = emscripten_get_now();
      if (frame == last) {
        if (last > target)
          framesPerSecond = double(last - target) * 1000.0 / (emscripten_get_now() - measureStart);
        PostQuitMessage(0);
      }
      ++frame;
      SetSkipDrawing(frame < target);
    });
  }

  WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);

  SetPresentHook(nullptr);
  SetTickSource(nullptr);
  ResetWindowSystem();  // the page has its keys back
  ReportEnd(framesPerSecond);
  return 0;
}
