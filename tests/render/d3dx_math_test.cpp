#include "render/d3dx_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectMatrix(const D3DXMATRIX& actual, const float (&expected)[4][4],
                  float tolerance = 1e-6f) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(actual.m[r][c], expected[r][c], tolerance) << "row " << r << " column " << c;
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

TEST(D3DXMatrix, TranslationSitsInTheFourthRow) {
  D3DXMATRIX m;
  D3DXMatrixTranslation(&m, 1, 2, 3);
  ExpectMatrix(m, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}});
}

TEST(D3DXMatrix, ScalingSitsOnTheDiagonal) {
  D3DXMATRIX m;
  D3DXMatrixScaling(&m, 2, 3, 4);
  ExpectMatrix(m, {{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {0, 0, 0, 1}});
}

TEST(D3DXMatrix, RotationsHaveTheDocumentedRows) {
  const float a = 0.3f, c = std::cos(a), s = std::sin(a);
  D3DXMATRIX m;
  D3DXMatrixRotationX(&m, a);
  ExpectMatrix(m, {{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}});
  D3DXMatrixRotationY(&m, a);
  ExpectMatrix(m, {{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}});
  D3DXMatrixRotationZ(&m, a);
  ExpectMatrix(m, {{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

TEST(D3DXMatrix, MultiplyAppliesTheLeftMatrixFirst) {
  D3DXMATRIX scale, move, both;
  D3DXMatrixScaling(&scale, 2, 2, 2);
  D3DXMatrixTranslation(&move, 10, 0, 0);
  D3DXMatrixMultiply(&both, &scale, &move);
  const D3DXVECTOR3 p = Transform({1, 1, 1}, both);
  EXPECT_FLOAT_EQ(p.x, 12);
  EXPECT_FLOAT_EQ(p.y, 2);
  D3DXMatrixMultiply(&both, &move, &scale);  // output aliasing nothing, other order
  EXPECT_FLOAT_EQ(Transform({1, 1, 1}, both).x, 22);
  D3DXMatrixMultiply(&scale, &scale, &move);  // output aliasing an input
  EXPECT_FLOAT_EQ(Transform({1, 1, 1}, scale).x, 12);
}

TEST(D3DXMatrix, PerspectiveFovLHHasTheDocumentedEntries) {
  D3DXMATRIX m;
  const float fov = 0.7853982f, aspect = 800.0f / 600.0f, zn = 10, zf = 10000;
  D3DXMatrixPerspectiveFovLH(&m, fov, aspect, zn, zf);
  const float cot = 1.0f / std::tan(fov / 2);
  const float q = zf / (zf - zn);
  ExpectMatrix(m, {{cot / aspect, 0, 0, 0}, {0, cot, 0, 0}, {0, 0, q, 1}, {0, 0, -zn * q, 0}},
               1e-4f);
}

TEST(D3DXMatrix, LookAtLHPutsTheEyeAtTheOriginLookingDownZ) {
  const D3DXVECTOR3 eye{200, 0, 50}, at{0, 0, 0}, up{0, 1, 0};
  D3DXMATRIX m;
  D3DXMatrixLookAtLH(&m, &eye, &at, &up);
  const D3DXVECTOR3 e = Transform(eye, m);
  EXPECT_NEAR(e.x, 0, 1e-4);
  EXPECT_NEAR(e.y, 0, 1e-4);
  EXPECT_NEAR(e.z, 0, 1e-4);
  const D3DXVECTOR3 a = Transform(at, m);
  EXPECT_NEAR(a.x, 0, 1e-4);
  EXPECT_NEAR(a.z, std::sqrt(200.0f * 200 + 50 * 50), 1e-3);
  // The x axis is normalise(up x z): z = (-200, 0, -50)/|.|, so x = (-50, 0, 200)/|.|.
  const float n = std::sqrt(200.0f * 200 + 50 * 50);
  ExpectMatrix(m, {{-50 / n, 0, -200 / n, 0}, {0, 1, 0, 0}, {200 / n, 0, -50 / n, 0}, {0, 0, n, 1}},
               1e-4f);
}

}  // namespace
