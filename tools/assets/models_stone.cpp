// The cube fractal's cube and the stone room's models.
//
// In the stone room blocks and pillars are turned +1.570775 about x, so model +z points
// down in the world and model +y along world +z. Each side row stacks, at x = -90 or 90:
// a pillar hanging from world height 120 down to 10, two blocks (20 high) at 0 and -20
// down to the brick floor at -30, and two more pillars under the additive floor. At the
// aisle's head a slab on the floor carries a Celtic cross (rip, scale 0.6 at (0, -10, 80))
// whose ring (alsten, scale 0.2, turned a quarter about y, at (0, 20, 80)) circles its
// crossing. The hall (rum, scale 4) is drawn upright at (0, 180, -600) and upside down at
// (0, -280, 400); its bottom edge lies at world -50 in both, and its z span maps onto the
// same world span -900..700 in both, so the two copies close into one vaulted hall
// mirrored below the floor.
#include <cmath>
#include <iterator>
#include <vector>

#include "tools/assets/model_builders.h"

namespace {

// Coordinates for stone drawn with a tiling texture, from a skewed projection that maps
// faces looking along any axis without stretching them into stripes.
void MapStone(Model& model, float tile) {
  model.uvs.clear();
  for (const Vec3& p : model.positions)
    model.uvs.push_back({(p.x + p.z) / tile, (0.5f * (p.z - p.x) - p.y) / tile});
}

// A pillar's ring at one height: `square` 0 is round, 1 square; `flutes` the depth of
// eight vertical grooves.
struct PillarStation {
  float z, radius, square, flutes;
};

float PillarRadius(const PillarStation& station, float angle) {
  const float squareRadius = 1 / std::fmax(std::fabs(std::cos(angle)), std::fabs(std::sin(angle)));
  const float shape = 1 + station.square * (squareRadius - 1);
  return station.radius * shape - station.flutes * (0.5f + 0.5f * std::cos(8 * angle));
}

// Hall cross-section: walls at x = +-75 from the bottom edge up to y = 0, a round vault
// above. Bays of 50 along z from -75 to 325.
constexpr float kHallBottom = -57.5f, kHallHalfWidth = 75, kHallStart = -75;
constexpr int kHallBays = 8;
constexpr float kBay = 50, kPier = 8, kSpring = -30, kNicheDepth = 20, kTile = 25;

// Wall coordinates; `tile` smaller than kTile gives smaller stones, which the niches use
// so that their outline reads against the wall even though nothing is lit.
Vec2 WallUv(Vec3 p, float tile) {
  return {(p.z + std::fabs(p.x) - kHallHalfWidth) / tile, -p.y / tile};
}

// One bay of a side wall (`side` -1 or 1): the wall face around an arched opening, the
// opening's sides and arch running back into a niche, and the niche's back.
void AddWallBay(Model& model, float side, float z0) {
  const float z1 = z0 + kBay, radius = (kBay - 2 * kPier) / 2, zc = z0 + kBay / 2;
  constexpr int kArc = 10;
  // The opening's outline and the wall's outer edge, point by point: bottom, up the left
  // jamb, around the arch, down the right jamb.
  std::vector<Vec2> opening = {{zc - radius, kHallBottom}};
  std::vector<Vec2> outer = {{z0, kHallBottom}, {z0, kSpring}, {z0, 0}};
  for (int i = 0; i <= kArc; ++i) {
    const float a = kPi * (1 - float(i) / kArc);
    opening.push_back({zc + radius * std::cos(a), kSpring + radius * std::sin(a)});
  }
  for (int i = 1; i < kArc - 2; ++i) outer.push_back({z0 + kBay * float(i) / (kArc - 2), 0});
  outer.insert(outer.end(), {{z1, 0}, {z1, kSpring}, {z1, kHallBottom}});
  opening.push_back({zc + radius, kHallBottom});
  const int n = int(opening.size()) - 1;
  auto at = [&](const std::vector<Vec2>& line, float s, float depth) {
    const Vec2 p = line[size_t(std::lround(s * float(n)))];
    return Vec3{side * (kHallHalfWidth + depth), p.v, p.u};
  };
  Model bay;
  AddGrid(
      bay, n, 1, [&](float s, float t) { return t == 0 ? at(outer, s, 0) : at(opening, s, 0); },
      [&](float s, float t) {
        return WallUv(t == 0 ? at(outer, s, 0) : at(opening, s, 0), kTile);
      });
  AddGrid(
      bay, n, 1, [&](float s, float t) { return at(opening, s, t * kNicheDepth); },
      [&](float s, float t) { return WallUv(at(opening, s, t * kNicheDepth), kTile / 2); });
  std::vector<Vec3> back;
  std::vector<Vec2> backUv;
  for (int i = 0; i <= n; ++i) {
    back.push_back(at(opening, float(i) / float(n), kNicheDepth));
    backUv.push_back(WallUv(back.back(), kTile / 2));
  }
  AddFan(bay, back, backUv);
  Append(model, bay);
}

// The vault, with a rib at every bay boundary standing 5 in from the vault's surface.
void AddVault(Model& model) {
  constexpr float kRib = 2.5f, kRibDepth = 5;
  const float end = kHallStart + kHallBays * kBay;
  std::vector<Vec2> stations;  // (z, radius)
  for (int k = 0; k <= kHallBays; ++k) {
    const float b = kHallStart + kBay * float(k);
    if (k > 0)
      stations.insert(stations.end(),
                      {{b - kRib, kHallHalfWidth}, {b - kRib, kHallHalfWidth - kRibDepth}});
    if (k == 0) stations.push_back({b, kHallHalfWidth - kRibDepth});
    if (k < kHallBays)
      stations.insert(stations.end(),
                      {{b + kRib, kHallHalfWidth - kRibDepth}, {b + kRib, kHallHalfWidth}});
    if (k == kHallBays) stations.push_back({end, kHallHalfWidth - kRibDepth});
  }
  const int rows = int(stations.size()) - 1;
  auto point = [&](float s, float t) {
    const Vec2 station = stations[size_t(std::lround(t * float(rows)))];
    const float a = kPi * s;
    return Vec3{station.v * std::cos(a), station.v * std::sin(a), station.u};
  };
  AddGrid(model, 12, rows, point, [&](float s, float t) {
    return Vec2{kPi * kHallHalfWidth * s / kTile, point(s, t).z / kTile};
  });
}

// An end wall at `z`: the whole cross-section, closed.
void AddEndWall(Model& model, float z) {
  std::vector<Vec3> outline = {{kHallHalfWidth, kHallBottom, z}};
  for (int i = 0; i <= 12; ++i) {
    const float a = kPi * float(i) / 12;
    outline.push_back({kHallHalfWidth * std::cos(a), kHallHalfWidth * std::sin(a), z});
  }
  outline.push_back({-kHallHalfWidth, kHallBottom, z});
  std::vector<Vec2> uvs;
  for (const Vec3& p : outline) uvs.push_back({p.x / kTile, -p.y / kTile});
  AddFan(model, outline, uvs);
}

}  // namespace

Model BuildCube() {
  // Edge 100 around the origin; every face has its own four corners, mapped 0..1 with
  // v = 0 along the face's upper edge (seen from outside).
  Model cube;
  const Vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  const Vec3 ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, 1, 0}};
  for (int f = 0; f < 6; ++f) {
    const Vec3 n = normals[f], up = ups[f];
    const Vec3 right = Cross(n, up);  // left-handed: right of the face as seen from outside
    AddGrid(
        cube, 1, 1,
        [=](float s, float t) { return (n + right * (2 * s - 1) + up * (1 - 2 * t)) * 50; },
        [](float s, float t) {
          return Vec2{s, t};
        });
  }
  return cube;
}

Model BuildStoneBlock() {
  // 32 x 32 across, 20 high along model z; pitted so that the normals, and with them the
  // texture coordinates made from them, scatter across every face like grain. Coarse, as
  // the hall draws 24 of them per frame.
  return RoundedBlock({{0, 0, 0}, {16, 16, 10}, 3.5f, 5, 0.8f, 0.3f, 11});
}

Model BuildAltarSlab() {
  // Turned to world (-x, -z, -y) and moved to (0, 0, 100): model z 8..30 is world height
  // -8..-30, standing on the floor; model y +-30 is world z 70..130.
  return RoundedBlock({{0, 0, 19}, {45, 30, 11}, 4, 6, 0.8f, 0.3f, 12});
}

Model BuildPillar() {
  // From model z = 0 (its top, under a square abacus) to z = 110 (its foot on a square
  // plinth), hanging down in the world; a fluted shaft between.
  const PillarStation stations[] = {
      {0, 15, 1, 0},      {4, 15, 1, 0},       {4, 14.5f, 0, 0},    {12, 10.5f, 0, 0},
      {14, 10.5f, 0, 0},  {14, 9.3f, 0, 0.8f}, {55, 9.6f, 0, 0.8f}, {96, 9.3f, 0, 0.8f},
      {96, 10.5f, 0, 0},  {100, 12.5f, 0, 0},  {104, 12, 0, 0},     {104, 13.5f, 1, 0},
      {110, 13.5f, 1, 0},
  };
  constexpr int kRows = int(std::size(stations)) - 1;
  constexpr int kSides = 16;  // the hall draws 36 pillars per frame
  Model model;
  auto point = [&](float s, float t) {
    const PillarStation& station = stations[std::lround(t * kRows)];
    const float angle = 2 * kPi * s;
    const float r = PillarRadius(station, angle);
    return Vec3{r * std::cos(angle), r * std::sin(angle), station.z};
  };
  AddGrid(model, kSides, kRows, point, [&](float s, float t) {
    return Vec2{2 * s, point(s, t).z / 40};
  });
  for (const PillarStation& end : {stations[0], stations[kRows]}) {
    std::vector<Vec3> cap;
    std::vector<Vec2> uvs;
    for (int i = 0; i < kSides; ++i) {
      const float angle = 2 * kPi * float(i) / kSides, r = PillarRadius(end, angle);
      cap.push_back({r * std::cos(angle), r * std::sin(angle), end.z});
      uvs.push_back({cap.back().x / 30, cap.back().y / 30});
    }
    AddFan(model, cap, uvs);
  }
  return model;
}

Model BuildCrossStone() {
  // A Celtic cross on a base, standing on the slab: model y 0..75 is world -10..35 at
  // scale 0.6, low enough for the inner orbit's eye at height 40 to pass over it; its arms
  // cross at model y 50, world 20, where the ring stone sits.
  Model model;
  Append(model, RoundedBlock({{0, 6, 0}, {22, 6, 12}, 2.5f, 5, 0.8f, 0.15f, 21}));
  Append(model, RoundedBlock({{0, 40.5f, 0}, {13, 34.5f, 8}, 3, 5, 1.0f, 0.15f, 22}));
  Append(model, RoundedBlock({{0, 50, 0}, {42, 11, 8}, 3, 5, 1.0f, 0.15f, 23}));
  MapStone(model, 40);
  return model;
}

Model BuildRingStone() {
  // The cross's ring: a torus in the model's y-z plane (facing x, which the quarter turn
  // makes world z, along the aisle), 65 in outer radius and 60 thick: at scale 0.2 it
  // circles the cross's crossing and stands out of both faces of the shaft.
  constexpr float kMajor = 57, kRadialHalf = 8, kAxialHalf = 30;
  Model model;
  AddGrid(
      model, 28, 12,
      [](float s, float t) {
        const float around = 2 * kPi * s, section = 2 * kPi * t;
        // A rounded rectangle of a section: |cos|^0.4 squares off the circle.
        const float c = std::cos(section), sn = std::sin(section);
        const float axial = kAxialHalf * std::copysign(std::pow(std::fabs(c), 0.4f), c);
        const float radial = kRadialHalf * std::copysign(std::pow(std::fabs(sn), 0.4f), sn);
        const float r = kMajor + radial;
        const Vec3 p = {axial, r * std::cos(around), r * std::sin(around)};
        return p + Normalize(p) * (2.5f * FractalNoise(p * 0.08f, 3, 31));
      },
      [](float s, float t) {
        return Vec2{6 * s, t};
      });
  return model;
}

Model BuildHall() {
  Model model;
  for (const float side : {-1.0f, 1.0f})
    for (int k = 0; k < kHallBays; ++k) AddWallBay(model, side, kHallStart + kBay * float(k));
  AddVault(model);
  AddEndWall(model, kHallStart);
  AddEndWall(model, kHallStart + kHallBays * kBay);
  return model;
}
