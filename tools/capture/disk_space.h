// The room a capture needs, estimated before its first frame, so that a long capture that
// cannot fit is refused at once instead of filling the disk for an hour and then failing.
//
// The estimates are what the demo's frames take on average, a little rounded up: PNG files
// 1.5 bytes a pixel (the whole demo at 1 frame a second averages 1.3, its busiest frame
// 1.9), a trace 48 KB a frame (36 on average), a video its peak bit rate (lossless: 1 byte a
// pixel of the frame, the demo's 40-44 s took 0.55). They guard against a disk that is plainly too
// small, not against one that is nearly full.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/capture/capture.h"

struct PlannedOutput {
  std::string path;  // a file, or a folder of files
  uint64_t bytes;
};

// What `options` will write where, by estimate.
std::vector<PlannedOutput> PlannedOutputs(const CaptureOptions& options);

// "" when each file system holds the outputs planned on it together; otherwise the refusal,
// naming the output, the room it needs and the room free.
std::string CheckFreeSpace(const std::vector<PlannedOutput>& outputs);
