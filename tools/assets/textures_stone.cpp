// Stone, wood, needles and bricks: the opaque textures of the forest and the stone room, and
// the room's additive floor tile. All of them tile, because their models repeat them (normal-
// derived coordinates on the stone blocks, the ground's tiled needles, the floor's 144 tiles).
#include <cmath>
#include <numbers>

#include "tools/assets/textures_noise.h"
#include "tools/assets/textures_painters.h"

namespace textures {
namespace {

// A stroke from (x0, y0) to (x1, y1) in pixels, shaded from `base` to `tip` along its length
// and laid over the canvas with soft edges; it wraps round the canvas borders so that strokes
// crossing an edge continue on the opposite side and the texture stays seamless.
void DrawStroke(Canvas& canvas, float x0, float y0, float x1, float y1, float halfWidth, Rgb base,
                Rgb tip) {
  const int left = int(std::floor(std::fmin(x0, x1) - halfWidth - 1.0f));
  const int right = int(std::ceil(std::fmax(x0, x1) + halfWidth + 1.0f));
  const int top = int(std::floor(std::fmin(y0, y1) - halfWidth - 1.0f));
  const int bottom = int(std::ceil(std::fmax(y0, y1) + halfWidth + 1.0f));
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      float along = 0.0f;
      const float d = SegmentDistance(float(x) + 0.5f, float(y) + 0.5f, x0, y0, x1, y1, &along);
      const float cover = Clamp01(halfWidth + 0.5f - d);
      if (cover <= 0.0f) continue;
      const int wx = ((x % canvas.width) + canvas.width) % canvas.width;
      const int wy = ((y % canvas.height) + canvas.height) % canvas.height;
      Rgb& pixel = canvas.At(wx, wy);
      pixel = Mix(pixel, Mix(base, tip, along), cover);
    }
  }
}

// A spruce twig: a brown stem with needles on both sides pointing forward, the later twigs
// brighter so that the pile reads as layers with depth.
void DrawTwig(Canvas& canvas, uint32_t index, float light) {
  const float scale = float(canvas.width) / 128.0f;
  const float x = Hash01(index, 1, 901) * float(canvas.width);
  const float y = Hash01(index, 2, 901) * float(canvas.height);
  const float angle = Hash01(index, 3, 901) * 2.0f * std::numbers::pi_v<float>;
  const float length = (22.0f + 26.0f * Hash01(index, 4, 901)) * scale;
  const float dx = std::cos(angle);
  const float dy = std::sin(angle);
  DrawStroke(canvas, x, y, x + dx * length, y + dy * length, 0.7f * scale,
             Rgb{0.16f, 0.10f, 0.06f} * light, Rgb{0.22f, 0.15f, 0.08f} * light);
  const float step = 1.7f * scale;
  for (int n = 0; float(n) * step < length; ++n) {
    const float sx = x + dx * float(n) * step;
    const float sy = y + dy * float(n) * step;
    for (int side = -1; side <= 1; side += 2) {
      const uint32_t key = index * 977u + uint32_t(n) * 2u + uint32_t(side + 1);
      const float spread = (0.75f + 0.35f * Hash01(key, 5, 901)) * float(side);
      const float needleAngle = angle + spread;
      const float needleLength = (6.0f + 4.0f * Hash01(key, 6, 901)) * scale;
      const float shade = light * (0.75f + 0.5f * Hash01(key, 7, 901));
      DrawStroke(canvas, sx, sy, sx + std::cos(needleAngle) * needleLength,
                 sy + std::sin(needleAngle) * needleLength, 0.55f * scale,
                 Rgb{0.04f, 0.14f, 0.06f} * shade, Rgb{0.14f, 0.36f, 0.13f} * shade);
    }
  }
}

// Where (u, v) falls in a running bond of `rows` courses of `perRow` blocks, each course
// shifted by its own amount: the block's key and the distance to its nearest joint in pixels.
struct BondCell {
  uint32_t key;
  float edge;        // distance to the nearest joint, pixels
  float fromTop;     // distance to the joint above, pixels
  float fromBottom;  // distance to the joint below, pixels
};

BondCell Bond(float u, float v, int rows, int perRow, float width, float height, uint32_t seed,
              bool alternate) {
  const float course = v * float(rows);
  const int row = int(std::floor(course));
  const float shift = alternate ? 0.5f * float(row % 2) : Hash01(uint32_t(row), 0, seed);
  const float across = u * float(perRow) + shift;
  const int column = int(std::floor(across)) % perRow;
  const float fu = across - std::floor(across);
  const float fv = course - float(row);
  const float blockWidth = width / float(perRow);
  const float blockHeight = height / float(rows);
  const float side = std::fmin(fu, 1.0f - fu) * blockWidth;
  BondCell cell;
  cell.key = Hash(uint32_t(row), uint32_t(column), seed);
  cell.fromTop = fv * blockHeight;
  cell.fromBottom = (1.0f - fv) * blockHeight;
  cell.edge = std::fmin(side, std::fmin(cell.fromTop, cell.fromBottom));
  return cell;
}

}  // namespace

// Dim cool blue-grey marble: a warped cloudy body with soft light veins along the zero lines of
// two more noise fields (a bright narrow core inside a wider haze), and a fine grain.
Canvas PaintGray(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float wu = u + 0.10f * Fbm(u, v, 3, 3, 4, 101);
    const float wv = v + 0.10f * Fbm(u, v, 3, 3, 4, 102);
    const float body = Clamp01(0.5f + 0.55f * Fbm(wu, wv, 4, 4, 6, 103));
    const float field = std::fabs(Fbm(wu, wv, 2, 2, 5, 104));
    const float vein = 0.28f * std::pow(Clamp01(1.0f - 9.0f * field), 4) +
                       0.25f * std::pow(Clamp01(1.0f - 3.0f * field), 3);
    const float fine = std::pow(Clamp01(1.0f - 6.0f * std::fabs(Fbm(wv, wu, 5, 5, 4, 105))), 4);
    const float hue = 0.5f + 0.5f * Noise(u, v, 2, 2, 106);
    const Rgb deep = Mix(Rgb{0.05f, 0.07f, 0.12f}, Rgb{0.04f, 0.09f, 0.11f}, hue);
    const Rgb mid{0.22f, 0.26f, 0.35f};
    const Rgb light{0.50f, 0.55f, 0.65f};
    Rgb colour =
        Mix(Mix(deep, mid, Smoothstep(0.0f, 0.6f, body)), light, Smoothstep(0.55f, 1.0f, body));
    colour += Rgb{0.62f, 0.72f, 0.88f} * (vein + 0.12f * fine);
    // Kept dim: from 30 to 44 s four additive layers stack up, two of them this one.
    return colour * (0.56f + 0.04f * Noise(u, v, 64, 64, 107));
  });
}

// Weathered grey stone: pitted, cloudy rock crossed by a few wandering cracks that fade in and
// out, grown over with lichen rosettes (yellow-green, pale grey-green, a little rust).
Canvas PaintStenAl(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float wu = u + 0.08f * Fbm(u, v, 4, 4, 3, 207);
    const float wv = v + 0.08f * Fbm(u, v, 4, 4, 3, 208);
    const CellSample cell = Cells(wu, wv, 3, 3, 201);
    const float seen = Smoothstep(-0.1f, 0.3f, Fbm(u, v, 3, 3, 2, 209));
    const float crack = 1.0f - seen * (1.0f - Smoothstep(0.0f, 0.035f, cell.f2 - cell.f1));
    const float surface = 0.5f + 0.5f * Fbm(u, v, 4, 4, 6, 202);
    const float pits = Smoothstep(0.35f, 0.7f, Fbm(u, v, 16, 16, 2, 210));
    Rgb colour = Mix(Rgb{0.30f, 0.30f, 0.30f}, Rgb{0.56f, 0.54f, 0.50f}, surface);
    colour = colour * (1.0f - 0.3f * pits);
    const float growth = Fbm(u, v, 3, 3, 5, 203) + 0.45f * Fbm(u, v, 12, 12, 3, 204);
    const float lichen = Smoothstep(0.15f, 0.3f, growth);
    const float rim = std::exp(-(growth - 0.22f) * (growth - 0.22f) / 0.002f);
    const float rust = Smoothstep(0.45f, 0.6f, Fbm(u, v, 6, 6, 3, 205));
    const Rgb green = Mix(Rgb{0.50f, 0.56f, 0.24f}, Rgb{0.62f, 0.66f, 0.56f},
                          0.5f + 0.5f * Noise(u, v, 24, 24, 206));
    colour = Mix(colour, Mix(green, Rgb{0.72f, 0.42f, 0.14f}, rust), lichen * 0.8f);
    colour += Rgb{0.10f, 0.11f, 0.06f} * rim;
    return colour * (0.3f + 0.7f * crack);
  });
}

// Dark spruce needles: layers of twigs over a bed of shadow.
Canvas PaintGranbarr(int width, int height) {
  Canvas canvas = Paint(width, height, [](float u, float v) {
    return Rgb{0.02f, 0.06f, 0.03f} * (0.8f + 0.4f * Fbm(u, v, 4, 4, 3, 301));
  });
  constexpr uint32_t kTwigs = 34;
  for (uint32_t i = 0; i < kTwigs; ++i) DrawTwig(canvas, i, 0.55f + 0.6f * float(i) / kTwigs);
  return canvas;
}

// Spruce bark: long vertical plates split by dark furrows, with fibres along the trunk.
Canvas PaintGranstam(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float wu = u + 0.03f * Fbm(u, v, 2, 4, 3, 401);
    const CellSample cell = Cells(wu, v, 7, 2, 402);
    const float plate = Smoothstep(0.02f, 0.22f, cell.f2 - cell.f1);
    const float fibre = Fbm(u, v, 32, 2, 3, 403);
    const float tone = 0.8f + 0.4f * float(cell.id >> 8) / 16777216.0f;
    const Rgb bark = Mix(Rgb{0.30f, 0.22f, 0.16f}, Rgb{0.38f, 0.34f, 0.30f},
                         0.5f + 0.5f * Noise(u, v, 3, 6, 404));
    const Rgb top = bark * (tone * (0.85f + 0.3f * fibre) * (0.8f + 0.25f * std::sqrt(plate)));
    return Mix(Rgb{0.06f, 0.045f, 0.035f}, top, plate);
  });
}

// The room's walls: dark stone blocks in a running bond, each with its own tone and a cool or
// warm cast, pitted and chipped at the edges, lit from above, set in pale mortar.
Canvas PaintRum(int width, int height) {
  const float w = float(width);
  const float h = float(height);
  return Paint(width, height, [w, h](float u, float v) {
    const BondCell cell = Bond(u, v, 4, 2, w, h, 501, false);
    const float chipped = cell.edge + 1.4f * Noise(u, v, 16, 16, 502);
    const float mortar = 1.0f - Smoothstep(1.0f, 2.4f, chipped);
    const float tone = 0.7f + 0.6f * Hash01(cell.key, 1, 505);
    const Rgb cast =
        Mix(Rgb{0.19f, 0.19f, 0.21f}, Rgb{0.23f, 0.19f, 0.16f}, Hash01(cell.key, 2, 505));
    const float surface = 0.5f + 0.5f * Fbm(u, v, 8, 8, 5, 503);
    const float pits = Smoothstep(0.4f, 0.75f, Fbm(u, v, 24, 24, 2, 506));
    const float bevel = 1.0f + 0.3f * (1.0f - Smoothstep(1.5f, 5.0f, cell.fromTop)) -
                        0.35f * (1.0f - Smoothstep(1.5f, 5.0f, cell.fromBottom));
    const Rgb stone = cast * (tone * (0.65f + 0.6f * surface) * bevel * (1.0f - 0.35f * pits));
    const Rgb joint = Rgb{0.36f, 0.34f, 0.30f} * (0.8f + 0.3f * Noise(u, v, 32, 32, 504));
    return Mix(stone, joint, mortar);
  });
}

// The additive floor tile: dim warm bricks that glow faintly, a few hotter than the rest,
// with black joints that add nothing to the floor.
Canvas PaintBricks(int width, int height) {
  const float w = float(width);
  const float h = float(height);
  return Paint(width, height, [w, h](float u, float v) {
    const BondCell cell = Bond(u, v, 4, 2, w, h, 601, true);
    const float body = Smoothstep(0.6f, 2.2f * w / 64.0f, cell.edge);
    const float pick = Hash01(cell.key, 3, 603);
    const Rgb warm = pick > 0.85f ? Rgb{0.46f, 0.20f, 0.05f} : Rgb{0.25f, 0.09f, 0.04f};
    const float grain = 0.75f + 0.35f * Fbm(u, v, 8, 8, 4, 602);
    return warm * ((0.65f + 0.5f * pick) * grain * body);
  });
}

}  // namespace textures
