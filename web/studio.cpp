#include "web/studio.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/win32.h"
#include "timeline/timeline.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"
#include "tools/common/schedule_sections.h"

namespace {

// What the page asked for since the loop last looked.
struct Commands {
  bool seek = false;
  int64_t frame = 0;  // the seek's target on the 1/60 s grid
  int pause = -1;     // 1 pause, 0 play, -1 as it is
};
Commands g_commands;

EM_JS(void, ReportSections, (const double* starts, int count, double end), {
  var seconds = Array.from(HEAPF64.subarray(starts >> 3, (starts >> 3) + count));
  if (Module['onStudioSections']) Module['onStudioSections'](seconds, end);
});

EM_JS(void, ReportFrame, (double seconds, int paused), {
  if (Module['onStudioFrame']) Module['onStudioFrame'](seconds, !!paused);
});

// The demo's music (platform/web/bass.cpp keeps it as Module.demoSound) from `seconds` on,
// or silent while paused; silence too past the track's end.
EM_JS(void, MoveMusic, (double seconds, int playing), {
  var sound = Module['demoSound'];
  if (!sound || !sound.buffer) return;
  if (sound.source) sound.source.stop();
  sound.source = null;
  if (!playing || seconds >= sound.buffer.duration) return;
  sound.source = sound.context.createBufferSource();
  sound.source.buffer = sound.buffer;
  sound.source.connect(sound.context.destination);
  sound.source.start(0, seconds);
});

// Keys are the page's in the studio: the demo's window never sees one, nor the quit it
// posts past its end.
bool KeepFromDemo(const MSG& msg) {
  return msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_QUIT;
}

}  // namespace

extern "C" {

// Go to demo time `seconds`, rounded to the 1/60 s grid and kept within the demo.
EMSCRIPTEN_KEEPALIVE void StudioSeek(double seconds) {
  const double t = std::clamp(seconds, 0.0, kDemoEndSeconds);
  g_commands.seek = true;
  g_commands.frame = FrameAt(t, kToolFrameRate);
}

// Pause (non-zero) or play.
EMSCRIPTEN_KEEPALIVE void StudioPause(int paused) {
  g_commands.pause = paused != 0 ? 1 : 0;
}

}  // extern "C"

void RunStudio(double at, bool paused, double uptimeSeconds) {
  DemoSession session(uptimeSeconds);
  session.onMessage = KeepFromDemo;
  if (!session.Start()) return;
  const std::vector<double> sections = ScheduleSections(session);
  ReportSections(sections.data(), int(sections.size()), kDemoEndSeconds);

  const int64_t endMilliseconds =
      FrameMilliseconds(FrameAt(kDemoEndSeconds, kToolFrameRate), kToolFrameRate);
  StudioSeek(at);
  g_commands.pause = paused ? 1 : 0;
  bool isPaused = false;
  bool shown = false;              // the frame at the current demo time is on the canvas
  int64_t anchorMilliseconds = 0;  // the demo time at the page's clock reading anchorNow
  double anchorNow = 0;
  for (;;) {
    const Commands commands = g_commands;
    g_commands = Commands{};
    if (commands.seek) {
      if (!session.Restart() || !session.FastForward(0, commands.frame, kToolFrameRate)) return;
      anchorMilliseconds = session.DemoTime();
      shown = false;
    }
    if (commands.pause == 1 && !isPaused) {
      anchorMilliseconds = session.DemoTime();
      isPaused = true;
    } else if (commands.pause == 0 && isPaused) {
      isPaused = false;
      if (anchorMilliseconds >= endMilliseconds) {  // played to the end: again from 0
        g_commands.seek = true;
        continue;
      }
    }
    if (commands.seek || commands.pause >= 0) {
      anchorNow = emscripten_get_now();
      MoveMusic(double(anchorMilliseconds) / 1000, isPaused ? 0 : 1);
      ReportFrame(double(anchorMilliseconds) / 1000, isPaused ? 1 : 0);
    }
    if (isPaused && shown) {
      emscripten_sleep(16);
      continue;
    }
    int64_t now = anchorMilliseconds;
    if (!isPaused) now += std::llround(emscripten_get_now() - anchorNow);
    if (now >= endMilliseconds) {
      now = anchorMilliseconds = endMilliseconds;
      isPaused = true;
    }
    session.SetDemoTime(now);
    if (!session.RunFrame()) return;
    shown = true;
    ReportFrame(double(now) / 1000, isPaused ? 1 : 0);
  }
}
