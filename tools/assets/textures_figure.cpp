// The cube-fractal panels and the figure's face and hat.
//
// The cube panels are one family: dark brushed metal in a bevelled frame with a glowing inset
// line and glowing runes, one hue and rune density per fractal level, so the levels tell
// apart at a glance. Each face of the cube maps the whole picture, so the frame outlines it.
#include <algorithm>
#include <array>
#include <cmath>

#include "tools/assets/textures_noise.h"
#include "tools/assets/textures_painters.h"

namespace textures {
namespace {

float Square(float x) {
  return x * x;
}

struct CubeLook {
  Rgb hue;
  int cells;  // runes across and down
  uint32_t seed;
};

constexpr std::array<CubeLook, 5> kCubeLooks = {{
    {{1.0f, 0.55f, 0.15f}, 4, 1301},  // root: amber, sixteen runes
    {{0.20f, 0.80f, 1.0f}, 3, 1302},  // cyan, nine
    {{0.70f, 0.32f, 1.0f}, 2, 1303},  // violet, four
    {{0.35f, 1.0f, 0.40f}, 1, 1304},  // green, one rune in a ring
    {{1.0f, 0.25f, 0.20f}, 1, 1305},  // red, one rune in a ring
}};

// Strokes between neighbouring points of a 3 x 3 grid: 12 straight, 8 diagonal.
constexpr std::array<std::array<int, 2>, 20> kRuneStrokes = {{
    {0, 1}, {1, 2}, {3, 4}, {4, 5}, {6, 7}, {7, 8}, {0, 3}, {3, 6}, {1, 4}, {4, 7},
    {2, 5}, {5, 8}, {0, 4}, {4, 8}, {2, 4}, {4, 6}, {1, 3}, {1, 5}, {3, 7}, {5, 7},
}};

// Distance, in cell units, from (x, y) inside a rune cell to the rune drawn there: four or
// five strokes picked by the cell's hash.
float RuneDistance(float x, float y, uint32_t key) {
  const auto point = [](int i) {
    return std::array<float, 2>{0.2f + 0.3f * float(i % 3), 0.2f + 0.3f * float(i / 3)};
  };
  float best = 1e9f;
  const int strokes = 4 + int(Hash(key, 0, 77) % 2u);
  for (int s = 0; s < strokes; ++s) {
    const auto& stroke = kRuneStrokes[Hash(key, uint32_t(s) + 1u, 77) % kRuneStrokes.size()];
    const auto a = point(stroke[0]);
    const auto b = point(stroke[1]);
    best = std::fmin(best, SegmentDistance(x, y, a[0], a[1], b[0], b[1]));
  }
  return best;
}

// The panel's colour at (u, v); `pixel` is one texel's width in u, so fine lines stay about a
// texel wide whatever the size.
Rgb CubePanel(const CubeLook& look, float pixel, float u, float v) {
  const float brushed = Fbm(u, v, 2, 48, 3, look.seed);
  Rgb colour = Rgb{0.07f, 0.075f, 0.09f} * (0.85f + 0.3f * brushed) + look.hue * 0.02f;
  const float edge = std::fmin(std::fmin(u, 1.0f - u), std::fmin(v, 1.0f - v));
  // The bevelled frame: lighter metal, a highlight on its outer rim, a shadow at its inner one.
  const float frame = 1.0f - Smoothstep(0.058f, 0.058f + pixel, edge);
  const Rgb plate = Rgb{0.22f, 0.23f, 0.26f} * (0.9f + 0.2f * brushed);
  const float rim = 1.0f - Smoothstep(0.0f, 2.5f * pixel, edge);
  colour = Mix(colour, plate + Rgb{0.25f, 0.25f, 0.27f} * rim, frame);
  colour = colour * (1.0f - 0.5f * std::exp(-Square((edge - 0.062f) / (1.5f * pixel))));
  // The inset line glows, twice as bright along the corner brackets.
  const bool corner = std::fmin(u, 1.0f - u) < 0.22f && std::fmin(v, 1.0f - v) < 0.22f;
  const float inset = std::exp(-Square((edge - 0.085f) / (1.3f * pixel)));
  colour += look.hue * (inset * (corner ? 1.0f : 0.45f));
  // The runes, each in a faint square of its own.
  const float span = 0.72f / float(look.cells);
  const float gx = (u - 0.14f) / span;
  const float gy = (v - 0.14f) / span;
  if (gx >= 0.0f && gy >= 0.0f && gx < float(look.cells) && gy < float(look.cells)) {
    const float cx = gx - std::floor(gx);
    const float cy = gy - std::floor(gy);
    const uint32_t key = Hash(uint32_t(gx), uint32_t(gy), look.seed);
    float d = RuneDistance(cx, cy, key) * span;
    if (look.cells == 1) {
      d = std::fmin(d, std::fabs(std::hypot(cx - 0.5f, cy - 0.5f) - 0.47f) * span);
    }
    const float box = std::fmin(std::fmin(cx, 1.0f - cx), std::fmin(cy, 1.0f - cy)) * span;
    colour += look.hue * (0.25f * std::exp(-Square((box - 2.0f * pixel) / pixel)));
    const float stroke = std::fmax(1.1f * pixel, 0.025f * span);
    const float core = 1.0f - Smoothstep(stroke, stroke + 1.5f * pixel, d);
    const float halo = 0.55f * std::exp(-Square(d / (3.0f * stroke)));
    colour += look.hue * halo + Mix(look.hue, Rgb{1.0f, 1.0f, 1.0f}, 0.55f) * core;
  }
  return colour;
}

// How far (u, v) lies from an ellipse's centre, 1 on its outline.
float EllipseRadius(float u, float v, float cx, float cy, float rx, float ry) {
  return std::hypot((u - cx) / rx, (v - cy) / ry);
}

// Darkens or tints `colour` inside a soft-edged ellipse.
Rgb Inside(Rgb colour, Rgb tint, float amount, float radius, float softness) {
  return Mix(colour, tint, amount * (1.0f - Smoothstep(1.0f - softness, 1.0f, radius)));
}

// An eye centred across at cx: a dark socket, a glowing amber iris with a slit pupil and a
// heavy brow arched above.
Rgb Eye(Rgb colour, float u, float v, float cx) {
  const float cy = 0.43f;
  colour = Inside(colour, Rgb{0.14f, 0.09f, 0.08f}, 0.85f,
                  EllipseRadius(u, v, cx, cy, 0.13f, 0.085f), 0.6f);
  const float iris = EllipseRadius(u, v, cx, cy, 0.05f, 0.05f);
  colour = Inside(colour, Rgb{1.0f, 0.62f, 0.12f}, 1.0f, iris, 0.35f);
  colour += Rgb{0.6f, 0.25f, 0.02f} * std::exp(-Square(iris / 1.6f)) * 0.4f;
  colour = Inside(colour, Rgb{0.05f, 0.02f, 0.02f}, 1.0f,
                  EllipseRadius(u, v, cx, cy, 0.012f, 0.04f), 0.4f);
  const float brow = std::fabs(v - (cy - 0.10f + 0.5f * Square(u - cx)));
  const float browSpan = 1.0f - Smoothstep(0.10f, 0.14f, std::fabs(u - cx));
  return Mix(colour, Rgb{0.16f, 0.11f, 0.09f}, browSpan * (1.0f - Smoothstep(0.012f, 0.03f, brow)));
}

// A stroke of blue face paint.
Rgb FacePaint(Rgb colour, float u, float v, float ax, float ay, float bx, float by) {
  const float d = SegmentDistance(u, v, ax, ay, bx, by);
  return Mix(colour, Rgb{0.14f, 0.28f, 0.58f}, 0.85f * (1.0f - Smoothstep(0.008f, 0.018f, d)));
}

}  // namespace

Canvas PaintCube(int level, int width, int height) {
  const CubeLook& look = kCubeLooks[size_t(std::clamp(level, 0, 4))];
  const float pixel = 1.0f / float(width);
  return Paint(width, height,
               [&look, pixel](float u, float v) { return CubePanel(look, pixel, u, v); });
}

// A stern mask-like face in weathered ochre stone: glowing amber eyes in deep sockets under
// heavy brows, a nose ridge, a straight mouth, blue paint under the eyes and on the brow.
Canvas PaintHuve(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float mottle = Fbm(u, v, 4, 4, 5, 1401);
    Rgb colour = Rgb{0.62f, 0.49f, 0.38f} * (0.85f + 0.2f * mottle);
    // Darker toward the borders, so the face reads as rounded and the head's sides stay calm.
    colour = colour * (1.0f - 0.35f * Smoothstep(0.8f, 1.25f,
                                                 EllipseRadius(u, v, 0.5f, 0.5f, 0.46f, 0.52f)));
    // Cheeks: a warm blush under a lit cheekbone; the jaw falls into shadow.
    for (float cx : {0.28f, 0.72f}) {
      colour = Inside(colour, Rgb{0.72f, 0.42f, 0.34f}, 0.35f,
                      EllipseRadius(u, v, cx, 0.62f, 0.08f, 0.06f), 0.9f);
      colour = colour * (1.0f + 0.12f * std::exp(-(Square(u - cx) + Square(v - 0.53f)) / 0.004f));
    }
    colour = colour * (1.0f - 0.25f * Smoothstep(0.86f, 1.0f, v));
    colour = Eye(Eye(colour, u, v, 0.32f), u, v, 0.68f);
    // Nose: a lit ridge with shadow along its sides and two nostrils.
    const float ridge = 1.0f - Smoothstep(0.42f, 0.46f, v) * (1.0f - Smoothstep(0.62f, 0.66f, v));
    const float side = std::fabs(u - 0.5f);
    colour += Rgb{0.12f, 0.10f, 0.08f} * ((1.0f - ridge) * std::exp(-Square(side / 0.015f)));
    colour = colour * (1.0f - (1.0f - ridge) * 0.3f * std::exp(-Square((side - 0.045f) / 0.015f)));
    colour = Inside(colour, Rgb{0.12f, 0.07f, 0.06f}, 0.9f,
                    EllipseRadius(side, v, 0.035f, 0.655f, 0.018f, 0.012f), 0.5f);
    // Mouth: dark lips' parting over a red-brown band.
    const float mouthSpan = 1.0f - Smoothstep(0.10f, 0.14f, side);
    const float line = std::fabs(v - 0.77f - 0.6f * Square(side));
    colour =
        Mix(colour, Rgb{0.42f, 0.20f, 0.17f}, mouthSpan * (1.0f - Smoothstep(0.012f, 0.03f, line)));
    colour = Mix(colour, Rgb{0.08f, 0.03f, 0.03f},
                 mouthSpan * (1.0f - Smoothstep(0.003f, 0.008f, line)));
    // Paint: three stripes under each eye and a diamond on the brow.
    for (float dx : {-0.03f, 0.0f, 0.03f}) {
      colour = FacePaint(colour, u, v, 0.32f + dx, 0.54f, 0.30f + dx, 0.62f);
      colour = FacePaint(colour, u, v, 0.68f - dx, 0.54f, 0.70f - dx, 0.62f);
    }
    colour = FacePaint(colour, u, v, 0.5f, 0.14f, 0.54f, 0.2f);
    colour = FacePaint(colour, u, v, 0.54f, 0.2f, 0.5f, 0.26f);
    colour = FacePaint(colour, u, v, 0.5f, 0.26f, 0.46f, 0.2f);
    colour = FacePaint(colour, u, v, 0.46f, 0.2f, 0.5f, 0.14f);
    return colour * (0.95f + 0.08f * Noise(u, v, 48, 48, 1402));
  });
}

// Dark brown felt seen from above, as the hat's planar mapping sees it (u = x / 65, v = (z + 15)
// / 60 in the hat model): fibres and soft mottling, and rings about the model point x = 32.5,
// z = 15: a red band with a gold thread 14.5 to 18.5 units out (where the crown's side stands)
// and a stitched rim 30 units out (the brim's edge).
Canvas PaintHatt(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float fibres = Fbm(u, v, 24, 24, 3, 1501);
    const float mottle = Fbm(u, v, 3, 3, 4, 1502);
    Rgb colour = Rgb{0.23f, 0.15f, 0.10f} * (0.8f + 0.15f * mottle + 0.12f * fibres);
    const float dx = u * 65.0f - 32.5f;
    const float dz = v * 60.0f - 30.0f;
    const float r = std::hypot(dx, dz);
    const float band = Smoothstep(14.2f, 14.8f, r) * (1.0f - Smoothstep(18.2f, 18.8f, r));
    colour = Mix(colour, Rgb{0.50f, 0.08f, 0.06f} * (0.85f + 0.2f * fibres), band);
    colour = Mix(colour, Rgb{0.85f, 0.65f, 0.22f}, std::exp(-Square((r - 16.5f) / 0.35f)));
    const float stitch = Smoothstep(0.5f, 0.9f, std::cos(std::atan2(dz, dx) * 48.0f));
    const float rim = std::exp(-Square((r - 30.0f) / 0.4f)) * stitch;
    return Mix(colour, Rgb{0.55f, 0.45f, 0.32f}, rim) *
           (1.0f - 0.25f * Smoothstep(30.5f, 34.0f, r));
  });
}

}  // namespace textures
