// The render layer's tool switches: what tests and tools (the capture tool, the studio, the
// benchmarks, the page's stills) change from outside the demo, gathered in one struct. The
// demo's own code never sets any of them: with all of them at their defaults the program
// behaves exactly as it does when played.
//
// Who sets them: tests, tools and benchmarks only, from the thread that runs the demo, and a
// tool that runs the demo does so through its session (tools/common/demo_session.h), which
// restores the whole struct when it ends. Set renderScale, output size and noDisplayWait
// before the device is made; the rest between frames.
#pragma once

#include <functional>
#include <vector>

#include "platform/tool_switches.h"  // the clock every demo time is read from
#include "render/call_recorder.h"
#include "render/d3d8_types.h"

class IDirect3DDevice8;

struct RenderSwitches {
  // Called inside every Present, before the frame is shown, while the back buffer holds it
  // (tests and the capture tool read frames here).
  std::function<void(IDirect3DDevice8&)> presentHook;
  // A tool's own drawing over the window, after the demo's frame has been shown in it and
  // before the swap: the window's framebuffer is bound with a viewport of its whole
  // drawable (width x height pixels). It may change any GL state; the device sets its own
  // again afterwards. No recorder sees it and no frame read back contains it.
  std::function<void(int width, int height)> overlayHook;
  // Called with GL's message whenever a GL call of the render layer fails, at the failing
  // call (tests fail the test that caused it); empty: printed in builds with assertions,
  // ignored otherwise.
  std::function<void(const char* message)> glErrorHook;
  // While on, Clear and the draw calls are checked and recorded as usual but draw nothing:
  // a tool that wants a late frame gets there without rasterising the frames before it. All
  // else (device state, buffer contents, the clock) goes on as when drawing, so the first
  // frame drawn afterwards is exactly what it would have been.
  // In a window their presents show nothing: the window keeps the last frame drawn.
  bool skipDrawing = false;
  // Every device call is recorded here while set; null records nothing.
  CallRecorder* recorder = nullptr;
  // Devices render at this multiple of the frame's size in each direction, filtered down
  // when read (render/render_scale.h); 1 (or less) turns it off.
  int renderScale = 1;
  // Devices render into a frame of this size instead of the back buffer's: the back
  // buffer's picture as large as fits, centred, with black bars beside it or above and
  // below (render/render_scale.h). Either one 0 or less: the back buffer's own size.
  int outputWidth = 0, outputHeight = 0;
  // The full-screen modes the display offers; empty: the real display's list.
  std::function<std::vector<D3DDISPLAYMODE>()> displayModeSource;
  // Presents never wait for the display's refresh (tools that run faster than real time).
  bool noDisplayWait = false;
};

extern RenderSwitches g_renderSwitches;
