// libFuzzer target: the BMP decoder, fed any bytes, under ASan and UBSan.
// Beyond not crashing it must keep its output contract: a decoded image holds exactly
// width * height RGBA pixels inside the size limit it was given, and a refused one is empty.
#include <cstddef>
#include <cstdint>

#include "render/bmp.h"

namespace {
// Small enough that the fuzzer also meets the refusal of an image over the limit.
constexpr int kMaxSide = 1024;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Image image;
  if (DecodeBmp(data, size, image, kMaxSide)) {
    if (image.width <= 0 || image.height <= 0 || image.width > kMaxSide ||
        image.height > kMaxSide ||
        image.rgba.size() != size_t(image.width) * size_t(image.height) * 4)
      __builtin_trap();
  } else if (image.width != 0 || image.height != 0 || !image.rgba.empty()) {
    __builtin_trap();
  }
  return 0;
}
