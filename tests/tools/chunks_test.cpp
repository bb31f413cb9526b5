// Cutting a range into parts on keyframe intervals, and taking the part from a job engine.
#include "tools/capture/chunks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// For counts of parts that do and do not divide the intervals, and a last interval cut short:
// part 1 starts the range, each part starts where the one before it ended and on a keyframe,
// the last ends the range, and no part is empty.
TEST(ChunkFrames, PartsCoverTheRangeOnceStartingOnKeyframes) {
  for (const FrameSpan range : {FrameSpan{2400, 2641}, FrameSpan{0, 12002}, FrameSpan{7, 67}})
    for (int n = 1; n <= 7; ++n) {
      const int64_t intervals = (range.Count() + 59) / 60;
      if (n > intervals) continue;
      int64_t next = range.begin;
      for (int k = 1; k <= n; ++k) {
        const FrameSpan part = ChunkFrames(range, 60, k, n);
        EXPECT_EQ(part.begin, next) << k << "/" << n;
        EXPECT_EQ((part.begin - range.begin) % 60, 0) << k << "/" << n;
        EXPECT_GT(part.Count(), 0) << k << "/" << n;
        next = part.end;
      }
      EXPECT_EQ(next, range.end) << n << " parts of " << range.begin << "-" << range.end;
    }
}

// 5 intervals in 3 parts: 1, 2 and 2 of them, the short last interval in the last part.
TEST(ChunkFrames, SharesIntervalsAsEvenlyAsWholeOnesAllow) {
  const FrameSpan range{100, 100 + 4 * 60 + 13};
  EXPECT_EQ(ChunkFrames(range, 60, 1, 3).end, 160);
  EXPECT_EQ(ChunkFrames(range, 60, 2, 3).end, 280);
  EXPECT_EQ(ChunkFrames(range, 60, 3, 3).end, 353);
}

TEST(ParseChunk, TakesKOfNAndNothingElse) {
  Chunk chunk;
  ASSERT_TRUE(ParseChunk("3/4", chunk));
  EXPECT_EQ(chunk.k, 3);
  EXPECT_EQ(chunk.n, 4);
  for (const char* bad : {"0/4", "5/4", "4", "/4", "1/", "1/4x", "-1/4", "1/10001", "a/b", ""})
    EXPECT_FALSE(ParseChunk(bad, chunk)) << bad;
}

// The variables a job engine sets, for ChunkFromEnvironment.
struct Environment {
  std::map<std::string, std::string> values;
  const char* operator()(const char* name) const {
    const auto found = values.find(name);
    return found == values.end() ? nullptr : found->second.c_str();
  }
};

TEST(ChunkFromEnvironment, SlurmArraysCountFromTheirFirstTask) {
  for (const auto& [min, id] : {std::pair{"0", "2"}, std::pair{"1", "3"}}) {
    Chunk chunk;
    const Environment slurm{{{"SLURM_ARRAY_TASK_ID", id},
                             {"SLURM_ARRAY_TASK_MIN", min},
                             {"SLURM_ARRAY_TASK_COUNT", "4"}}};
    EXPECT_EQ(ChunkFromEnvironment(slurm, 0, chunk), "");
    EXPECT_EQ(chunk.k, 3) << "task " << id << " of an array from " << min;
    EXPECT_EQ(chunk.n, 4);
    EXPECT_EQ(chunk.source, "SLURM_ARRAY_TASK_ID");
  }
  Chunk chunk;
  const Environment past{{{"SLURM_ARRAY_TASK_ID", "5"},
                          {"SLURM_ARRAY_TASK_MIN", "1"},
                          {"SLURM_ARRAY_TASK_COUNT", "4"}}};
  EXPECT_NE(ChunkFromEnvironment(past, 0, chunk).find("--array=1-N"), std::string::npos);
  EXPECT_EQ(chunk.n, 0);
}

TEST(ChunkFromEnvironment, KubernetesIndexesFromZeroOfTheCountGiven) {
  const Environment job{{{"JOB_COMPLETION_INDEX", "0"}}};
  Chunk chunk;
  EXPECT_NE(ChunkFromEnvironment(job, 0, chunk).find("--chunks N"), std::string::npos);
  EXPECT_EQ(ChunkFromEnvironment(job, 3, chunk), "");
  EXPECT_EQ(chunk.k, 1);
  EXPECT_EQ(chunk.n, 3);
  const Environment past{{{"JOB_COMPLETION_INDEX", "3"}}};
  EXPECT_NE(ChunkFromEnvironment(past, 3, chunk), "");
}

TEST(ChunkFromEnvironment, NoEngineLeavesTheChunkAlone) {
  Chunk chunk{2, 5, "--chunk"};
  EXPECT_EQ(ChunkFromEnvironment(Environment{}, 0, chunk), "");
  EXPECT_EQ(chunk.k, 2);
  EXPECT_EQ(chunk.n, 5);
}

}  // namespace
