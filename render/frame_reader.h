// Reading frames back without waiting for them, for the capture tool.
//
// Queue, called in the present hook, starts copying the frame into a pixel buffer object
// of its own and returns at once; Take hands the oldest queued frame over later, once the
// renderer has gone on to the next frame and the copy has had time to finish. A taken
// frame is what ReadBackBuffer gives: FrameWidth() x FrameHeight() RGBA, top row first,
// filtered down from a supersampled frame. Buffers are made as the queue first grows and
// reused after.
//
// On a GPU the copy runs while the demo goes on. Mesa's llvmpipe rasterises each frame
// when it is flushed and waits for it there (a frame read back or not), so on it Queue
// waits for the frame and the read costs a copy of it: what overlaps there is the writing.
//
// Use it on the thread that owns the device's GL context, and take every queued frame
// before the device goes (frames still queued then are lost; nothing is touched).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class IDirect3DDevice8;

class FrameReader {
 public:
  explicit FrameReader(IDirect3DDevice8& device);
  ~FrameReader();
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;

  // Starts reading the frame being presented.
  void Queue();
  // Frames queued and not yet taken.
  size_t Queued() const { return queued_.size(); }
  // The oldest queued frame into `rgba`, waiting for its copy if needed. Needs Queued() > 0.
  void Take(std::vector<uint8_t>& rgba);

 private:
  std::shared_ptr<bool> contextAlive_;
  int width_, height_, scale_;
  std::deque<unsigned> queued_;  // pixel buffers, oldest first
  std::vector<unsigned> spare_;
};
