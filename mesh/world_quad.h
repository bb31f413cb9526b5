// A textured rectangle in world space, always drawn additively (ONE/ONE): the stone room
// tiles its floor with one such quad drawn many times per frame.
//
// Promises: like a Mesh, the quad carries a world matrix that placement calls multiply on
// the right (the first call applies first) and that every Draw resets to identity. A quad
// that was never created, or whose texture did not load, draws nothing.
// Does not: set texture filters, culling or anything on stage 1 (the previous draw's stay),
// restore the blend factors, or release its buffer and texture.
#pragma once

#include "render/d3d8.h"
#include "render/d3dx_math.h"

// One corner, FVF 0x102.
struct QuadVertex {
  float x, y, z;
  float u, v;
};
constexpr DWORD kQuadVertexFvf = D3DFVF_XYZ | D3DFVF_TEX1;
static_assert(kQuadVertexFvf == 0x102);
static_assert(sizeof(QuadVertex) == 20);

class WorldQuad {
 public:
  // The rectangle between corner points a and b as a two-triangle strip; only the last
  // corner takes its z from a, so the quad is flat when a.z == b.z.
  void Create(D3DXVECTOR3 a, D3DXVECTOR3 b, const char* texturePath);
  // Placement: each multiplies `world` on the right. Rotate turns about x, then y, then z.
  void Translate(float x, float y, float z);
  void Rotate(float ax, float ay, float az);
  // Adds the texture to the screen with `world`, then resets `world` to identity.
  void Draw();

  QuadVertex corners[4] = {};  // strip order
  IDirect3DVertexBuffer8* vertexBuffer = nullptr;
  IDirect3DTexture8* texture = nullptr;
  D3DXMATRIX world = {};
};
