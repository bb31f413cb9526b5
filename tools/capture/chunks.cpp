#include "tools/capture/chunks.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr int kMaxChunks = 10000;

// The whole of `text` as a number from 0 to kMaxChunks; -1 for anything else.
int SmallNumber(const std::string& text) {
  if (text.empty() || text.size() > 5) return -1;
  int value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    value = value * 10 + (c - '0');
  }
  return value <= kMaxChunks ? value : -1;
}

}  // namespace

FrameSpan ChunkFrames(FrameSpan range, int64_t interval, int k, int n) {
  const int64_t intervals = (range.Count() + interval - 1) / interval;
  auto start = [&](int part) {  // the first frame of part `part`, range.end after the last
    return std::min(range.end, range.begin + intervals * (part - 1) / n * interval);
  };
  return {start(k), start(k + 1)};
}

bool ParseChunk(const std::string& text, Chunk& chunk) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return false;
  const int k = SmallNumber(text.substr(0, slash)), n = SmallNumber(text.substr(slash + 1));
  if (k < 1 || n < k) return false;
  chunk = {k, n, "--chunk"};
  return true;
}

std::string ChunkFromEnvironment(const std::function<const char*(const char*)>& variable, int count,
                                 Chunk& chunk) {
  auto number = [&](const char* name) {
    const char* value = variable(name);
    return value ? SmallNumber(value) : -1;
  };
  if (variable("SLURM_ARRAY_TASK_ID")) {
    const int id = number("SLURM_ARRAY_TASK_ID"), min = number("SLURM_ARRAY_TASK_MIN"),
              tasks = number("SLURM_ARRAY_TASK_COUNT");
    if (id < 0 || min < 0 || tasks < 1 || id < min || id - min >= tasks)
      return "SLURM_ARRAY_TASK_ID, _MIN and _COUNT do not name a part; submit the array as "
             "--array=1-N, or give --chunk K/N";
    chunk = {id - min + 1, tasks, "SLURM_ARRAY_TASK_ID"};
  } else if (variable("JOB_COMPLETION_INDEX")) {
    const int index = number("JOB_COMPLETION_INDEX");
    if (count < 1) return "JOB_COMPLETION_INDEX is set: give --chunks N, the job's completions";
    if (index < 0 || index >= count)
      return "JOB_COMPLETION_INDEX is not an index from 0 to " + std::to_string(count - 1);
    chunk = {index + 1, count, "JOB_COMPLETION_INDEX"};
  }
  return "";
}
