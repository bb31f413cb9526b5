#include "tools/capture/frame_writer.h"

FrameWriter::FrameWriter(size_t capacity, WriteFunction write)
    : capacity_(capacity), write_(std::move(write)), thread_([this] { Run(); }) {}

FrameWriter::~FrameWriter() {
  Finish();
}

std::vector<uint8_t> FrameWriter::Buffer() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (spare_.empty()) return {};
  std::vector<uint8_t> buffer = std::move(spare_.back());
  spare_.pop_back();
  return buffer;
}

void FrameWriter::Push(int64_t frame, std::vector<uint8_t> rgba) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return queue_.size() < capacity_; });
  queue_.push_back({frame, std::move(rgba)});
  changed_.notify_all();
}

bool FrameWriter::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finishing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  return !failed_;
}

bool FrameWriter::Failed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return failed_;
}

void FrameWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return !queue_.empty() || finishing_; });
    if (queue_.empty()) return;
    // The frame stays queued while it is written, so that the queue's limit counts it.
    Frame& frame = queue_.front();
    const bool failed = failed_;
    lock.unlock();
    const bool written = failed || write_(frame.index, frame.rgba);
    lock.lock();
    failed_ = failed_ || !written;
    spare_.push_back(std::move(frame.rgba));
    queue_.pop_front();
    changed_.notify_all();
  }
}
