// The record each part of a chunked capture carries in its video's metadata (the MP4
// comment), which the join reads to check that the parts belong together and in which
// order they go. A part is one line of "key=value" fields separated by ';':
//
//   emberhall-part=2/3;frames=2460-2520;range=2400-2640;fps=60;options=...;build=...;probe=...
//
// frames and range are half-open frame spans of the demo's run at fps; options are the
// capture's options that change what the frames show; build names the program that rendered
// them; probe is the checksum of a fixed frame rendered on the part's machine, which differs
// where its GL draws other pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/capture/chunks.h"

struct PartRecord {
  int k = 0, n = 0;
  FrameSpan frames, range;
  std::string fps, options, build, probe;

  std::string Text() const;
};

// The running program's checksum (CRC-32 of its executable file) in hex: the parts of a
// capture come from the same build when this is the same.
std::string ProgramChecksum();

// The record in `text`; false when it is not one (a video that is not a part).
bool ParsePartRecord(const std::string& text, PartRecord& record);

// Why `parts` (in the order given, each with its file's name) cannot be joined into the
// range they were cut from, naming the part: "" when they can.
std::string CheckParts(const std::vector<PartRecord>& parts, const std::vector<std::string>& names);
