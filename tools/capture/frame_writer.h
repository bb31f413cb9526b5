// The capture's outputs on a thread of their own, so that the demo renders the next
// frames while the earlier ones are encoded and written.
//
// Frames handed to Push wait in a queue of at most `capacity` frames (Push waits while it
// is full) and are written in order by the `write` function, on the writer thread. Pixel
// buffers go round: Buffer hands out one that an earlier frame left, so that a long
// capture allocates only as many as are ever in flight. Once a write fails, later frames
// are dropped and Failed() says so.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class FrameWriter {
 public:
  // Writes frame `frame`; false when it could not (the function says why on stderr).
  using WriteFunction = std::function<bool(int64_t frame, const std::vector<uint8_t>& rgba)>;

  FrameWriter(size_t capacity, WriteFunction write);
  ~FrameWriter();
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // A buffer to fill with the next frame.
  std::vector<uint8_t> Buffer();
  void Push(int64_t frame, std::vector<uint8_t> rgba);
  // Waits until every frame pushed is written, then ends the thread; false when a write
  // failed.
  bool Finish();
  bool Failed();

 private:
  void Run();

  struct Frame {
    int64_t index;
    std::vector<uint8_t> rgba;
  };
  const size_t capacity_;
  WriteFunction write_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Frame> queue_;
  std::vector<std::vector<uint8_t>> spare_;
  bool finishing_ = false, failed_ = false;
  std::thread thread_;
};
