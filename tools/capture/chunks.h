// A capture split into parts that machines render apart and a join puts back together: the
// range's frames cut into N consecutive parts on whole keyframe intervals, so that every part
// opens with a keyframe and the parts' videos join without re-encoding.
//
// Which part a process renders comes from the command line (--chunk K/N) or, when that is not
// given, from the job engine it runs under: a Slurm job array or a Kubernetes Indexed Job.
// Nothing here schedules anything; the engines do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Frames begin to end - 1.
struct FrameSpan {
  int64_t begin = 0, end = 0;
  int64_t Count() const { return end - begin; }
};

// Part k (1-based) of n of the frames `range`, cut after whole intervals of `interval`
// frames counted from the range's first frame: the intervals are shared out as evenly as
// whole intervals allow, earlier parts taking the smaller shares. The parts 1 to n follow
// each other without a gap or an overlap and cover the range; a part is empty only when
// there are fewer intervals than parts.
FrameSpan ChunkFrames(FrameSpan range, int64_t interval, int k, int n);

struct Chunk {
  int k = 0, n = 0;    // part k of n; n == 0: the whole range in one
  std::string source;  // where k and n came from: "--chunk", "SLURM_ARRAY_TASK_ID", ...
};

// "K/N" with 1 <= K <= N <= 10000; false for anything else.
bool ParseChunk(const std::string& text, Chunk& chunk);

// The part a job engine's variables name, read through `variable` (getenv, or a test's):
// Slurm's SLURM_ARRAY_TASK_ID counted from SLURM_ARRAY_TASK_MIN, of SLURM_ARRAY_TASK_COUNT;
// Kubernetes' JOB_COMPLETION_INDEX (from 0) of `count` parts (the job's completions, which
// it does not tell its pods). Leaves `chunk` as it was when no engine's variables are set;
// returns "" or, when they are set but do not name a part, what is wrong.
std::string ChunkFromEnvironment(const std::function<const char*(const char*)>& variable, int count,
                                 Chunk& chunk);
