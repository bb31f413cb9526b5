// Angle-weighted vertex normals; see normals.h for the contract.
// Accumulates straight into the output array so no scratch memory is needed.
#include "render/normals.h"

#include <cmath>

namespace {

struct Vec3 {
  float x, y, z;
};

Vec3 Sub(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
float Length(const Vec3& a) {
  return std::sqrt(Dot(a, a));
}

Vec3 Load(const float* positions, uint32_t index) {
  const float* p = positions + static_cast<size_t>(index) * 3;
  return {p[0], p[1], p[2]};
}

// Below this, sin(smallest angle) is rounding noise: collinear points would otherwise
// contribute a random normal with weight pi at their middle vertex.
constexpr float kDegenerateSine = 1e-6f;
// A sum this short is cancellation residue, not a direction.
constexpr float kMinSumLength = 1e-6f;

}  // namespace

void ComputeAngleWeightedNormals(const float* positions, size_t vertexCount,
                                 const uint32_t* indices, size_t triangleCount, float* normalsOut) {
  for (size_t i = 0; i < vertexCount * 3; ++i) normalsOut[i] = 0.0f;

  for (size_t t = 0; t < triangleCount; ++t) {
    const uint32_t* tri = indices + t * 3;
    if (tri[0] >= vertexCount || tri[1] >= vertexCount || tri[2] >= vertexCount) continue;
    const Vec3 p[3] = {Load(positions, tri[0]), Load(positions, tri[1]), Load(positions, tri[2])};
    const Vec3 e01 = Sub(p[1], p[0]);
    const Vec3 e02 = Sub(p[2], p[0]);
    const Vec3 n = Cross(e01, e02);
    const float twiceArea = Length(n);
    if (!(twiceArea > kDegenerateSine * Length(e01) * Length(e02))) continue;
    const Vec3 unit = {n.x / twiceArea, n.y / twiceArea, n.z / twiceArea};

    for (int corner = 0; corner < 3; ++corner) {
      const Vec3 a = Sub(p[(corner + 1) % 3], p[corner]);
      const Vec3 b = Sub(p[(corner + 2) % 3], p[corner]);
      // |a x b| is twice the area at every corner; atan2 stays accurate near 0 and pi
      // where acos of a normalised dot product would not.
      const float angle = std::atan2(twiceArea, Dot(a, b));
      float* out = normalsOut + static_cast<size_t>(tri[corner]) * 3;
      out[0] += unit.x * angle;
      out[1] += unit.y * angle;
      out[2] += unit.z * angle;
    }
  }

  for (size_t v = 0; v < vertexCount; ++v) {
    float* out = normalsOut + v * 3;
    const float length = Length({out[0], out[1], out[2]});
    const float scale = length > kMinSumLength ? 1.0f / length : 0.0f;
    for (int i = 0; i < 3; ++i) out[i] *= scale;
  }
}
