// Fixed-step capture: the real demo loop (WinMain, the same device and timeline) run with
// a manual tick source that advances exactly one frame step per presented frame, so that
// frame n shows demo time n / fps (to the tick counter's millisecond). Each frame that is
// asked for is read back from the device and written out.
//
// Frames follow each other from demo time 0, whatever range is asked for: the forest
// moves and the figure echoes depend on the frames before them, so the frame at a time is
// the same however it was reached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CaptureOptions {
  double fps = 60;
  double from = 0;          // first demo time written by --png
  double to = -1;           // last demo time written by --png; < 0: to the demo's end
  std::vector<double> at;   // single frames at these demo times
  std::string pngDir;       // where numbered frames go; "" writes none of the range
  double uptime = 1000;     // seconds of system uptime at demo time 0
};

// The frame index that shows demo time t.
int64_t FrameAt(double t, double fps);
// The PNG file name of frame n: frame-000123.png.
std::string FrameFileName(int64_t n);

// Runs the demo to the last frame asked for (or to its end) and writes the frames.
// Returns 0, or 1 with a message on stderr when an output cannot be written.
int RunCapture(const CaptureOptions& options);
