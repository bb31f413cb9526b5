#include "tools/capture/upscale.h"

#include <cstring>

void UpscaleCentred(const uint8_t* rgba, int width, int height, int factor, int frameWidth,
                    int frameHeight, uint8_t* frame) {
  constexpr uint8_t kBlack[4] = {0, 0, 0, 255};
  const size_t frameRow = size_t(frameWidth) * 4;
  const int left = (frameWidth - width * factor) / 2;
  const int top = (frameHeight - height * factor) / 2;
  for (size_t i = 0; i < size_t(frameWidth) * size_t(frameHeight); ++i)
    std::memcpy(frame + i * 4, kBlack, 4);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = frame + size_t(top + y * factor) * frameRow + size_t(left) * 4;
    const uint8_t* source = rgba + size_t(y) * size_t(width) * 4;
    for (int x = 0; x < width; ++x)
      for (int i = 0; i < factor; ++i)
        std::memcpy(row + (size_t(x) * factor + i) * 4, source + x * 4, 4);
    for (int i = 1; i < factor; ++i)
      std::memcpy(row + size_t(i) * frameRow, row, size_t(width) * factor * 4);
  }
}
