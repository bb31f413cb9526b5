#include "tools/capture/yuv420.h"

#include <cstddef>

namespace {

// BT.709 in the limited range, in 1/65536ths: Y from 16 to 235, U and V from 16 to 240.
constexpr int32_t kYR = 11966, kYG = 40255, kYB = 4064;
constexpr int32_t kUR = -6596, kUG = -22189, kUB = 28785;
constexpr int32_t kVR = 28785, kVG = -26145, kVB = -2640;

uint8_t Luma(const uint8_t* p) {
  return uint8_t(16 + ((kYR * p[0] + kYG * p[1] + kYB * p[2] + 32768) >> 16));
}

}  // namespace

void RgbaToYuv420(const uint8_t* rgba, int width, int height, uint8_t* yuv) {
  uint8_t* y = yuv;
  uint8_t* u = yuv + size_t(width) * size_t(height);
  uint8_t* v = u + size_t(width / 2) * size_t(height / 2);
  const size_t row = size_t(width) * 4;
  for (int j = 0; j < height; j += 2) {
    const uint8_t* top = rgba + size_t(j) * row;
    const uint8_t* bottom = top + row;
    uint8_t* yTop = y + size_t(j) * size_t(width);
    uint8_t* yBottom = yTop + width;
    for (int i = 0; i < width; i += 2) {
      const uint8_t* a = top + i * 4;
      const uint8_t* b = bottom + i * 4;
      yTop[i] = Luma(a);
      yTop[i + 1] = Luma(a + 4);
      yBottom[i] = Luma(b);
      yBottom[i + 1] = Luma(b + 4);
      // Sums of four pixels: the shift divides by 4 as well.
      const int32_t r = a[0] + a[4] + b[0] + b[4];
      const int32_t g = a[1] + a[5] + b[1] + b[5];
      const int32_t bl = a[2] + a[6] + b[2] + b[6];
      *u++ = uint8_t(128 + ((kUR * r + kUG * g + kUB * bl + (1 << 17)) >> 18));
      *v++ = uint8_t(128 + ((kVR * r + kVG * g + kVB * bl + (1 << 17)) >> 18));
    }
  }
}
