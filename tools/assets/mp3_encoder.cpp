#include "tools/assets/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdarg>
#include <memory>

namespace {

struct LameCloser {
  void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

// LAME reports to stderr unless told otherwise; an asset generator's output should stay clean.
void Silent(const char*, va_list) {}

bool Configure(lame_global_flags* flags, int sampleRate) {
  lame_set_errorf(flags, Silent);
  lame_set_debugf(flags, Silent);
  lame_set_msgf(flags, Silent);
  lame_set_num_channels(flags, 2);
  lame_set_in_samplerate(flags, sampleRate);
  lame_set_out_samplerate(flags, sampleRate);
  lame_set_mode(flags, JOINT_STEREO);
  lame_set_VBR(flags, vbr_off);
  lame_set_brate(flags, kMp3BitrateKbps);
  lame_set_quality(flags, 2);
  // The Info frame tells decoders how many samples of encoder delay and padding to drop, so
  // that decoded sample n is input sample n. No ID3 tag: nothing but the music and its frame.
  lame_set_bWriteVbrTag(flags, 1);
  lame_set_write_id3tag_automatic(flags, 0);
  return lame_init_params(flags) >= 0;
}

// MPEG-1 exists only at these rates; anything else would make LAME switch to MPEG-2 or
// resample behind the caller's back.
bool IsMpeg1Rate(int sampleRate) {
  return sampleRate == 32000 || sampleRate == 44100 || sampleRate == 48000;
}

}  // namespace

std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleavedStereo, int sampleRate) {
  if (!IsMpeg1Rate(sampleRate) || interleavedStereo.size() % 2 != 0) return {};
  const std::unique_ptr<lame_global_flags, LameCloser> flags(lame_init());
  if (!flags || !Configure(flags.get(), sampleRate)) return {};

  constexpr size_t kChunkFrames = 8192;
  // LAME's documented worst case for one call: 1.25 times the frames, plus 7200 bytes.
  std::vector<unsigned char> buffer(kChunkFrames * 5 / 4 + 7200);
  // LAME takes its input through a non-const pointer; it gets a copy of each chunk.
  std::vector<short> chunk;
  std::vector<uint8_t> mp3;
  const size_t frames = interleavedStereo.size() / 2;
  for (size_t frame = 0; frame < frames; frame += kChunkFrames) {
    const size_t count = std::min(kChunkFrames, frames - frame);
    chunk.assign(interleavedStereo.begin() + ptrdiff_t(2 * frame),
                 interleavedStereo.begin() + ptrdiff_t(2 * (frame + count)));
    const int bytes = lame_encode_buffer_interleaved(flags.get(), chunk.data(), int(count),
                                                     buffer.data(), int(buffer.size()));
    if (bytes < 0) return {};
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
  }
  const int bytes = lame_encode_flush(flags.get(), buffer.data(), int(buffer.size()));
  if (bytes < 0) return {};
  mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
  // LAME leaves the stream's first frame blank for the Info frame, which it can fill in only
  // now that it knows the padding at the end.
  const size_t infoBytes = lame_get_lametag_frame(flags.get(), buffer.data(), buffer.size());
  if (infoBytes == 0 || infoBytes > mp3.size()) return {};
  std::copy_n(buffer.begin(), infoBytes, mp3.begin());
  return mp3;
}
