// The device's cost per draw on Mesa llvmpipe: state applied by difference, no
// allocation or compilation after the first use of a combination.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstring>
#include <vector>

#include "bench/bench_device.h"
#include "render/d3dx_math.h"

namespace {

struct MeshVertex {
  float x, y, z, nx, ny, nz;
  D3DCOLOR diffuse;
  float u, v;
};

struct Scene {
  IDirect3DVertexBuffer8* cubeVertices = nullptr;
  IDirect3DIndexBuffer8* cubeIndices = nullptr;
  IDirect3DTexture8* textures[2] = {};
};

Scene& CubeScene() {
  static Scene scene;
  if (scene.cubeVertices) return scene;
  EnsureBenchDevice();
  std::vector<MeshVertex> vertices;
  for (int i = 0; i < 8; ++i)
    vertices.push_back({i & 1 ? 1.f : -1.f, i & 2 ? 1.f : -1.f, i & 4 ? 1.f : -1.f, 0, 0, 0, 0,
                        float(i & 1), float(i >> 1 & 1)});
  const uint16_t indices[36] = {0, 1, 2, 2, 1, 3, 4, 6, 5, 5, 6, 7, 0, 2, 4, 4, 2, 6,
                                1, 5, 3, 3, 5, 7, 0, 4, 1, 1, 4, 5, 2, 3, 6, 6, 3, 7};
  g_device->CreateVertexBuffer(8 * 36, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &scene.cubeVertices);
  g_device->CreateIndexBuffer(72, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                              &scene.cubeIndices);
  BYTE* data;
  scene.cubeVertices->Lock(0, 0, &data, 0);
  std::memcpy(data, vertices.data(), 8 * 36);
  scene.cubeVertices->Unlock();
  scene.cubeIndices->Lock(0, 0, &data, 0);
  std::memcpy(data, indices, 72);
  scene.cubeIndices->Unlock();
  const uint8_t texels[2][16] = {{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9, 9, 9, 255},
                                 {9, 9, 9, 255, 0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255}};
  for (int i = 0; i < 2; ++i)
    scene.textures[i] = new IDirect3DTexture8(g_device, 2, 2, texels[i], "bench");

  D3DXMATRIX view, projection;
  const D3DXVECTOR3 eye{0, 0, -100}, at{0, 0, 0}, up{0, 1, 0};
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 800.0f / 600.0f, 10, 10000);
  g_device->SetTransform(D3DTS_VIEW, &view);
  g_device->SetTransform(D3DTS_PROJECTION, &projection);
  return scene;
}

// One small textured cube per iteration, each with its own world matrix.
void BM_IndexedMeshDrawWithWorldChange(benchmark::State& state) {
  Scene& scene = CubeScene();
  g_device->SetTexture(0, scene.textures[0]);
  g_device->SetVertexShader(0x152);
  g_device->SetStreamSource(0, scene.cubeVertices, 36);
  g_device->SetIndices(scene.cubeIndices, 0);
  float x = 0;
  for (auto _ : state) {
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, 0, 0);
    x = x > 40 ? -40 : x + 0.5f;
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 8, 0, 12);
  }
  glFinish();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IndexedMeshDrawWithWorldChange);

// The same, switching texture and blending every draw.
void BM_IndexedMeshDrawWithTextureAndBlendChange(benchmark::State& state) {
  Scene& scene = CubeScene();
  g_device->SetVertexShader(0x152);
  g_device->SetStreamSource(0, scene.cubeVertices, 36);
  g_device->SetIndices(scene.cubeIndices, 0);
  g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  int i = 0;
  for (auto _ : state) {
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, float(i % 64) - 32, 0, 0);
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTexture(0, scene.textures[i & 1]);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, i & 1);
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 8, 0, 12);
    ++i;
  }
  glFinish();
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IndexedMeshDrawWithTextureAndBlendChange);

// A 21 x 21 full-screen grid: lock, rewrite every vertex, unlock, draw additively, and
// wait for the rasteriser (so this one includes the pixels).
void BM_PretransformedGridLockFillDraw(benchmark::State& state) {
  Scene& scene = CubeScene();
  struct GridVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
  };
  constexpr int kSide = 21;
  IDirect3DVertexBuffer8* vertices = nullptr;
  IDirect3DIndexBuffer8* indices = nullptr;
  g_device->CreateVertexBuffer(kSide * kSide * 28, 0, 0x144, D3DPOOL_DEFAULT, &vertices);
  g_device->CreateIndexBuffer(800 * 6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                              &indices);
  BYTE* data;
  indices->Lock(0, 0, &data, 0);
  uint16_t* index = reinterpret_cast<uint16_t*>(data);
  for (int r = 0; r < kSide - 1; ++r)
    for (int c = 0; c < kSide - 1; ++c) {
      const uint16_t a = uint16_t(r * kSide + c), b = uint16_t(a + kSide);
      for (uint16_t i : {a, uint16_t(a + 1), b, uint16_t(a + 1), uint16_t(b + 1), b}) *index++ = i;
    }
  indices->Unlock();
  g_device->SetTexture(0, scene.textures[1]);
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  float phase = 0;
  for (auto _ : state) {
    vertices->Lock(0, kSide * kSide * 28, &data, 0);
    GridVertex* v = reinterpret_cast<GridVertex*>(data);
    for (int r = 0; r < kSide; ++r)
      for (int c = 0; c < kSide; ++c)
        *v++ = {c * 40.0f, r * 30.0f, 5000.0f, 1.0f, 0, c / 20.0f + phase, r / 20.0f};
    vertices->Unlock();
    phase += 0.01f;
    g_device->SetVertexShader(0x144);
    g_device->SetStreamSource(0, vertices, 28);
    g_device->SetIndices(indices, 0);
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, kSide * kSide, 0, 800);
    glFinish();
  }
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  vertices->Release();
  indices->Release();
}
BENCHMARK(BM_PretransformedGridLockFillDraw);

}  // namespace
