// The glade's models. The forest draws each spruce at scale 0.5 on a grid of 170, so a
// spruce is 500-600 tall with needles reaching at most 165 from its axis: neighbours touch
// and the maze reads as walls. The lowest needles hang at world height 46, just above the
// camera that tracks at height 40 and 50 from a row of trunks, so it passes under them. The ground
// is scaled 2 and turned -90 degrees about x (its +z becomes world up), the sky is scaled 2, the
// fire is scaled 1.25 and turned like the ground, the sticks are turned -1.07075 about x.
#include <cmath>
#include <vector>

#include "tools/assets/model_builders.h"

namespace {

constexpr int kSpruceTiers = 8;
constexpr int kSpruceSegments = 14;  // even, so the long and short needle tips alternate

// One tier of needles: a drooping cone from its tip down to a jagged skirt, and an
// underside back up toward the trunk so that the tier looks solid from below.
void AddNeedleTier(Model& model, int tier) {
  const float f = float(tier) / float(kSpruceTiers - 1);
  const float radius = 165.0f - 125.0f * f;
  const float base = 100.0f + 390.0f * std::pow(f, 1.05f);
  const float height = tier == kSpruceTiers - 1 ? 105.0f : 150.0f - 60.0f * f;
  const float twist = 0.9f * float(tier);
  const auto seed = uint32_t(100 + tier);
  // Rows: tip, halfway down, the skirt's edge, the underside.
  const float ringRadius[4] = {0, 0.5f, 1.0f, 0.2f};
  const float ringHeight[4] = {height, 0.52f * height, 0, 0.3f * height};
  const float ringV[4] = {0, 0.55f, 1.0f, 1.35f};
  AddGrid(
      model, kSpruceSegments, 3,
      [=](float s, float t) {
        const int ring = int(std::lround(t * 3));
        const int segment = int(std::lround(s * kSpruceSegments));
        const float angle = 2 * kPi * s + twist;
        const bool longTip = segment % 2 == 0;
        // Noise of a point on the unit circle repeats with the angle: no seam.
        const float wobble = ValueNoise({std::cos(angle) * 2, std::sin(angle) * 2, 0}, seed);
        float r = radius * ringRadius[ring];
        float y = base + ringHeight[ring];
        if (ring == 2) {
          r *= (longTip ? 1.0f : 0.74f) * (0.93f + 0.07f * wobble);
          y += longTip ? -0.05f * height : 0.07f * height;
        }
        return Vec3{r * std::cos(angle), y, r * std::sin(angle)};
      },
      [=](float s, float t) {
        return Vec2{3 * s, ringV[int(std::lround(t * 3))]};
      });
}

// A stick of hexagonal section between two points, with both ends capped.
void AddStick(Model& model, Vec3 from, Vec3 to, float radius) {
  const Vec3 axis = Normalize(to - from);
  const Vec3 side = Normalize(Cross(axis, {0, 1, 0.3f}));
  const Vec3 up = Cross(axis, side);
  const float length = Length(to - from);
  auto ring = [=](float s) {
    const float angle = 2 * kPi * s;
    return side * (radius * std::cos(angle)) + up * (radius * std::sin(angle));
  };
  AddGrid(
      model, 6, 1, [=](float s, float t) { return from + (to - from) * t + ring(s); },
      [=](float s, float t) {
        return Vec2{2 * s, t * length / 20};
      });
  for (const Vec3 end : {from, to}) {
    std::vector<Vec3> cap;
    std::vector<Vec2> uvs;
    for (int i = 0; i < 6; ++i) {
      const float s = float(i) / 6;
      cap.push_back(end + ring(s));
      uvs.push_back({0.5f + 0.2f * std::cos(2 * kPi * s), 0.5f + 0.2f * std::sin(2 * kPi * s)});
    }
    AddFan(model, cap, uvs);
  }
}

}  // namespace

Model BuildSpruceNeedles() {
  Model model;
  for (int tier = 0; tier < kSpruceTiers; ++tier) AddNeedleTier(model, tier);
  DropDegenerateTriangles(model);
  return model;
}

Model BuildSpruceTrunk() {
  // Starts below y = 0 so that it stays rooted where the ground's relief dips.
  const float stationY[5] = {-30, 10, 60, 300, 560};
  const float stationR[5] = {24, 15, 13, 8, 2.5f};
  Model model;
  AddGrid(
      model, 10, 4,
      [&](float s, float t) {
        const int i = int(std::lround(t * 4));
        const float angle = 2 * kPi * s;
        return Vec3{stationR[i] * std::cos(angle), stationY[i], stationR[i] * std::sin(angle)};
      },
      [&](float s, float t) {
        return Vec2{2 * s, stationY[std::lround(t * 4)] / 120};
      });
  return model;
}

Model BuildGround() {
  // Model x, y in -600..600 is world x, -z in -1200..1200: past the maze's outer wall at
  // 935. The relief (model z, world height) stays within a few units so spruce roots,
  // the fire and the sticks at world height 0 meet it.
  Model model;
  AddGrid(
      model, 36, 36,
      [](float s, float t) {
        const float x = -600 + 1200 * s, y = -600 + 1200 * t;
        const float relief = 2.5f * FractalNoise({x / 180, y / 180, 0}, 3, 7) - 0.5f;
        return Vec3{x, y, relief};
      },
      [](float s, float t) {
        return Vec2{12 * s, 12 * t};
      });
  return model;
}

Model BuildSky() {
  // Radius 3000, drawn at scale 2: 6000 from the origin, so from a camera within 1000 of
  // the origin every part lies inside the far plane at 10000. The dome reaches 20 degrees
  // below the horizon to fill the view past the ground's edge. u runs four times around,
  // v from 0 at the zenith to 1 at the horizon.
  constexpr float kRadius = 3000;
  constexpr float kLowest = -20 * kPi / 180;
  Model model;
  AddGrid(
      model, 32, 12,
      [](float s, float t) {
        const float azimuth = 2 * kPi * s;
        const float elevation = kLowest + (kPi / 2 - kLowest) * t;
        const float ring = kRadius * std::cos(elevation);
        return Vec3{ring * std::cos(azimuth), kRadius * std::sin(elevation),
                    ring * std::sin(azimuth)};
      },
      [](float s, float t) {
        const float elevation = kLowest + (kPi / 2 - kLowest) * t;
        return Vec2{4 * s, 1 - elevation / (kPi / 2)};
      });
  DropDegenerateTriangles(model);
  return model;
}

Model BuildFire() {
  // Flames rise along model +z from z = 0 (world up after the turn), 36-60 tall before the
  // scale of 1.25: seven twisted sheets crossed about the axis, each showing the whole
  // flame picture (whose flame fills the middle of its width), u across it and v from 1 at
  // the base to 0 at the tip. Drawn additively, the crossings glow brightest at the core.
  constexpr int kSheets = 7;
  Model model;
  for (int k = 0; k < kSheets; ++k) {
    const auto seed = uint32_t(300 + k);
    const float height = 48 + 12 * ValueNoise({float(k) * 1.7f, 0.5f, 0}, seed);
    const float width = 20 + 3 * ValueNoise({float(k) * 2.3f, 1.5f, 0}, seed);
    const float turn = (k % 2 == 0 ? 1.0f : -1.0f) * 0.8f;
    const float leanX = 6 * ValueNoise({float(k), 3.3f, 0}, seed);
    const float leanY = 6 * ValueNoise({float(k), 7.1f, 0}, seed);
    AddGrid(
        model, 2, 6,
        [=](float s, float t) {
          const float angle = kPi * float(k) / kSheets + turn * t;
          const float across = (2 * s - 1) * width * (1 - 0.55f * t);
          return Vec3{leanX * t * t + across * std::cos(angle),
                      leanY * t * t + across * std::sin(angle), height * t};
        },
        [](float s, float t) {
          return Vec2{s, 1 - t};
        });
  }
  return model;
}

Model BuildFireSticks() {
  // Laid out as the spare sticks should lie in the world, a small pile on the ground
  // around the placement point (-80, 0, -50), then turned back by the placement's own
  // turn so that the demo's Rotate(-1.07075, 0, 0) lays them down again.
  struct Stick {
    Vec3 from, to;
    float radius;
  };
  const Stick sticks[] = {
      {{-25, 2.6f, -6}, {24, 2.6f, -10}, 2.6f}, {{-22, 2.4f, 2}, {26, 2.4f, 6}, 2.4f},
      {{-20, 2.8f, 10}, {22, 2.8f, 13}, 2.8f},  {{-6, 7.6f, -16}, {0, 7.6f, 21}, 2.4f},
      {{8, 7.2f, -14}, {12, 6.6f, 22}, 2.2f},
  };
  Model model;
  for (const Stick& stick : sticks) AddStick(model, stick.from, stick.to, stick.radius);
  TransformPositions(model, [](Vec3 p) { return RotateX(p, 1.07075f); });
  return model;
}
