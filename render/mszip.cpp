// MSZIP blocks through zlib; see mszip.h for the contract.
#include "render/mszip.h"

#include <zlib.h>

#include <algorithm>

#include "render/byte_reader.h"

namespace {

// Deflate refers back at most this far, so the history a block may use is the last 32 KiB
// of the output so far, whatever the block sizes.
constexpr size_t kWindow = 32768;

// A raw deflate stream (no zlib header or checksum), reset for every block.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Inflates `in` into exactly `outSize` bytes at `out`, with `history` (the bytes just
  // before `out`) as the dictionary: the stream must end having used all of `in`.
  bool Block(const uint8_t* in, size_t inSize, const uint8_t* history, size_t historySize,
             uint8_t* out, size_t outSize) {
    if (!ok_ || inflateReset(&stream_) != Z_OK) return false;
    if (historySize > 0 &&
        inflateSetDictionary(&stream_, history, static_cast<uInt>(historySize)) != Z_OK)
      return false;
    stream_.next_in = const_cast<Bytef*>(in);
    stream_.avail_in = static_cast<uInt>(inSize);
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(outSize);
    return inflate(&stream_, Z_FINISH) == Z_STREAM_END && stream_.avail_out == 0 &&
           stream_.avail_in == 0;
  }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

}  // namespace

bool InflateMszip(const uint8_t* data, size_t size, size_t expectedSize,
                  std::vector<uint8_t>& out) {
  out.clear();
  Inflater inflater;
  ByteReader reader(data, size);
  while (out.size() < expectedSize) {
    uint16_t plainSize = 0, packedSize = 0;
    uint8_t c = 0, k = 0;
    if (!reader.ReadU16(plainSize) || !reader.ReadU16(packedSize) || !reader.ReadU8(c) ||
        !reader.ReadU8(k) || c != 'C' || k != 'K' || packedSize < 2 ||
        plainSize > expectedSize - out.size()) {
      return false;
    }
    const uint8_t* packed = reader.Here();
    if (!reader.Skip(packedSize - 2u)) return false;
    const size_t done = out.size();
    out.resize(done + plainSize);
    const size_t historySize = std::min(done, kWindow);
    if (!inflater.Block(packed, packedSize - 2u, out.data() + done - historySize, historySize,
                        out.data() + done, plainSize)) {
      return false;
    }
  }
  return true;
}
