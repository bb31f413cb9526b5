// Fixed-step capture: the demo run through a tool's session (tools/common/demo_session.h:
// the demo's own device, loading and frames) whose tick source advances exactly one frame
// step per frame, so that frame n shows demo time n / fps (to the tick counter's millisecond,
// the rate an exact fraction: tools/common/frame_clock.h). Each frame that is asked for is
// read back from the device and written out: to a video, to numbered PNG files, to single
// stills, and its device calls to a trace.
//
// Frames always follow each other from demo time 0, whatever range is asked for: the
// forest moves and the figure echoes depend on the frames before them, so the frame at a
// given time is the same however it was reached. Frames that are not written are run
// through in full, every device call included, but with draws skipped
// (g_renderSwitches.skipDrawing), which is what makes a still late in the demo quick.
//
// A capture can be one part of a range cut into chunks (tools/capture/chunks.h): it writes
// its part's frames as a video without sound, with a record of the capture in the file's
// metadata (tools/capture/part_record.h) that the join checks.
//
// The stages overlap: a frame is read back while the next one renders (FrameReader), and
// written on a thread of its own (FrameWriter), with at most a few frames in flight.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/capture/chunks.h"
#include "tools/capture/part_record.h"
#include "tools/common/frame_clock.h"

// The demo's frame, its back buffer's size: what a capture renders unless told otherwise.
constexpr int kDemoFrameWidth = 800, kDemoFrameHeight = 600;

struct CaptureOptions {
  FrameRate fps = kToolFrameRate;
  double from = 0;         // first demo time of the range
  double to = -1;          // last demo time of the range; < 0: to the demo's end
  std::vector<double> at;  // single stills at these demo times
  std::string pngDir;      // the stills, and every frame of the range when pngRange
  bool pngRange = true;    // false: --png holds the stills only (no --from or --to given)
  std::string videoPath;   // the range as an MP4 with the sound track
  bool lossless = false;   // the video at constant quantiser 0
  Chunk chunk;             // the part of the range to capture; chunk.n == 0: all of it
  std::string build;       // names the program in a part's record
  std::string tracePath;   // the device calls of every frame written out
  double uptime = 1000;    // system uptime at demo time 0, in seconds
  int scale = 1;           // render at this multiple of the frame size, then filter down
  int width = 0;           // the frame size; 0 x 0: the back buffer's, 800x600
  int height = 0;
  // When not 0: render the back buffer's 800x600 frame and enlarge it this many times pixel
  // for pixel, centred in the frame (tools/capture/upscale.h); it must fit, scale 1.
  int upscale = 0;
  bool renderAll = false;  // draw the frames that are not written too (the same output)
  bool quiet = false;      // no progress on stderr
  // How far each frame asked for goes: measuring runs stop after rendering or reading
  // back, and write nothing.
  enum class Stages { kRender, kReadBack, kAll } stages = Stages::kAll;
  // Reports on stdout how fast the frames asked for went through the stages: from the
  // first one's present to the last one written.
  bool bench = false;
};

// The PNG file name of frame n: frame-000123.png.
std::string FrameFileName(int64_t n);

// The frames of the range asked for, from --from to --to or to the demo's last frame.
FrameSpan RangeFrames(const CaptureOptions& options);
// The frames of the range this capture writes: the range, or its part when chunked.
FrameSpan WrittenFrames(const CaptureOptions& options);
// The record a part's video carries, with the probe's checksum.
PartRecord PartRecordOf(const CaptureOptions& options, uint32_t probe);

// Runs the demo to the last frame asked for (or to its end) and writes the outputs.
// Returns 0; 1 when an output could not be written or the demo could not start (no window
// or device); 3 when the data set was incomplete (the capture still ran, as the demo
// would). Messages go to stderr.
int RunCapture(const CaptureOptions& options);
