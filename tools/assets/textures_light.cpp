// The additive pictures: the full-screen warp layers Tex2 and Tex3, the fire and the sky.
// Whatever is added to the frame must be light painted on black: black adds nothing, so dark
// areas are left dark on purpose and only the glow carries colour.
#include <cmath>
#include <numbers>

#include "tools/assets/textures_noise.h"
#include "tools/assets/textures_painters.h"

namespace textures {
namespace {

constexpr float kTau = 2.0f * std::numbers::pi_v<float>;

float Square(float x) {
  return x * x;
}

// Adds a soft round light of the given radius (pixels) centred at (x, y), wrapping round the
// canvas borders so the sky stays seamless.
void AddLight(Canvas& canvas, float x, float y, float radius, Rgb colour) {
  const int reach = int(std::ceil(3.0f * radius));
  const int cx = int(std::floor(x));
  const int cy = int(std::floor(y));
  for (int py = cy - reach; py <= cy + reach; ++py) {
    for (int px = cx - reach; px <= cx + reach; ++px) {
      const float d2 = Square(float(px) + 0.5f - x) + Square(float(py) + 0.5f - y);
      const float light = std::exp(-d2 / (2.0f * radius * radius));
      const int wx = ((px % canvas.width) + canvas.width) % canvas.width;
      const int wy = ((py % canvas.height) + canvas.height) % canvas.height;
      canvas.At(wx, wy) += colour * light;
    }
  }
}

// A star: a point of light, the brightest with short cross-shaped glints.
void AddStar(Canvas& canvas, uint32_t index, bool inBand) {
  const uint32_t seed = inBand ? 1102 : 1101;
  float x = Hash01(index, 1, seed) * float(canvas.width);
  float y = Hash01(index, 2, seed) * float(canvas.height);
  if (inBand) {
    // Along the milky way's diagonal (v - u constant), scattered across its width.
    const float along = Hash01(index, 3, seed);
    const float across = (Hash01(index, 4, seed) + Hash01(index, 5, seed) - 1.0f) * 0.12f;
    x = along * float(canvas.width);
    y = (along + across + 0.5f) * float(canvas.height);
  }
  const float brightness = 0.12f + 0.88f * std::pow(Hash01(index, 6, seed), 7.0f);
  const Rgb tint = Mix(Rgb{0.70f, 0.82f, 1.0f}, Rgb{1.0f, 0.86f, 0.66f}, Hash01(index, 7, seed));
  AddLight(canvas, x, y, 0.45f + 0.45f * brightness, tint * (1.6f * brightness));
  if (brightness > 0.6f) {
    for (int arm = 1; arm <= 3; ++arm) {
      const Rgb glint = tint * (0.35f * brightness / float(arm));
      AddLight(canvas, x + float(arm), y, 0.4f, glint);
      AddLight(canvas, x - float(arm), y, 0.4f, glint);
      AddLight(canvas, x, y + float(arm), 0.4f, glint);
      AddLight(canvas, x, y - float(arm), 0.4f, glint);
    }
  }
}

// Signed distance in v from a line at `centre`, wrapped to -0.5..0.5 so it repeats in v.
float WrappedOffset(float v, float centre) {
  const float d = v - centre;
  return d - std::round(d);
}

// A curtain of aurora: a sharp lower hem along a wavy line and rays fading upward.
float Aurora(float u, float v, float centre, uint32_t seed) {
  const float line =
      centre + 0.07f * std::sin(kTau * (2.0f * u + 0.2f)) + 0.05f * Fbm(u, 0.5f, 4, 1, 3, seed);
  const float d = WrappedOffset(v, line);
  const float hem = d > 0.0f ? std::exp(-Square(d / 0.02f)) : std::exp(-Square(d / 0.13f));
  const float rays = Clamp01(0.6f + 0.8f * Fbm(u, v, 24, 1, 3, seed + 7));
  return hem * rays;
}

}  // namespace

// Warm clouds: domain-warped noise through black, violet, rose and amber, the warp field
// tinting the darker folds violet.
Canvas PaintTex2(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float qx = Fbm(u, v, 3, 3, 5, 801);
    const float qy = Fbm(u, v, 3, 3, 5, 802);
    const float r = Fbm(u + 0.25f * qx, v + 0.25f * qy, 4, 4, 5, 803);
    const float t = Clamp01(0.42f + 0.6f * r);
    const Rgb clouds = Ramp(t, {{0.10f, {0.0f, 0.0f, 0.0f}},
                                {0.35f, {0.16f, 0.04f, 0.26f}},
                                {0.55f, {0.46f, 0.10f, 0.30f}},
                                {0.75f, {0.92f, 0.48f, 0.12f}},
                                {0.95f, {1.0f, 0.86f, 0.55f}}});
    const float violet = Smoothstep(0.0f, 0.6f, qx) * Smoothstep(0.15f, 0.45f, t);
    return clouds + Rgb{0.12f, 0.02f, 0.22f} * violet;
  });
}

// Plasma rings: the contour lines of a warped sum of whole-period sines, coloured along a
// fire-and-aurora palette; the gaps between rings stay dark so the swirl reads.
Canvas PaintTex3(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float w = 0.35f * Fbm(u, v, 3, 3, 4, 901);
    const float p = std::sin(kTau * (2.0f * u + w)) + std::sin(kTau * (3.0f * v - w)) +
                    std::sin(kTau * (2.0f * u + 2.0f * v) + 3.0f * w) +
                    std::sin(kTau * (u - 2.0f * v) - 2.0f * w);
    const float rings = std::pow(0.5f + 0.5f * std::cos(kTau * 1.3f * p), 2.0f);
    const float hue = 0.5f + 0.125f * p + 0.15f * Fbm(u, v, 2, 2, 3, 902);
    const Rgb colour = Ramp(hue, {{0.05f, {0.45f, 0.05f, 0.55f}},
                                  {0.25f, {0.95f, 0.15f, 0.25f}},
                                  {0.45f, {1.0f, 0.55f, 0.08f}},
                                  {0.60f, {1.0f, 0.90f, 0.35f}},
                                  {0.78f, {0.15f, 0.95f, 0.55f}},
                                  {0.95f, {0.15f, 0.45f, 1.0f}}});
    const float glow = 0.25f + 0.75f * rings;
    return colour * (glow * (0.35f + 0.65f * Smoothstep(-0.6f, 0.5f, Fbm(u, v, 2, 2, 3, 903))));
  });
}

// A camp-fire flame rising from the bottom edge (v = 1) to its tips at the top: a white-yellow
// core, an orange body that narrows as it rises and breaks into red licks along upward ridges
// of stretched noise, fading through red to black along all four edges.
Canvas PaintEld(int width, int height) {
  return Paint(width, height, [](float u, float v) {
    const float rise = 1.0f - v;
    const float sway = 0.10f * rise * Fbm(u, v, 2, 2, 3, 1001);
    const float x = std::fabs(u - 0.5f + sway);
    const float spread = 0.03f + 0.30f * std::pow(Clamp01(1.0f - rise), 0.35f);
    const float tongues = 1.0f - std::fabs(Fbm(u, v, 5, 1, 3, 1002));
    const float flicker = 0.15f * Fbm(u, v, 8, 4, 3, 1003);
    const float heat =
        1.0f - x / spread - 0.9f * std::pow(rise, 1.5f) + 0.9f * rise * (tongues - 0.65f) + flicker;
    const float edges = Smoothstep(0.0f, 0.12f, u) * Smoothstep(0.0f, 0.12f, 1.0f - u) *
                        Smoothstep(0.0f, 0.10f, v) * Smoothstep(0.0f, 0.08f, 1.0f - v);
    return Ramp(Clamp01(heat) * edges, {{0.0f, {0.0f, 0.0f, 0.0f}},
                                        {0.18f, {0.45f, 0.03f, 0.0f}},
                                        {0.45f, {1.0f, 0.36f, 0.03f}},
                                        {0.70f, {1.0f, 0.76f, 0.22f}},
                                        {1.0f, {1.0f, 0.98f, 0.80f}}});
  });
}

// The night sky's light, seamless both ways so the dome may map it as it likes: a faint navy
// glow, a milky way along the diagonal with a dark dust lane, green-violet aurora curtains
// and stars, the brightest with glints.
Canvas PaintHimmel(int width, int height) {
  Canvas sky = Paint(width, height, [](float u, float v) {
    const Rgb glow = Rgb{0.010f, 0.016f, 0.045f} * (1.0f + 0.7f * Fbm(u, v, 4, 2, 4, 1201));
    const float across = WrappedOffset(v - u, 0.5f);
    const float band = std::exp(-Square(across / 0.14f));
    const float clumps = Clamp01(0.5f + 0.9f * Fbm(u, v, 8, 4, 5, 1202));
    const float lane = across - 0.02f + 0.04f * Fbm(u, v, 6, 3, 3, 1203);
    const float dust = 1.0f - 0.8f * std::exp(-Square(lane / 0.025f));
    const Rgb milky = Rgb{0.16f, 0.15f, 0.22f} * (band * clumps * dust);
    const float curtain = Aurora(u, v, 0.72f, 1204) + 0.6f * Aurora(u + 0.37f, v, 0.22f, 1205);
    const Rgb aurora = Mix(Rgb{0.05f, 0.36f, 0.18f}, Rgb{0.20f, 0.06f, 0.30f},
                           Smoothstep(0.2f, 0.8f, 0.5f + 0.5f * Noise(u, v, 4, 2, 1206)));
    return glow + milky + aurora * curtain;
  });
  const uint32_t stars = uint32_t(width * height) / 90;
  for (uint32_t i = 0; i < stars; ++i) AddStar(sky, i, false);
  for (uint32_t i = 0; i < stars / 2; ++i) AddStar(sky, i, true);
  return sky;
}

}  // namespace textures
