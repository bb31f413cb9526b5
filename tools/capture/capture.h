// Fixed-step capture: the real demo loop (WinMain, the same device and timeline) run with
// a manual tick source that advances exactly one frame step per presented frame, so that
// frame n shows demo time n / fps (to the tick counter's millisecond). Each frame that is
// asked for is read back from the device and written out: to a video, to numbered PNG
// files, to single stills, and its device calls to a trace.
//
// Frames always follow each other from demo time 0, whatever range is asked for: the
// forest moves and the figure echoes depend on the frames before them, so the frame at a
// given time is the same however it was reached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/capture/frame_clock.h"

struct CaptureOptions {
  double fps = 60;
  double from = 0;         // first demo time of the range
  double to = -1;          // last demo time of the range; < 0: to the demo's end
  std::vector<double> at;  // single stills at these demo times
  std::string pngDir;      // every frame of the range as numbered PNG files; also the stills
  std::string videoPath;   // the range as an MP4 with the sound track
  std::string tracePath;   // the device calls of every frame written out
  double uptime = 1000;    // system uptime at demo time 0, in seconds
  int scale = 1;           // render at this multiple of 800x600, then filter down
  bool quiet = false;      // no progress on stderr
};

// The PNG file name of frame n: frame-000123.png.
std::string FrameFileName(int64_t n);

// Runs the demo to the last frame asked for (or to its end) and writes the outputs.
// Returns 0; 1 when an output could not be written; 3 when the data set was incomplete
// (the capture still ran, as the demo would). Messages go to stderr.
int RunCapture(const CaptureOptions& options);
