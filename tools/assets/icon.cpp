#include "tools/assets/icon.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/assets/textures_noise.h"
#include "tools/assets/textures_painters.h"
#include "tools/common/png_writer.h"

using textures::Canvas;
using textures::Rgb;

Canvas PaintIcon(int size) {
  // A warm glow rising from below the flame's foot into a near-black ground, then the flame
  // added on top, as the demo adds it to the frame.
  Canvas icon = textures::Paint(size, size, [](float u, float v) {
    const float distance = std::hypot(u - 0.5f, (v - 0.78f) * 1.3f);
    const float glow = std::exp(-distance * distance / 0.09f);
    return textures::Mix(Rgb{0.03f, 0.02f, 0.03f}, Rgb{0.42f, 0.08f, 0.02f}, glow);
  });
  const Canvas flame = textures::PaintEld(size, size);
  for (size_t i = 0; i < icon.pixels.size(); ++i) icon.pixels[i] += flame.pixels[i];
  return icon;
}

bool WriteIcon(const std::string& path, int size) {
  const Canvas icon = PaintIcon(size);
  std::vector<uint8_t> rgba;
  rgba.reserve(icon.pixels.size() * 4);
  for (const Rgb& pixel : icon.pixels) {
    for (float channel : {pixel.r, pixel.g, pixel.b})
      rgba.push_back(uint8_t(std::lround(255.0f * textures::Clamp01(channel))));
    rgba.push_back(255);
  }
  if (WritePng(path, size, size, rgba.data())) return true;
  std::fprintf(stderr, "emberhall-assets: cannot write %s\n", path.c_str());
  return false;
}
