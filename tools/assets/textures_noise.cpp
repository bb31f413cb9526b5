// Gradient and cellular noise on wrapped lattices, plus the small shaping helpers.
// Why a wrapped lattice: a lattice point's hash uses its index modulo the period, so the
// values just past the right (or bottom) edge of a tile are the ones at its left (top) edge.
#include "tools/assets/textures_noise.h"

#include <array>
#include <cmath>
#include <numbers>

namespace textures {
namespace {

// Gradient directions, evenly spread so no direction is favoured.
std::array<std::array<float, 2>, 64> MakeGradients() {
  std::array<std::array<float, 2>, 64> table{};
  for (size_t i = 0; i < table.size(); ++i) {
    const double angle = 2.0 * std::numbers::pi * double(i) / double(table.size());
    table[i] = {float(std::cos(angle)), float(std::sin(angle))};
  }
  return table;
}

const std::array<std::array<float, 2>, 64> kGradients = MakeGradients();

int Wrap(int i, int period) {
  const int m = i % period;
  return m < 0 ? m + period : m;
}

// Quintic fade: continuous slope and curvature across cell borders.
float Fade(float t) {
  return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float Corner(int ix, int iy, float dx, float dy, int periodX, int periodY, uint32_t seed) {
  const uint32_t h = Hash(uint32_t(Wrap(ix, periodX)), uint32_t(Wrap(iy, periodY)), seed);
  const auto& g = kGradients[h & 63u];
  return g[0] * dx + g[1] * dy;
}

}  // namespace

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

float Hash01(uint32_t x, uint32_t y, uint32_t seed) {
  return float(Hash(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float Noise(float u, float v, int periodX, int periodY, uint32_t seed) {
  const float x = u * float(periodX);
  const float y = v * float(periodY);
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int ix = int(fx);
  const int iy = int(fy);
  const float dx = x - fx;
  const float dy = y - fy;
  const float n00 = Corner(ix, iy, dx, dy, periodX, periodY, seed);
  const float n10 = Corner(ix + 1, iy, dx - 1.0f, dy, periodX, periodY, seed);
  const float n01 = Corner(ix, iy + 1, dx, dy - 1.0f, periodX, periodY, seed);
  const float n11 = Corner(ix + 1, iy + 1, dx - 1.0f, dy - 1.0f, periodX, periodY, seed);
  const float sx = Fade(dx);
  const float sy = Fade(dy);
  const float top = n00 + (n10 - n00) * sx;
  const float bottom = n01 + (n11 - n01) * sx;
  // Two-dimensional gradient noise peaks near +-0.7; scale it to about +-1.
  return 1.4f * (top + (bottom - top) * sy);
}

float Fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed, float gain) {
  float sum = 0.0f;
  float norm = 0.0f;
  float amplitude = 1.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += amplitude * Noise(u, v, periodX, periodY, seed + 1013u * uint32_t(octave));
    norm += amplitude;
    amplitude *= gain;
    periodX *= 2;
    periodY *= 2;
  }
  // Independent octaves partly cancel; this keeps the usual range near -1..1.
  return 1.6f * sum / norm;
}

CellSample Cells(float u, float v, int periodX, int periodY, uint32_t seed) {
  const float x = u * float(periodX);
  const float y = v * float(periodY);
  const int cx = int(std::floor(x));
  const int cy = int(std::floor(y));
  CellSample best{1e9f, 1e9f, 0};
  for (int oy = -1; oy <= 1; ++oy) {
    for (int ox = -1; ox <= 1; ++ox) {
      const uint32_t wx = uint32_t(Wrap(cx + ox, periodX));
      const uint32_t wy = uint32_t(Wrap(cy + oy, periodY));
      const float px = float(cx + ox) + Hash01(wx, wy, seed);
      const float py = float(cy + oy) + Hash01(wx, wy, seed ^ 0x5bd1e995u);
      const float d = std::hypot(px - x, py - y);
      if (d < best.f1) {
        best.f2 = best.f1;
        best.f1 = d;
        best.id = Hash(wx, wy, seed ^ 0x27d4eb2fu);
      } else if (d < best.f2) {
        best.f2 = d;
      }
    }
  }
  return best;
}

float Clamp01(float x) {
  return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by, float* along) {
  const float dx = bx - ax;
  const float dy = by - ay;
  const float lengthSquared = dx * dx + dy * dy;
  const float t =
      lengthSquared > 0.0f ? Clamp01(((px - ax) * dx + (py - ay) * dy) / lengthSquared) : 0.0f;
  if (along) *along = t;
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

float Smoothstep(float edge0, float edge1, float x) {
  const float t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

}  // namespace textures
