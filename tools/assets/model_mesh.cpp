#include "tools/assets/model_mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

bool SamePosition(Vec3 a, Vec3 b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

// A lattice point's value in -1..1: a splitmix-style integer hash, so no table and no
// library random numbers are involved.
float LatticeValue(int x, int y, int z, uint32_t seed) {
  uint64_t h = uint64_t(uint32_t(x)) * 0x9E3779B97F4A7C15ull ^
               uint64_t(uint32_t(y)) * 0xC2B2AE3D27D4EB4Full ^
               uint64_t(uint32_t(z)) * 0x165667B19E3779F9ull ^ uint64_t(seed) << 32;
  h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
  h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
  h ^= h >> 31;
  return float(h >> 40) / float(1 << 23) - 1.0f;
}

float Smooth(float t) {
  return t * t * (3.0f - 2.0f * t);
}

float Lerp(float a, float b, float t) {
  return a + (b - a) * t;
}

// Merges vertices with identical positions (and coordinates) so that faces share them, as
// smooth normals need.
void WeldVertices(Model& model) {
  using Key = std::tuple<float, float, float, float, float>;
  std::map<Key, uint32_t> seen;
  std::vector<uint32_t> remap(model.positions.size());
  Model welded;
  for (size_t i = 0; i < model.positions.size(); ++i) {
    const Vec3 p = model.positions[i];
    const Vec2 uv = model.uvs.empty() ? Vec2{} : model.uvs[i];
    const auto [it, added] =
        seen.try_emplace(Key{p.x, p.y, p.z, uv.u, uv.v}, uint32_t(welded.positions.size()));
    if (added) {
      welded.positions.push_back(p);
      if (!model.uvs.empty()) welded.uvs.push_back(uv);
    }
    remap[i] = it->second;
  }
  for (const auto& t : model.triangles)
    welded.triangles.push_back({remap[t[0]], remap[t[1]], remap[t[2]]});
  model = std::move(welded);
}

// One face of the unit cube as a surface: `normal` is the axis it faces, `sAxis` and
// `tAxis` span it so that sAxis x tAxis = normal (outward triangles).
struct CubeFace {
  Vec3 normal, sAxis, tAxis;
};

constexpr CubeFace kCubeFaces[6] = {
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
};

}  // namespace

float Length(Vec3 v) {
  return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Vec3 Normalize(Vec3 v) {
  const float length = Length(v);
  return length > 0 ? v * (1.0f / length) : v;
}

Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void AddGrid(Model& model, int cols, int rows, const SurfaceFn& position, const UvFn& uv) {
  const auto first = uint32_t(model.positions.size());
  for (int j = 0; j <= rows; ++j) {
    for (int i = 0; i <= cols; ++i) {
      const float s = float(i) / float(cols), t = float(j) / float(rows);
      model.positions.push_back(position(s, t));
      if (uv) model.uvs.push_back(uv(s, t));
    }
  }
  const auto stride = uint32_t(cols + 1);
  for (uint32_t j = 0; j < uint32_t(rows); ++j) {
    for (uint32_t i = 0; i < uint32_t(cols); ++i) {
      const uint32_t a = first + j * stride + i, b = a + 1, c = a + stride, d = c + 1;
      model.triangles.push_back({a, b, d});
      model.triangles.push_back({a, d, c});
    }
  }
}

void AddFan(Model& model, const std::vector<Vec3>& outline, const std::vector<Vec2>& uvs) {
  Vec3 center;
  Vec2 centerUv;
  for (size_t i = 0; i < outline.size(); ++i) {
    center = center + outline[i] * (1.0f / float(outline.size()));
    if (!uvs.empty()) {
      centerUv.u += uvs[i].u / float(outline.size());
      centerUv.v += uvs[i].v / float(outline.size());
    }
  }
  const auto first = uint32_t(model.positions.size());
  model.positions.push_back(center);
  model.positions.insert(model.positions.end(), outline.begin(), outline.end());
  if (!uvs.empty()) {
    model.uvs.push_back(centerUv);
    model.uvs.insert(model.uvs.end(), uvs.begin(), uvs.end());
  }
  const auto n = uint32_t(outline.size());
  for (uint32_t i = 0; i < n; ++i)
    model.triangles.push_back({first, first + 1 + i, first + 1 + (i + 1) % n});
}

void Append(Model& into, const Model& part) {
  const auto offset = uint32_t(into.positions.size());
  into.positions.insert(into.positions.end(), part.positions.begin(), part.positions.end());
  into.uvs.insert(into.uvs.end(), part.uvs.begin(), part.uvs.end());
  for (const auto& t : part.triangles)
    into.triangles.push_back({t[0] + offset, t[1] + offset, t[2] + offset});
}

void TransformPositions(Model& model, const std::function<Vec3(Vec3)>& transform) {
  for (Vec3& p : model.positions) p = transform(p);
}

void DropDegenerateTriangles(Model& model) {
  const auto& p = model.positions;
  std::erase_if(model.triangles, [&](const std::array<uint32_t, 3>& t) {
    return SamePosition(p[t[0]], p[t[1]]) || SamePosition(p[t[1]], p[t[2]]) ||
           SamePosition(p[t[2]], p[t[0]]);
  });
}

float ValueNoise(Vec3 p, uint32_t seed) {
  const float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
  const int x = int(fx), y = int(fy), z = int(fz);
  const float tx = Smooth(p.x - fx), ty = Smooth(p.y - fy), tz = Smooth(p.z - fz);
  auto at = [&](int dx, int dy, int dz) { return LatticeValue(x + dx, y + dy, z + dz, seed); };
  const float x00 = Lerp(at(0, 0, 0), at(1, 0, 0), tx), x10 = Lerp(at(0, 1, 0), at(1, 1, 0), tx);
  const float x01 = Lerp(at(0, 0, 1), at(1, 0, 1), tx), x11 = Lerp(at(0, 1, 1), at(1, 1, 1), tx);
  return Lerp(Lerp(x00, x10, ty), Lerp(x01, x11, ty), tz);
}

float FractalNoise(Vec3 p, int octaves, uint32_t seed) {
  float sum = 0, amplitude = 0.5f, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(p, seed + uint32_t(i)) * amplitude;
    total += amplitude;
    p = p * 2.0f;
    amplitude *= 0.5f;
  }
  return sum / total;
}

Model RoundedBlock(const BlockShape& shape) {
  const Vec3 half = shape.half;
  const float radius = shape.radius;
  Model block;
  for (const CubeFace& face : kCubeFaces) {
    AddGrid(
        block, shape.divisions, shape.divisions,
        [&](float s, float t) {
          // The cube point, snapped exactly so that neighbouring faces weld.
          const Vec3 q = face.normal + face.sAxis * (2 * s - 1) + face.tAxis * (2 * t - 1);
          const Vec3 onBox = {q.x * half.x, q.y * half.y, q.z * half.z};
          const Vec3 inner = {std::clamp(onBox.x, radius - half.x, half.x - radius),
                              std::clamp(onBox.y, radius - half.y, half.y - radius),
                              std::clamp(onBox.z, radius - half.z, half.z - radius)};
          const Vec3 out = Normalize(onBox - inner);
          const Vec3 surface = inner + out * radius;
          const float lump = shape.lump * FractalNoise(surface * shape.grain, 3, shape.seed);
          return shape.center + surface + out * lump;
        },
        nullptr);
  }
  WeldVertices(block);
  return block;
}

Vec3 RotateX(Vec3 p, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}

Vec3 RotateY(Vec3 p, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
}
