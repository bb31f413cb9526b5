#include "mesh/screen_picture.h"

#include <cstring>

#include "core/device_globals.h"
#include "mesh/additive_draw.h"
#include "render/d3dx_texture.h"

namespace {
// The strip's corners: top-left, top-right, bottom-left, bottom-right. A corner on the
// right edge has u = 1, one on the bottom edge v = 1.
constexpr int kOnRight[4] = {0, 1, 0, 1};
constexpr int kOnBottom[4] = {0, 0, 1, 1};
}  // namespace

void ScreenPicture::Create(float left, float top, float right, float bottom, float z,
                           const char* texturePath) {
  blendMode = 0;
  g_device->CreateVertexBuffer(sizeof corners, 0, kScreenVertexFormat, D3DPOOL_DEFAULT,
                               &vertexBuffer);
  D3DXCreateTextureFromFileA(g_device, texturePath, &texture);
  SetCorners(left, top, right, bottom, z);
  for (int i = 0; i < 4; ++i) {
    corners[i].u = float(kOnRight[i]);
    corners[i].v = float(kOnBottom[i]);
  }
  Upload();
}

void ScreenPicture::SetRect(float left, float top, float right, float bottom, float z) {
  SetCorners(left, top, right, bottom, z);
  Upload();
}

void ScreenPicture::SetBlendMode(BYTE mode) {
  blendMode = mode;
}

void ScreenPicture::Draw() {
  g_device->SetRenderState(D3DRS_CULLMODE, 0);
  // Without its image a picture would add its white vertex colour: a missing picture
  // shows nothing instead.
  if (blendMode == 1 && vertexBuffer && texture) {
    SetAdditiveTextureState(texture);
    g_device->SetVertexShader(kScreenVertexFormat);
    g_device->SetStreamSource(0, vertexBuffer, sizeof(ScreenVertex));
    g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  }
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void ScreenPicture::SetCorners(float left, float top, float right, float bottom, float z) {
  for (int i = 0; i < 4; ++i) {
    corners[i].x = kOnRight[i] ? right : left;
    corners[i].y = kOnBottom[i] ? bottom : top;
    corners[i].z = z;
    corners[i].rhw = 1.0f;
  }
}

void ScreenPicture::Upload() {
  BYTE* data = nullptr;
  if (!vertexBuffer || FAILED(vertexBuffer->Lock(0, sizeof corners, &data, 0))) return;
  std::memcpy(data, corners, sizeof corners);
  vertexBuffer->Unlock();
}
