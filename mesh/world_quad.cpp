// World quads: creation, placement and the additive draw.
#include "mesh/world_quad.h"

#include <cstring>

#include "core/device_globals.h"
#include "mesh/additive_draw.h"
#include "mesh/placement.h"
#include "render/d3dx_texture.h"

void WorldQuad::Create(D3DXVECTOR3 a, D3DXVECTOR3 b, const char* texturePath) {
  corners[0] = {b.x, b.y, b.z, 1, 1};
  corners[1] = {a.x, b.y, b.z, 0, 1};
  corners[2] = {b.x, a.y, b.z, 1, 0};
  corners[3] = {a.x, a.y, a.z, 0, 0};
  D3DXCreateTextureFromFileA(g_device, texturePath, &texture);
  g_device->CreateVertexBuffer(sizeof corners, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED,
                               &vertexBuffer);
  BYTE* bytes = nullptr;
  if (vertexBuffer) vertexBuffer->Lock(0, sizeof corners, &bytes, 0);
  if (bytes) {
    std::memcpy(bytes, corners, sizeof corners);
    vertexBuffer->Unlock();
  }
  D3DXMatrixIdentity(&world);
}

void WorldQuad::Translate(float x, float y, float z) {
  PlaceTranslate(world, x, y, z);
}

void WorldQuad::Rotate(float ax, float ay, float az) {
  PlaceRotate(world, ax, ay, az);
}

void WorldQuad::Draw() {
  // Without its texture the quad has nothing to add to the screen.
  if (vertexBuffer && texture) {
    g_device->SetTransform(D3DTS_WORLD, &world);
    SetAdditiveTextureState(texture);
    g_device->SetVertexShader(kQuadVertexFvf);
    g_device->SetStreamSource(0, vertexBuffer, sizeof(QuadVertex));
    g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  }
  D3DXMatrixIdentity(&world);
}
