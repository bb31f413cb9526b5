// A shape that flows between two loaded meshes of the same vertex count: each draw fills
// the morph mesh's own vertex buffer with a linear blend of their vertices and draws it
// with the triangles and texture of the mesh it was built from.
//
// Promises: weight 0 gives `from`'s vertices, weight == fullWeight gives `to`'s, values
// beyond extrapolate; the diffuse colour is always `from`'s. Like a Mesh, the morph mesh
// carries a world matrix that placement calls multiply on the right and every draw resets
// to identity. When either source holds fewer vertices than the morph mesh, or has no
// buffer, the draw draws nothing rather than read past it.
// Does not: renormalise blended normals, set blending, depth or culling (the caller's),
// release its buffers, or own its texture (the source mesh does).
#pragma once

#include <cstdint>

#include "mesh/mesh.h"
#include "render/d3d8.h"
#include "render/d3dx_math.h"

class MorphMesh {
 public:
  // Takes counts, texture and triangles from `source` and makes the buffers.
  void Init(const Mesh& source);
  // Placement: each multiplies `world` on the right. Rotate turns about x, then y, then z.
  void Scale(float s);
  void Rotate(float ax, float ay, float az);
  void Translate(float x, float y, float z);
  // Draws ((to - from) / fullWeight) * weight + from for every vertex field, then resets
  // `world` to identity.
  void DrawMorph(const Mesh& from, const Mesh& to, float weight, float fullWeight);

  IDirect3DVertexBuffer8* vertexBuffer = nullptr;  // vertexCount MeshVertex, rewritten per draw
  IDirect3DIndexBuffer8* indexBuffer = nullptr;    // faceCount * 3 16-bit indices
  IDirect3DTexture8* texture = nullptr;            // the source mesh's texture0
  uint32_t vertexCount = 0;
  uint32_t faceCount = 0;
  D3DXMATRIX world = {};
};

// Built from g_morph1 at start-up, defined with the demo's other globals.
extern MorphMesh g_morphMesh;
