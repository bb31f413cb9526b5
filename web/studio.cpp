#include "web/studio.h"

#include <emscripten.h>

#include <deque>
#include <utility>
#include <vector>

#include "platform/win32.h"
#include "tools/common/demo_session.h"
#include "tools/common/playback.h"
#include "tools/common/schedule_sections.h"
#include "tools/common/transport.h"

namespace {

// What the page asked for since the loop last looked.
std::deque<std::pair<WPARAM, bool>> g_keys;  // with Shift
double g_seekTo = -1;                        // seconds; < 0 none
bool g_musicPlaying = false;                 // the music plays (after the last seek or change)

EM_JS(void, ReportSections, (const double* starts, int count, double end), {
  var seconds = Array.from(HEAPF64.subarray(starts >> 3, (starts >> 3) + count));
  if (Module['onStudioSections']) Module['onStudioSections'](seconds, end);
});

EM_JS(void, ReportState,
      (double seconds, const char* text, int paused, double loopIn, double loopOut, int loopOn,
       int bar, const char* message),
      {
        if (!Module['onStudioFrame']) return;
        Module['onStudioFrame']({
          time : seconds,
          text : UTF8ToString(text),
          paused : !!paused,
          loopIn : loopIn,
          loopOut : loopOut,
          loopOn : !!loopOn,
          bar : !!bar,
          message : UTF8ToString(message)
        });
      });

void Report(const Transport& transport, double now) {
  ReportState(transport.Seconds(), transport.Text().c_str(), transport.Playing() ? 0 : 1,
              transport.LoopIn(), transport.LoopOut(), transport.LoopOn() ? 1 : 0,
              transport.OverlayOn() ? 1 : 0, transport.Message(now).c_str());
}

// Keys are the page's in the studio: the demo's window never sees one, nor the quit it
// posts past its end.
bool KeepFromDemo(const MSG& msg) {
  return msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_QUIT;
}

// Carries out `command`; false once the studio should end.
bool Carry(const TransportCommand& command, Transport& transport, Playback& playback) {
  const double now = emscripten_get_now();
  switch (command.kind) {
    case TransportCommand::kSeek:
      if (playback.Seek(command.milliseconds, transport.Playing())) {
        g_musicPlaying = transport.Playing();
        transport.Shown(emscripten_get_now());
      } else {
        transport.Warn("THE DEMO COULD NOT BE LOADED AGAIN");
        transport.SetPlaying(false, now);
      }
      return true;
    case TransportCommand::kPlay:
      if (!playback.Play(command.milliseconds)) transport.SetPlaying(false, now);
      return true;
    case TransportCommand::kQuit:
      return false;
    default:
      return true;
  }
}

}  // namespace

extern "C" {

// A key press: the browser's key code (the platform's virtual key) and Shift.
EMSCRIPTEN_KEEPALIVE void StudioKey(int key, int shift) {
  g_keys.emplace_back(WPARAM(key), shift != 0);
}

// The seek bar moved to `seconds`.
EMSCRIPTEN_KEEPALIVE void StudioSeekTo(double seconds) {
  g_seekTo = seconds;
}

}  // extern "C"

void RunStudio(double at, bool paused, double uptimeSeconds) {
  DemoSession session(uptimeSeconds);
  session.onMessage = KeepFromDemo;
  if (!session.Start()) return;
  Transport transport(ScheduleSections(session), at, !paused);
  const std::vector<double>& sections = transport.Sections();
  ReportSections(sections.data(), int(sections.size()), Transport::End());
  Playback playback(session);
  bool running = Carry(transport.StartCommand(), transport, playback);
  while (running) {
    while (!g_keys.empty() && running) {
      const auto [key, shift] = g_keys.front();
      g_keys.pop_front();
      running = Carry(transport.Press(key, shift, emscripten_get_now()), transport, playback);
    }
    if (g_seekTo >= 0) {
      running = Carry(transport.SeekTo(g_seekTo, emscripten_get_now()), transport, playback);
      g_seekTo = -1;
    }
    if (!running) break;
    const bool playing = transport.Playing();
    Carry(transport.Tick(emscripten_get_now()), transport, playback);
    if (transport.Playing() != g_musicPlaying) {
      g_musicPlaying = transport.Playing();
      playback.FollowMusic(transport.Milliseconds(), g_musicPlaying);
    }
    Report(transport, emscripten_get_now());
    if (!playing) emscripten_sleep(16);  // a frame run waits for the display itself
  }
}
