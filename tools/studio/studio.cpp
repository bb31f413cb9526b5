#include "tools/studio/studio.h"

#include <SDL2/SDL.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <set>
#include <thread>

#include "app/app.h"
#include "core/device_globals.h"
#include "platform/data_path.h"
#include "platform/sdl_video.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"
#include "tools/common/playback.h"
#include "tools/common/schedule_sections.h"
#include "tools/common/tool_cli.h"
#include "tools/common/transport.h"
#include "tools/studio/data_watch.h"
#include "tools/studio/held_frame.h"
#include "tools/studio/overlay.h"

const char* const kStudioKeys =
    "  Space            play or pause (at the end: play from the start)\n"
    "  Left, Right      1 s back or forward (with Shift: 10 s)\n"
    "  Page Up, Down    start of the previous or next section (the last one: the end)\n"
    "  Home             demo time 0\n"
    "  comma, period    one frame (1/60 s) back or forward, pausing first\n"
    "  I, O             the loop's in or out point at the current time\n"
    "  L                the loop on or off\n"
    "  R                reload the data now\n"
    "  Tab              the overlay bar on or off\n"
    "  Esc, Q           quit (as does closing the window)\n"
    "  Alt+Enter        full screen and back\n"
    "  mouse            click or drag on the bar to go there\n";

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kFrame =
    std::chrono::microseconds(1000000 * kToolFrameRate.den / kToolFrameRate.num);

class Studio {
 public:
  explicit Studio(const StudioOptions& options);
  ~Studio() { SDL_DelEventWatch(OnPointer, this); }
  Studio(const Studio&) = delete;
  Studio& operator=(const Studio&) = delete;
  int Run();

 private:
  bool OnMessage(const MSG& msg);
  void OnOverlay(int width, int height);
  void Carry(const TransportCommand& command);
  void Seek(int64_t milliseconds);
  bool PresentHeld();
  void ShowBar();
  void Failed(const std::string& what);
  static int OnPointer(void* studio, SDL_Event* event);
  void PollMouse();
  // The files the demo found before that it cannot read now, as the demo names them.
  std::string UnreadableFiles() const;
  double Now() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
  }

  StudioOptions options_;
  Clock::time_point start_ = Clock::now();
  DemoSession session_;
  Playback playback_;
  std::unique_ptr<Transport> transport_;  // made once the sections are known
  std::unique_ptr<DataWatch> watch_;
  Overlay overlay_;
  HeldFrame held_;
  // The data paths the demo found when it loaded: one of them gone stops a reload (a file
  // missing from the start does not; the demo plays without it).
  std::set<std::string> dataFiles_;
  bool showHeld_ = false;  // the present at hand shows the held frame again
  bool heldMissing_ = false;
  bool musicPlaying_ = false;
  bool dragging_ = false;  // the left button went down on the bar and is held
  double pointerAt_ = -1;  // the time the pointer asks for, not yet sought; < 0 none
  bool quit_ = false;
  std::deque<std::pair<WPARAM, bool>> keys_;  // key presses waiting, with Shift
};

Studio::Studio(const StudioOptions& options)
    : options_(options), session_(options.uptime), playback_(session_) {
  g_renderSwitches.noDisplayWait = true;  // seeks run faster than the display; play paces itself
  g_renderSwitches.overlayHook = [this](int width, int height) { OnOverlay(width, height); };
  g_platformSwitches.lookupObserver = [this](const char* path, const std::string& resolved) {
    if (!resolved.empty()) dataFiles_.insert(path);
  };
  session_.onMessage = [this](const MSG& msg) { return OnMessage(msg); };
}

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

// Inside each present: the frame drawn is kept (or the kept one shown again), then the bar.
void Studio::OnOverlay(int width, int height) {
  if (g_renderSwitches.skipDrawing) return;
  const int device = session_.Devices();
  if (showHeld_)
    heldMissing_ = !held_.Restore(device, width, height);
  else
    held_.Keep(device, width, height);
  if (transport_ && transport_->OverlayOn() && options_.overlay)
    overlay_.Draw(*transport_, transport_->Message(Now()), device, width, height);
}

// The bar drawn again over the frame on screen, without running the demo; false when no
// frame of this device and window size is held.
bool Studio::PresentHeld() {
  if (!session_.Running() || !g_device) return false;
  showHeld_ = true;
  heldMissing_ = false;
  g_device->Present(nullptr, nullptr, nullptr, nullptr);
  showHeld_ = false;
  return !heldMissing_;
}

void Studio::ShowBar() {
  if (!PresentHeld()) Seek(transport_->Milliseconds());  // the window changed: draw it anew
}

void Studio::Failed(const std::string& what) {
  Fail(what);
  std::string upper = what;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  transport_->Warn(upper);
  transport_->SetPlaying(false, Now());
}

void Studio::Seek(int64_t milliseconds) {
  // Until the new frame comes the window keeps the last one, under a bar saying where to.
  transport_->Say("LOADING", Now());
  PresentHeld();
  transport_->Say("", Now());
  if (const std::string missing = UnreadableFiles(); !missing.empty())
    return Failed("cannot read " + missing + ": the last frame stays until it is back");
  if (!playback_.Seek(milliseconds, transport_->Playing()))
    return Failed("the demo could not be loaded again (no OpenGL 3.3 device)");
  musicPlaying_ = transport_->Playing();
  transport_->Shown(Now());
}

std::string Studio::UnreadableFiles() const {
  std::string list;
  for (const std::string& path : dataFiles_) {
    const std::string resolved = ResolveDataPath(path.c_str());
    FILE* file = resolved.empty() ? nullptr : std::fopen(resolved.c_str(), "rb");
    if (file)
      std::fclose(file);
    else
      list += (list.empty() ? "" : " ") + path;
  }
  return list;
}

void Studio::Carry(const TransportCommand& command) {
  switch (command.kind) {
    case TransportCommand::kNone:
      break;
    case TransportCommand::kBar:
      if (!transport_->Playing()) ShowBar();
      break;
    case TransportCommand::kPlay:
      if (!playback_.Play(command.milliseconds)) Failed("the demo is not running: press R");
      break;
    case TransportCommand::kSeek:
      Seek(command.milliseconds);
      break;
    case TransportCommand::kQuit:
      quit_ = true;
      break;
  }
  if (transport_->Playing() != musicPlaying_ && session_.Running()) {
    musicPlaying_ = transport_->Playing();
    playback_.FollowMusic(transport_->Milliseconds(), musicPlaying_);
    // The music is heard from the moment it returns: the picture's clock starts there too.
    if (musicPlaying_) transport_->Shown(Now());
  }
}

// A press on the bar, or a drag that began there, asks for the time under the pointer. SDL
// hands the events to this watch as they come; the window layer itself takes no mouse.
int Studio::OnPointer(void* studio, SDL_Event* event) {
  auto& self = *static_cast<Studio*>(studio);
  const bool press = event->type == SDL_MOUSEBUTTONDOWN && event->button.button == SDL_BUTTON_LEFT;
  if (event->type == SDL_MOUSEBUTTONUP) self.dragging_ = false;
  if (!press && !(event->type == SDL_MOUSEMOTION && self.dragging_)) return 0;
  SDL_Window* window = SDL_GetWindowFromID(press ? event->button.windowID : event->motion.windowID);
  int width = 0, height = 0;
  if (window) SDL_GetWindowSize(window, &width, &height);
  const int x = press ? event->button.x : event->motion.x;
  const int y = press ? event->button.y : event->motion.y;
  if (width <= 1 || (press && (y < BarTop(height) || y >= height))) return 0;
  self.dragging_ = true;
  self.pointerAt_ = double(x) / double(width - 1) * Transport::End();
  return 0;
}

void Studio::PollMouse() {
  if (pointerAt_ < 0 || !transport_->OverlayOn() || !options_.overlay) return;
  Carry(transport_->SeekTo(pointerAt_, Now()));
  pointerAt_ = -1;
}

int Studio::Run() {
  if (!StartVideo()) {
    Fail("no display to open a window on (is DISPLAY set, and the X server running?)");
    return 1;
  }
  SDL_AddEventWatch(OnPointer, this);  // from the start: a press while loading counts
  const std::string folder = ResolveDataPath("Data");
  // Said once: no data folder (the demo plays dark and silent), or one that is not watched.
  const std::string problem = DataFolderProblem("Data");
  watch_ = std::make_unique<DataWatch>(folder.empty() ? "Data" : folder);
  if (!problem.empty())
    Fail(problem);
  else if (!watch_->Problem().empty())
    Fail(watch_->Problem() + " (changes will not reload: press R)");
  if (!session_.Start()) {
    Fail("no OpenGL 3.3 device could be made");
    return 1;
  }
  // The first frame shows before the sections are read, a run through the whole demo; the
  // frame stays on screen while they are, and the start is sought again after them.
  transport_ = std::make_unique<Transport>(std::vector<double>{}, options_.at, false);
  playback_.Seek(transport_->Milliseconds(), false);
  transport_ =
      std::make_unique<Transport>(ScheduleSections(session_), options_.at, !options_.paused);
  if (options_.loopIn >= 0 && !transport_->SetLoop(options_.loopIn, options_.loopOut))
    return Fail("the loop must be at least one frame (1/60 s) long");
  Carry(transport_->StartCommand());
  while (!quit_) {
    const auto frameStart = Clock::now();
    session_.ServeMessages();
    while (!keys_.empty() && !quit_) {
      const auto [key, shift] = keys_.front();
      keys_.pop_front();
      Carry(transport_->Press(key, shift, Now()));
    }
    PollMouse();
    if (const auto names = watch_->Poll(); !names.empty() && !quit_) {
      std::string files;
      for (const std::string& name : names) files += " " + name;
      Carry(transport_->Press('R', false, Now()));
      if (transport_->Message(Now()).empty()) transport_->Say("RELOADED" + files, Now());
      if (!transport_->Playing()) ShowBar();
    }
    if (!quit_) Carry(transport_->Tick(Now()));
    std::this_thread::sleep_until(frameStart + kFrame);
  }
  return session_.Running() ? 0 : 1;
}

}  // namespace

int RunStudio(const StudioOptions& options) {
  return Studio(options).Run();
}
