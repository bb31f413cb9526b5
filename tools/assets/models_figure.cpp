// The figure group and the echoed vellmoth.
//
// The figure's parts are placed around the reference point (20, 80, 50): the hat scaled
// 0.9 and moved to (0, 103, 35), the head scaled 0.7 and moved to (16, 60, -4), the body
// scaled 0.9, turned 1.57075 about y and moved to (-80, 80, 50). They must stack on one
// vertical axis at world (16, y, 48.5): the head's face image covers its model x, y in
// -20..20, which puts the head's centre at world x = 16, so the head sits at model z = 75
// (world z 48.5) and the hat and body are offset in their own coordinates to the same
// axis. World heights: body 2..52, head 46..74, hat brim at 70, tip near 101.
//
// The vellmoth is moved by (-150, 0, z), then scaled by 2.0-2.4, then turned about the
// world's y axis by about a half turn, so its model is centred at x = +150: moved to the
// origin, it turns in place in front of the camera at (0, 0, 500).
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assets/model_builders.h"

namespace {

constexpr Vec3 kFigureAxis = {16, 0, 48.5f};  // world x, z of the stacked parts
constexpr float kHeadModelZ = 75;             // (48.5 - -4) / 0.7

// Model coordinates of a world point for the body's placement: the inverse of scale 0.9,
// RotY(1.57075), then the move to (-80, 80, 50).
Vec3 BodyModelPoint(Vec3 world) {
  return RotateY(world - Vec3{-80, 80, 50}, -1.57075f) * (1 / 0.9f);
}

// Hat model coordinates of a world point: the inverse of scale 0.9 and the move to
// (0, 103, 35).
Vec3 HatModelPoint(Vec3 world) {
  return (world - Vec3{0, 103, 35}) * (1 / 0.9f);
}

// A profile station of a body: world height, radius along x and along z.
struct Station {
  float y, rx, rz;
};

float LerpF(float a, float b, float t) {
  return a + (b - a) * t;
}

// A closed body around the figure's axis through the stations, bottom pole to top pole,
// its surface pushed out by `lump` x noise. Both morph targets come from here with the
// same grid, so they correspond vertex by vertex.
Model BuildBody(const std::vector<Station>& stations, float lump, uint32_t seed) {
  constexpr int kSegments = 20, kRows = 16;
  const float last = float(stations.size() - 1);
  Model model;
  AddGrid(
      model, kSegments, kRows,
      [&](float s, float t) {
        const float at = t * last;
        const auto i = std::min(size_t(at), stations.size() - 2);
        const float f = at - float(i);
        const Station& a = stations[i];
        const Station& b = stations[i + 1];
        const float angle = 2 * kPi * s;
        const Vec3 dir = {std::cos(angle), 0, std::sin(angle)};
        const float y = LerpF(a.y, b.y, f);
        const float rx = LerpF(a.rx, b.rx, f), rz = LerpF(a.rz, b.rz, f);
        // Periodic in the angle, so the seam's two columns get the same push.
        const float bump = lump * FractalNoise({dir.x * 1.6f, y / 9, dir.z * 1.6f}, 3, seed);
        const float grow = rx > 0 ? 1 + bump / rx : 1;
        const Vec3 world = {kFigureAxis.x + dir.x * rx * grow, y,
                            kFigureAxis.z + dir.z * rz * grow};
        return BodyModelPoint(world);
      },
      [&](float s, float t) {
        return Vec2{2 * s, 2.5f * t};
      });
  return model;
}

// An ellipsoid around `center`, its poles on the y axis.
void AddEllipsoid(Model& model, Vec3 center, Vec3 radii, int cols, int rows) {
  AddGrid(
      model, cols, rows,
      [=](float s, float t) {
        const float phi = kPi * t, angle = 2 * kPi * s;
        return center + Vec3{radii.x * std::sin(phi) * std::cos(angle), -radii.y * std::cos(phi),
                             radii.z * std::sin(phi) * std::sin(angle)};
      },
      [](float s, float t) {
        return Vec2{s, 1 - t};
      });
}

}  // namespace

Model BuildHead() {
  // An egg: narrower toward the chin, a little flatter front to back, with a nose
  // pointing at the camera (-z). The face image spans x, y in -20..20.
  Model model;
  AddGrid(
      model, 18, 14,
      [](float s, float t) {
        const float phi = kPi * t, angle = 2 * kPi * s;
        const float y = -20 * std::cos(phi);
        const float chin = y < 0 ? 1 - 0.28f * (y / 20) * (y / 20) : 1;
        const float x = 19 * chin * std::sin(phi) * std::cos(angle);
        float z = 17 * chin * std::sin(phi) * std::sin(angle);
        const float nose = 4 * std::exp(-(x / 4.5f) * (x / 4.5f) - ((y + 2) / 5) * ((y + 2) / 5));
        if (z < 0) z -= nose;
        return Vec3{x, y, kHeadModelZ + z};
      },
      nullptr);
  DropDegenerateTriangles(model);
  return model;
}

Model BuildHat() {
  // A pointed wizard's hat: a wide, wavy brim at world height 70 and a cone whose tip
  // bends back, centred over the head. The image covers model x 0..65, z -15..45 seen
  // from above; the crown stands at model x 17.8, z 15.
  const Vec3 brimCenter = HatModelPoint({kFigureAxis.x, 70, kFigureAxis.z});
  constexpr float kCrownRadius = 15.5f, kBrimRadius = 26, kCrownHeight = 34;
  Model model;
  auto brimEdge = [](float angle) { return kBrimRadius + 1.3f * std::sin(5 * angle); };
  // Brim: an upper and a lower surface, drooping toward the edge, and the edge between.
  for (const float thickness : {0.0f, -1.2f}) {
    AddGrid(
        model, 28, 2,
        [=](float s, float t) {
          const float angle = 2 * kPi * s;
          const float r = LerpF(kCrownRadius - 1, brimEdge(angle), t);
          return brimCenter +
                 Vec3{r * std::cos(angle), thickness - 2.5f * t * t, r * std::sin(angle)};
        },
        nullptr);
  }
  AddGrid(
      model, 28, 1,
      [=](float s, float t) {
        const float angle = 2 * kPi * s, r = brimEdge(angle);
        return brimCenter + Vec3{r * std::cos(angle), -2.5f - 1.2f * t, r * std::sin(angle)};
      },
      nullptr);
  // Crown: a cone with a band just above the brim and a tip bent away from the camera.
  AddGrid(
      model, 20, 10,
      [=](float s, float t) {
        const float angle = 2 * kPi * s;
        const float band = t > 0.04f && t < 0.16f ? 1.06f : 1.0f;
        const float r = kCrownRadius * std::pow(1 - t, 0.85f) * band;
        const Vec3 bend = {-4 * t * t * t, kCrownHeight * t, 10 * t * t * t};
        return brimCenter + bend + Vec3{r * std::cos(angle), 0, r * std::sin(angle)};
      },
      nullptr);
  DropDegenerateTriangles(model);
  return model;
}

Model BuildStoneBody() {
  // A standing stone figure: a broad base, a waist, square shoulders and a short neck
  // that reaches into the head.
  return BuildBody({{2, 0, 0},
                    {3, 15, 11},
                    {14, 15.5f, 11},
                    {26, 12.5f, 9},
                    {37, 18, 11},
                    {43, 13, 9},
                    {47, 6, 5},
                    {52, 0, 0}},
                   1.3f, 500);
}

Model BuildBoulderBody() {
  // The same grid as a lumpy boulder, wider and rounder, its top still under the head.
  return BuildBody({{2, 0, 0},
                    {6, 20, 18},
                    {16, 24, 21},
                    {28, 22, 20},
                    {38, 17, 15},
                    {45, 9, 8},
                    {48, 5, 5},
                    {52, 0, 0}},
                   3.5f, 501);
}

Model BuildVellmoth() {
  // A moth facing -z with its wings spread in x, y: pointed forewings swept up and out,
  // hind wings ending in long tails, a segmented abdomen, feathered antennae; 88 tall,
  // 110 across. The wings bend toward -z (toward the camera once turned) so that the swing
  // shows depth. Their coordinates fan out from the body and mirror across x = 0, so the
  // texture streams along them like veins, the same on both sides.
  Model moth;
  AddEllipsoid(moth, {0, 5, 0}, {5, 9, 5}, 10, 8);            // thorax
  AddEllipsoid(moth, {0, 16, -1}, {4.2f, 4.2f, 4.2f}, 8, 6);  // head
  AddGrid(
      moth, 10, 14,
      [](float s, float t) {
        const float angle = 2 * kPi * s;
        const float r = 5 * std::pow(1 - t, 0.6f) * (1 + 0.14f * std::cos(2 * kPi * 6 * t));
        return Vec3{r * std::cos(angle), -3 - 33 * t, r * std::sin(angle)};
      },
      [](float s, float t) {
        return Vec2{s, t};
      });
  // Right-side outlines (x > 0), each from the body along the leading edge to the tip and
  // back along the trailing edge; the wing is fanned from its root.
  const std::vector<Vec2> forewing = {{4, 13},  {16, 27}, {32, 37}, {55, 44}, {52, 33},
                                      {45, 20}, {36, 9},  {24, 3},  {12, 1},  {4, 3}};
  const std::vector<Vec2> hindwing = {{5, -1},   {20, -2},  {34, -9},  {39, -20},
                                      {32, -30}, {21, -33}, {15, -40}, {12, -44},
                                      {9, -38},  {6, -26},  {3, -12}};
  const Vec2 roots[2] = {{3, 7}, {2, -3}};
  const std::vector<Vec2>* outlines[2] = {&forewing, &hindwing};
  for (int w = 0; w < 2; ++w) {
    const std::vector<Vec2>& outline = *outlines[w];
    const Vec2 root = roots[w];
    const float last = float(outline.size() - 1);
    for (const float side : {1.0f, -1.0f}) {
      AddGrid(
          moth, 3 * int(outline.size() - 1), 4,
          [&](float s, float t) {
            const float at = s * last;
            const auto i = std::min(size_t(at), outline.size() - 2);
            const float f = at - float(i);
            const Vec2 edge = {LerpF(outline[i].u, outline[i + 1].u, f),
                               LerpF(outline[i].v, outline[i + 1].v, f)};
            const float x = LerpF(root.u, edge.u, t), y = LerpF(root.v, edge.v, t);
            return Vec3{side * x, y, -0.25f * x - 3 * std::sin(kPi * t)};
          },
          [](float s, float t) {
            return Vec2{s, 0.8f * t};
          });
    }
  }
  for (const float side : {1.0f, -1.0f}) {
    AddGrid(
        moth, 1, 8,
        [=](float s, float t) {
          const float width = 5 * std::sin(kPi * t) + 0.6f;
          const Vec3 spine = {side * (1.5f + 15 * t * t), 19 + 25 * t, -2 - 4 * t};
          return spine + Vec3{side * (s - 0.5f) * width, 0, 0};
        },
        [](float s, float t) {
          return Vec2{s, t};
        });
  }
  DropDegenerateTriangles(moth);
  TransformPositions(moth, [](Vec3 p) { return p + Vec3{150, 0, 0}; });
  return moth;
}
