// The capture's writer thread: order, the queue's limit, and what a failed write does.
#include "tools/capture/frame_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace {

TEST(FrameWriter, WritesEveryFrameInOrderWithAtMostCapacityWaiting) {
  std::mutex mutex;
  std::vector<int64_t> written;
  std::atomic<int> pushed{0};
  size_t mostWaiting = 0;
  FrameWriter writer(2, [&](int64_t frame, const std::vector<uint8_t>& rgba) {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(rgba.size(), 4u);
    EXPECT_EQ(rgba[0], uint8_t(frame));
    mostWaiting = std::max(mostWaiting, size_t(pushed.load()) - written.size());
    written.push_back(frame);
    return true;
  });
  for (int64_t frame = 0; frame < 50; ++frame) {
    std::vector<uint8_t> rgba = writer.Buffer();
    rgba.assign(4, uint8_t(frame));
    writer.Push(frame, std::move(rgba));
    ++pushed;
  }
  EXPECT_TRUE(writer.Finish());
  ASSERT_EQ(written.size(), 50u);
  for (int64_t frame = 0; frame < 50; ++frame) EXPECT_EQ(written[size_t(frame)], frame);
  EXPECT_LE(mostWaiting, 2u);
}

TEST(FrameWriter, AfterAFailedWriteLaterFramesAreDroppedAndTheFailureReported) {
  std::vector<int64_t> written;
  FrameWriter writer(3, [&](int64_t frame, const std::vector<uint8_t>&) {
    written.push_back(frame);
    return frame != 2;
  });
  for (int64_t frame = 0; frame < 6; ++frame) writer.Push(frame, std::vector<uint8_t>(4));
  EXPECT_FALSE(writer.Finish());
  EXPECT_TRUE(writer.Failed());
  EXPECT_EQ(written, (std::vector<int64_t>{0, 1, 2}));
}

}  // namespace
