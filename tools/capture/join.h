// The join: the parts of a chunked capture (tools/capture/chunks.h) put together into one
// video without re-encoding the picture, with the sound track of the whole range encoded
// once, exactly as a capture of the range in one pass encodes it (SoundArguments), so the
// joined file's streams are the one-pass file's where the picture is lossless.
//
// Before anything is written, each part's record (tools/capture/part_record.h) is read with
// ffprobe and the parts are checked to be all of one capture, given in order: a part that
// is missing, repeated, out of order, from other options, another build or a machine whose
// GL draws other pixels is refused, by name.
#pragma once

#include <string>
#include <vector>

// Joins `parts` into `output`, the sound track from the current directory's Data. Returns 0;
// 1 when ffmpeg failed; 2 when the parts were refused; 3 when there was no sound track (the
// video is joined without sound). Messages go to stderr.
int RunJoin(const std::string& output, const std::vector<std::string>& parts);
