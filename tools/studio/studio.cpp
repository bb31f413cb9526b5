#include "tools/studio/studio.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <thread>

#include "app/app.h"
#include "platform/bass.h"
#include "timeline/timeline.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"
#include "tools/common/schedule_sections.h"
#include "tools/studio/data_watch.h"
#include "tools/studio/overlay.h"
#include "tools/studio/transport.h"

const char* const kStudioKeys =
    "  Space            play or pause\n"
    "  Left, Right      1 s back or forward (with Shift: 10 s)\n"
    "  Page Up, Down    start of the previous or next section\n"
    "  Home             demo time 0\n"
    "  comma, period    one frame (1/60 s) back or forward, pausing first\n"
    "  I, O             the loop's in or out point at the current time\n"
    "  L                the loop on or off\n"
    "  R                reload the data now\n"
    "  Tab              the overlay bar on or off\n"
    "  Esc, Q           quit (as does closing the window)\n"
    "  Alt+Enter        full screen and back\n";

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kFrame =
    std::chrono::microseconds(1000000 * kToolFrameRate.den / kToolFrameRate.num);
// How long the names of the files of a reload stay in the bar.
constexpr auto kMessageTime = std::chrono::seconds(4);

// The folder the demo reads its data from, as the demo names it.
std::string DataFolder() {
  std::error_code error;
  for (const char* name : {"Data", "data"})
    if (std::filesystem::is_directory(name, error)) return name;
  return "Data";
}

// Resident memory in kilobytes (measuring mode).
long ResidentKilobytes() {
  long pages = 0, resident = 0;
  if (FILE* file = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(file);
  }
  return resident * 4;
}

class Studio {
 public:
  explicit Studio(const StudioOptions& options)
      : options_(options), session_(options.uptime), transport_(session_), watch_(DataFolder()) {
    g_renderSwitches.noDisplayWait = true;  // seeks run faster than the display; play paces itself
    g_renderSwitches.overlayHook = [this](int width, int height) {
      if (overlayOn_ && !g_renderSwitches.skipDrawing) overlay_.Draw(State(), width, height);
    };
    session_.onMessage = [this](const MSG& msg) { return OnMessage(msg); };
    overlayOn_ = options.overlay;
    state_.loopIn = options.loopIn;
    state_.loopOut = options.loopOut;
    state_.loopOn = options.loopIn >= 0;
  }

  int Run();
  int Measure();

 private:
  bool OnMessage(const MSG& msg);
  void Handle(WPARAM key, bool shift);
  bool Seek(double seconds);
  void Redraw() { Seek(transport_.Now()); }
  const OverlayState& State();

  StudioOptions options_;
  DemoSession session_;
  Transport transport_;
  DataWatch watch_;
  Overlay overlay_;
  OverlayState state_;
  bool overlayOn_ = true;
  bool quit_ = false;
  std::deque<std::pair<WPARAM, bool>> keys_;  // key presses waiting, with Shift
  Clock::time_point messageUntil_;
};

bool Studio::OnMessage(const MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    const bool alt = (msg.lParam >> 29) & 1;
    if (alt && msg.wParam == VK_F4) quit_ = true;
    if (!alt) keys_.emplace_back(msg.wParam, (GetKeyState(int(VK_SHIFT)) & 0x8000) != 0);
    return true;  // no key reaches the demo, which would end at any key
  }
  if (msg.message == WM_CLOSE) quit_ = true;
  // The demo's own end never ends the studio; the user does.
  return msg.message == WM_CLOSE || msg.message == WM_QUIT;
}

bool Studio::Seek(double seconds) {
  overlay_.Forget();  // the reload makes a new device and GL context
  return transport_.Seek(seconds);
}

const OverlayState& Studio::State() {
  state_.now = transport_.Now();
  state_.playing = transport_.Playing();
  if (Clock::now() > messageUntil_) state_.message.clear();
  return state_;
}

void Studio::Handle(WPARAM key, bool shift) {
  const double now = transport_.Now();
  const double step = shift ? 10 : 1;
  switch (key) {
    case VK_SPACE:
      transport_.SetPlaying(!transport_.Playing());
      if (!transport_.Playing()) Redraw();  // the bar says paused
      break;
    case VK_LEFT:
      Seek(now - step);
      break;
    case VK_RIGHT:
      Seek(now + step);
      break;
    case VK_PRIOR:
      Seek(PreviousSection(state_.sections, now));
      break;
    case VK_NEXT:
      Seek(NextSection(state_.sections, now));
      break;
    case VK_HOME:
      Seek(0);
      break;
    case VK_OEM_COMMA:
    case VK_OEM_PERIOD:
      transport_.SetPlaying(false);
      Seek(double(transport_.Frame() + (key == VK_OEM_COMMA ? -1 : 1)) /
           kToolFrameRate.PerSecond());
      break;
    case 'I':
    case 'O':
      (key == 'I' ? state_.loopIn : state_.loopOut) =
          double(transport_.Frame()) / kToolFrameRate.PerSecond();
      if (!transport_.Playing()) Redraw();
      break;
    case 'L':
      state_.loopOn = !state_.loopOn && state_.loopIn >= 0 && state_.loopOut > state_.loopIn;
      if (!transport_.Playing()) Redraw();
      break;
    case 'R':
      Redraw();
      break;
    case VK_TAB:
      overlayOn_ = !overlayOn_ && options_.overlay;
      if (!transport_.Playing()) Redraw();
      break;
    case VK_ESCAPE:
    case 'Q':
      quit_ = true;
      break;
    default:
      break;
  }
}

int Studio::Run() {
  if (!session_.Start()) {
    std::fprintf(stderr, "emberhall-studio: no OpenGL 3.3 device could be made\n");
    return 1;
  }
  state_.sections = ScheduleSections(session_);
  state_.end = kDemoEndSeconds;
  transport_.SetPlaying(!options_.paused);
  Seek(options_.at);
  while (!quit_) {
    const auto frameStart = Clock::now();
    if (transport_.Playing()) {
      if (state_.loopOn && transport_.PlayedTo() >= state_.loopOut)
        Seek(state_.loopIn);
      else if (!transport_.Advance())
        break;
    } else if (!session_.ServeMessages()) {
      break;
    }
    while (!keys_.empty() && !quit_) {
      const auto [key, shift] = keys_.front();
      keys_.pop_front();
      Handle(key, shift);
    }
    if (const auto names = watch_.Poll(); !names.empty() && !quit_) {
      state_.message = "RELOADED";
      for (const std::string& name : names) state_.message += " " + name;
      messageUntil_ = Clock::now() + kMessageTime;
      Redraw();
    }
    std::this_thread::sleep_until(frameStart + kFrame);
  }
  return 0;
}

int Studio::Measure() {
  if (!session_.Start()) {
    std::fprintf(stderr, "emberhall-studio: no OpenGL 3.3 device could be made\n");
    return 1;
  }
  std::printf("%-10s %10s %14s %12s\n", "seek to", "seconds", "music - demo", "RSS MB");
  transport_.SetPlaying(true);
  for (double t : {20.0, 100.0, 199.0, 20.0, 100.0, 199.0}) {
    const auto start = Clock::now();
    Seek(t);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    // Where the music stands against the demo time at the same instant, just after the seek.
    const double music = BASS_ChannelGetPosition(g_musicStream);
    const double demo = transport_.PlayedTo();
    std::printf("%-10.2f %10.3f %11.1f ms %12.1f\n", t, seconds,
                music < 0 ? NAN : (music - demo) * 1000, double(ResidentKilobytes()) / 1024);
  }
  const long before = ResidentKilobytes();
  for (int i = 0; i < 50; ++i) Redraw();
  std::printf("50 reloads at %.2f s: RSS %+.1f MB\n", transport_.Now(),
              double(ResidentKilobytes() - before) / 1024);
  return 0;
}

}  // namespace

int RunStudio(const StudioOptions& options) {
  Studio studio(options);
  return options.measure ? studio.Measure() : studio.Run();
}
