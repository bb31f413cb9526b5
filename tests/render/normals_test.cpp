// Tests for angle-weighted vertex normals: expected values are worked out by hand so
// that plain or area-weighted averaging would give a different answer.
#include "render/normals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Normals(const std::vector<float>& positions,
                           const std::vector<uint32_t>& indices) {
  std::vector<float> normals(positions.size(), 123.0f);  // garbage that must be overwritten
  ComputeAngleWeightedNormals(positions.data(), positions.size() / 3, indices.data(),
                              indices.size() / 3, normals.data());
  return normals;
}

void ExpectNormal(const std::vector<float>& normals, size_t vertex, float x, float y, float z) {
  EXPECT_NEAR(normals[vertex * 3 + 0], x, 1e-5f) << "vertex " << vertex;
  EXPECT_NEAR(normals[vertex * 3 + 1], y, 1e-5f) << "vertex " << vertex;
  EXPECT_NEAR(normals[vertex * 3 + 2], z, 1e-5f) << "vertex " << vertex;
}

const std::vector<float> kSquare = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

TEST(AngleWeightedNormals, FlatSquarePointsAlongZ) {
  const std::vector<float> up = Normals(kSquare, {0, 1, 2, 0, 2, 3});
  for (size_t v = 0; v < 4; ++v) ExpectNormal(up, v, 0, 0, 1);
  // (p1 - p0) x (p2 - p0) decides the side: reversed winding flips every normal.
  const std::vector<float> down = Normals(kSquare, {0, 2, 1, 0, 3, 2});
  for (size_t v = 0; v < 4; ++v) ExpectNormal(down, v, 0, 0, -1);
}

TEST(AngleWeightedNormals, SharedVertexWeightsFacesByTheirAngleThere) {
  // Face A = (0,1,2) lies in z=0 with a 90 degree corner at the origin, normal (0,0,1).
  // Face B = (0,1,3) lies in y=0 with a 45 degree corner at the origin, normal (0,-1,0),
  // and twice A's area.
  // Origin: (pi/2)(0,0,1) + (pi/4)(0,-1,0) -> (0,-1,2)/sqrt(5). A plain average would
  // give (0,-1,1)/sqrt(2), and so would area weighting.
  // Vertex 1: 45 degrees in A, acos(-1/sqrt(5)) in B between (-1,0,0) and (1,0,2).
  const std::vector<float> positions = {0, 0, 0, 1, 0, 0, 0, 1, 0, 2, 0, 2};
  const std::vector<float> normals = Normals(positions, {0, 1, 2, 0, 1, 3});
  const float s = 1.0f / std::sqrt(5.0f);
  ExpectNormal(normals, 0, 0, -s, 2 * s);
  const float pi = std::acos(-1.0f);
  const float angleA = pi / 4;
  const float angleB = std::acos(-s);
  const float length = std::sqrt(angleA * angleA + angleB * angleB);
  ExpectNormal(normals, 1, 0, -angleB / length, angleA / length);
  ExpectNormal(normals, 2, 0, 0, 1);
  ExpectNormal(normals, 3, 0, -1, 0);
}

TEST(AngleWeightedNormals, SplittingAFaceDoesNotChangeTheResult) {
  // The same right-angle corner at the origin, once as one triangle and once split
  // into two 45 degree triangles, next to a 90 degree face in x=0. Area or count
  // weighting would shift the origin's normal; angle weighting does not.
  const std::vector<float> positions = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0};
  const std::vector<float> whole = Normals(positions, {0, 1, 2, 0, 2, 3});
  const std::vector<float> split = Normals(positions, {0, 1, 4, 0, 4, 2, 0, 2, 3});
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(whole[i], split[i], 1e-5f);
  const float s = 1.0f / std::sqrt(2.0f);
  ExpectNormal(whole, 0, s, 0, s);
}

TEST(AngleWeightedNormals, DegenerateFacesContributeNothing) {
  // Square plus three degenerate triangles touching it: exactly collinear (0,1,4), a
  // repeated corner (2,2,3), and collinear points whose float cross product is rounding
  // noise rather than zero (0,5,6). Vertices 4..6 are used by nothing else.
  std::vector<float> positions = kSquare;
  positions.insert(positions.end(), {2, 0, 0, 0.1f, 0.3f, 0.7f, 0.3f, 0.9f, 2.1f});
  const std::vector<float> normals =
      Normals(positions, {0, 1, 2, 0, 2, 3, 0, 1, 4, 4, 1, 4, 2, 2, 3, 0, 5, 6});
  for (size_t v = 0; v < 4; ++v) ExpectNormal(normals, v, 0, 0, 1);
  for (size_t v = 4; v < 7; ++v) ExpectNormal(normals, v, 0, 0, 0);
}

TEST(AngleWeightedNormals, UnusedVertexGetsZero) {
  std::vector<float> positions = kSquare;
  positions.insert(positions.end(), {5, 5, 5});
  const std::vector<float> normals = Normals(positions, {0, 1, 2, 0, 2, 3});
  ExpectNormal(normals, 4, 0, 0, 0);
  ExpectNormal(normals, 0, 0, 0, 1);
}

TEST(AngleWeightedNormals, OppositeFacesCancelToZero) {
  const std::vector<float> normals = Normals(kSquare, {0, 1, 2, 0, 2, 1});
  for (size_t v = 0; v < 3; ++v) ExpectNormal(normals, v, 0, 0, 0);
}

TEST(AngleWeightedNormals, TrianglesWithOutOfRangeIndicesAreSkipped) {
  const std::vector<float> normals = Normals(kSquare, {0, 1, 2, 0, 2, 4, 3, 99, 1});
  ExpectNormal(normals, 0, 0, 0, 1);
  ExpectNormal(normals, 3, 0, 0, 0);
}

TEST(AngleWeightedNormals, ResultsAreUnitLength) {
  // A tilted, irregular fan: whatever the weights, every used vertex must be unit.
  const std::vector<float> positions = {0, 0, 0, 3, 0.5f, 1, 1, 2, -1, -2, 1, 0.5f, 0.5f, -3, 2};
  const std::vector<float> normals = Normals(positions, {0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 1});
  for (size_t v = 0; v < 5; ++v) {
    const float* n = &normals[v * 3];
    EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-5f) << "vertex " << v;
  }
}

TEST(AngleWeightedNormals, NoFacesLeaveEveryNormalZero) {
  const std::vector<float> positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  std::vector<float> normals(9, 7.0f);
  ComputeAngleWeightedNormals(positions.data(), 3, nullptr, 0, normals.data());
  EXPECT_EQ(normals, std::vector<float>(9, 0.0f));
}

}  // namespace
