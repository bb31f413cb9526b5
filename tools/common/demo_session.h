// A tool's run of the demo: the demo's own window, device, loading and frames, the pieces
// that WinMain strings together, driven by a tool (the capture tool, the studio, the page's
// stills, tests and benchmarks) instead of by the demo's message loop.
//
// The session owns both clocks the demo reads: while it lives the tick counter reads the
// uptime at demo time 0 plus the demo time the tool sets, so the same demo time, uptime and
// frames before it always give the same frame. The demo's state after a frame depends on
// the frames before it (its random draws, the forest's hand-overs), so a tool reaches demo
// time T by running the frames before it with drawing skipped (FastForward), at its fixed
// rate from 0, as the capture tool does.
//
// It takes over the tool switches of every layer (render/tool_switches.h,
// platform/tool_switches.h, core/tool_switches.h): the tool sets what it needs on them after
// making the session, and the session puts back exactly what it found when it ends. It also ends
// the demo it started: objects released, device and audio freed, windows gone.
#pragma once

#include <cstdint>
#include <functional>

#include "core/tool_switches.h"
#include "platform/win32.h"
#include "render/tool_switches.h"
#include "tools/common/frame_clock.h"

class IDirect3DDevice8;

class DemoSession {
 public:
  // The uptime clock reads `uptimeSeconds` (to the millisecond) at demo time 0.
  explicit DemoSession(double uptimeSeconds);
  ~DemoSession();
  DemoSession(const DemoSession&) = delete;
  DemoSession& operator=(const DemoSession&) = delete;

  // Makes the demo's window and device and loads the demo, as WinMain does before its loop,
  // with the demo time at 0; false when no device could be made (then no frame runs).
  bool Start();
  // Loads the demo again from scratch on the same window: everything released, a new
  // device, LoadDemo, the demo time back at 0. False when no device could be made.
  bool Restart();

  // The demo time the next frame reads, in the tick counter's milliseconds.
  void SetDemoTime(int64_t milliseconds) { demoMilliseconds_ = milliseconds; }
  int64_t DemoTime() const { return demoMilliseconds_; }

  // Serves the window messages waiting, then runs one frame at the current demo time with
  // `onPresent` called inside its Present (read-back, trace). `onMessage`, when set, sees
  // each message first and keeps those it returns true for; the rest go to the demo's window
  // procedure, as in the demo. False, with no frame run, once WM_QUIT has come (the demo's
  // end, a key, the window closed) or when the demo is not running.
  bool RunFrame(const std::function<void(IDirect3DDevice8&)>& onPresent = {});
  // Serves the window messages waiting, as RunFrame does, without running a frame (a tool
  // whose picture stands still); false once WM_QUIT has come.
  bool ServeMessages();
  // Runs frames first to end - 1 of a run at `fps` from demo time 0 with drawing skipped,
  // and leaves the demo time at frame `end`'s; false when the demo quit on the way.
  bool FastForward(int64_t first, int64_t end, FrameRate fps);

  HWND Window() const { return window_; }
  // Whether the demo is loaded on a device (false after a failed Start or Restart).
  bool Running() const { return running_; }
  // How many devices the session has made: a tool's own GL objects live as long as the
  // device whose context they were made in, and this count says when that device is gone.
  int Devices() const { return devices_; }
  std::function<bool(const MSG&)> onMessage;

 private:
  // Device and LoadDemo on the session's window, the clock at 0.
  bool Load();
  // Releases what the demo loaded, then its device, Direct3D object and audio.
  void End();

  RenderSwitches savedRender_;
  PlatformSwitches savedPlatform_;
  CoreSwitches savedCore_;
  HWND window_ = nullptr;
  bool begun_ = false;    // a load was tried and not yet ended
  bool running_ = false;  // the device exists and the demo is loaded
  bool quit_ = false;
  int64_t uptimeMilliseconds_;
  int64_t demoMilliseconds_ = 0;
  int devices_ = 0;
};
