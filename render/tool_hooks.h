// The few switches that tests and tools (the capture tool, the benchmarks) set from
// outside the demo, gathered in one place. The demo's own code never sets any of them:
// with all of them at their defaults the program behaves exactly as it does when played.
//
// Set them before the device is made (render scale, output size) or between frames (the
// rest), from the thread that runs the demo.
#pragma once

#include <functional>
#include <vector>

#include "platform/tick.h"  // SetTickSource: the clock every demo time is read from
#include "render/call_recorder.h"
#include "render/d3d8_types.h"

class IDirect3DDevice8;

// Called inside every Present, before the frame is shown, while the back buffer holds
// it (tests and the capture tool read frames here); an empty function removes it.
void SetPresentHook(std::function<void(IDirect3DDevice8&)> hook);

// Called with GL's message whenever a GL call of the render layer fails, at the failing
// call (tests fail the test that caused it); an empty function restores the default, which
// prints it in builds with assertions and ignores it otherwise.
void SetGlErrorHook(std::function<void(const char* message)> hook);

// While on, Clear and the draw calls are checked and recorded as usual but draw nothing:
// a tool that wants a late frame gets there without rasterising the frames before it. All
// else (device state, buffer contents, the clock) goes on as when drawing, so the first
// frame drawn afterwards is exactly what it would have been.
void SetSkipDrawing(bool skip);

// Records every device call into `recorder` from now on; null (the default) records nothing.
void SetCallRecorder(CallRecorder* recorder);

// Renders devices created from now on at `scale` times the frame's size in each
// direction, filtered down when read (render/render_scale.h); 1, the default, turns it off.
void SetRenderScale(int scale);

// Renders devices created from now on into a frame of width x height pixels instead of
// the back buffer's size: the back buffer's picture as large as fits, centred, with black
// bars beside it or above and below (render/render_scale.h). 0 x 0, the default, is the
// back buffer's own size. The capture tool's --size sets it.
void SetOutputSize(int width, int height);

// The full-screen modes the display offers. Tests replace the source to offer or
// withhold a mode; an empty function restores the real display's list.
void SetDisplayModeSource(std::function<std::vector<D3DDISPLAYMODE>()> source);
