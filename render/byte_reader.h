// Bounds-checked little-endian reading over a borrowed byte buffer, shared by the binary loaders.
// Promises: a Read, Skip or Seek that does not fit in the buffer returns false and changes neither
// the position nor the output, so a loader can check each field once and bail out on failure.
// Does not: own or copy the buffer (it must outlive the reader) or read big-endian data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Results are [[nodiscard]] because an unchecked read is exactly the bug this class prevents.
  [[nodiscard]] bool ReadU8(uint8_t& value) {
    if (Remaining() < 1) return false;
    value = data_[pos_++];
    return true;
  }

  [[nodiscard]] bool ReadU16(uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }

  [[nodiscard]] bool ReadU32(uint32_t& value) {
    if (Remaining() < 4) return false;
    value = uint32_t{data_[pos_]} | uint32_t{data_[pos_ + 1]} << 8 |
            uint32_t{data_[pos_ + 2]} << 16 | uint32_t{data_[pos_ + 3]} << 24;
    pos_ += 4;
    return true;
  }

  [[nodiscard]] bool ReadI32(int32_t& value) {
    uint32_t bits = 0;
    if (!ReadU32(bits)) return false;
    std::memcpy(&value, &bits, sizeof value);  // as std::bit_cast, which Emscripten 3.1 lacks
    return true;
  }

  [[nodiscard]] bool ReadF32(float& value) {
    uint32_t bits = 0;
    if (!ReadU32(bits)) return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }

  [[nodiscard]] bool ReadF64(double& value) {
    if (Remaining() < 8) return false;
    uint32_t low = 0, high = 0;
    if (!ReadU32(low) || !ReadU32(high)) return false;
    const uint64_t bits = uint64_t{high} << 32 | low;
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }

  [[nodiscard]] bool Skip(size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }

  // Seeking to the very end is allowed: it is a valid position from which every read fails.
  [[nodiscard]] bool Seek(size_t offset) {
    if (offset > size_) return false;
    pos_ = offset;
    return true;
  }

  size_t Offset() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }
  const uint8_t* Here() const { return data_ + pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};
