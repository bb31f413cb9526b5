// The demo's entry in the browser; the page (web/index.html) calls it once the viewer has
// clicked to play, or at once for a still. Before that, as soon as the data set is in
// place, the page calls PrepareDemo, which starts decoding the sound track.
//
// Without arguments it runs WinMain exactly as the desktop does. With `--at T` it shows
// the frame at demo time T as `emberhall-capture --at T` writes it: the same manual clock
// at 60 frames per second (`--uptime S`, default 1000), the frames before T run but not
// drawn, through the tools' demo session; the demo then ends. `--frames N` draws N more
// frames after T at the display's pace and measures how many it drew per second. Either way
// the page hears of the end through Module.onDemoEnd(framesPerSecond), the rate 0 when
// nothing was measured.
// With `--studio` it runs the studio (web/studio.h) from `--at T` (default 0), `--paused`
// or playing, with `--uptime S` (default: the page's clock, as the demo has it).
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app.h"
#include "platform/web/preload_sound.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"
#include "web/studio.h"

namespace {

struct PageOptions {
  double at = -1;      // demo time of the still or the studio's start; < 0: play the demo
  double uptime = -1;  // < 0: 1000 for a still, the page's clock in the studio
  int64_t extraFrames = 0;
  bool studio = false;
  bool paused = false;
};

EM_JS(void, ReportEnd, (double framesPerSecond), {
  if (Module['onDemoEnd']) Module['onDemoEnd'](framesPerSecond);
});

// The options, as the page passes them from its address (?at=T&uptime=U&frames=N, and
// ?studio&paused).
PageOptions ParseArguments(int argc, char** argv) {
  PageOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--studio") == 0) options.studio = true;
    if (std::strcmp(argv[i], "--paused") == 0) options.paused = true;
    if (i + 1 == argc) break;
    const double value = std::strtod(argv[i + 1], nullptr);
    if (std::strcmp(argv[i], "--at") == 0 && value >= 0) options.at = value;
    if (std::strcmp(argv[i], "--uptime") == 0 && value >= 0) options.uptime = value;
    if (std::strcmp(argv[i], "--frames") == 0 && value > 0) options.extraFrames = int64_t(value);
  }
  return options;
}

// The frames from the still on, each measured from the still's: N more frames at the
// display's pace give the rate the page drew them at; 0 when none were asked for.
double ShowStill(const PageOptions& options) {
  DemoSession session(options.uptime < 0 ? 1000 : options.uptime);
  const int64_t target = FrameAt(options.at, kToolFrameRate);
  if (!session.Start() || !session.FastForward(0, target, kToolFrameRate)) return 0;
  double start = 0;
  for (int64_t n = target; n <= target + options.extraFrames; ++n) {
    session.SetDemoTime(FrameMilliseconds(n, kToolFrameRate));
    if (!session.RunFrame()) return 0;
    if (n == target) start = emscripten_get_now();
  }
  if (options.extraFrames == 0) return 0;
  return double(options.extraFrames) * 1000.0 / (emscripten_get_now() - start);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void PrepareDemo() {
  PreloadSoundFile(kSoundTrackPath);
}

int main(int argc, char** argv) {
  const PageOptions options = ParseArguments(argc, argv);
  double framesPerSecond = 0;
  if (options.studio)
    RunStudio(std::max(options.at, 0.0), options.paused,
              options.uptime < 0 ? emscripten_get_now() / 1000 : options.uptime);
  else if (options.at >= 0)
    framesPerSecond = ShowStill(options);
  else
    WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
  ResetWindowSystem();  // the page has its keys back
  ReportEnd(framesPerSecond);
  return 0;
}
