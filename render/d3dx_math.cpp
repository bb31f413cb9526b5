#include "render/d3dx_math.h"

#include <cmath>

namespace {

D3DXVECTOR3 Normalize(D3DXVECTOR3 v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (length == 0.0f) return v;
  return {v.x / length, v.y / length, v.z / length};
}

D3DXVECTOR3 Cross(D3DXVECTOR3 a, D3DXVECTOR3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(D3DXVECTOR3 a, D3DXVECTOR3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
  *out = D3DXMATRIX{};
  for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
  return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
  D3DXMATRIX result;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      result.m[r][c] = a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] + a->m[r][2] * b->m[2][c] +
                       a->m[r][3] * b->m[3][c];
  *out = result;
  return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
  D3DXMatrixIdentity(out);
  out->m[3][0] = x;
  out->m[3][1] = y;
  out->m[3][2] = z;
  return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
  D3DXMatrixIdentity(out);
  out->m[0][0] = sx;
  out->m[1][1] = sy;
  out->m[2][2] = sz;
  return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  D3DXMatrixIdentity(out);
  out->m[1][1] = c;
  out->m[1][2] = s;
  out->m[2][1] = -s;
  out->m[2][2] = c;
  return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  D3DXMatrixIdentity(out);
  out->m[0][0] = c;
  out->m[0][2] = -s;
  out->m[2][0] = s;
  out->m[2][2] = c;
  return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  D3DXMatrixIdentity(out);
  out->m[0][0] = c;
  out->m[0][1] = s;
  out->m[1][0] = -s;
  out->m[1][1] = c;
  return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear,
                                       float zFar) {
  const float yScale = 1.0f / std::tan(fovY / 2.0f);
  *out = D3DXMATRIX{};
  out->m[0][0] = yScale / aspect;
  out->m[1][1] = yScale;
  out->m[2][2] = zFar / (zFar - zNear);
  out->m[2][3] = 1.0f;
  out->m[3][2] = -zNear * zFar / (zFar - zNear);
  return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
  const D3DXVECTOR3 z = Normalize({at->x - eye->x, at->y - eye->y, at->z - eye->z});
  const D3DXVECTOR3 x = Normalize(Cross(*up, z));
  const D3DXVECTOR3 y = Cross(z, x);
  *out = D3DXMATRIX{{{x.x, y.x, z.x, 0.0f},
                     {x.y, y.y, z.y, 0.0f},
                     {x.z, y.z, z.z, 0.0f},
                     {-Dot(x, *eye), -Dot(y, *eye), -Dot(z, *eye), 1.0f}}};
  return out;
}
