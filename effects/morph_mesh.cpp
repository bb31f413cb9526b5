// The morphing mesh: the index copy at Init, the per-draw blend and the draw.
#include "effects/morph_mesh.h"

#include <cstring>

#include "core/device_globals.h"
#include "mesh/placement.h"

namespace {

float Blend(float a, float b, float weight, float fullWeight) {
  return ((b - a) / fullWeight) * weight + a;
}

// Fills `out` with the blend of the first `count` vertices of `from` and `to`; false,
// with `out` untouched, when a buffer cannot be locked over them.
bool BlendVertices(IDirect3DVertexBuffer8* out, const Mesh& from, const Mesh& to, uint32_t count,
                   float weight, float fullWeight) {
  const UINT size = count * UINT(sizeof(MeshVertex));
  BYTE* outBytes = nullptr;
  BYTE* fromBytes = nullptr;
  BYTE* toBytes = nullptr;
  out->Lock(0, size, &outBytes, 0);
  from.vertexBuffer->Lock(0, size, &fromBytes, 0);
  // A mesh blended with itself is one buffer, and a buffer locks once.
  const bool sameSource = to.vertexBuffer == from.vertexBuffer;
  if (sameSource)
    toBytes = fromBytes;
  else
    to.vertexBuffer->Lock(0, size, &toBytes, 0);

  const bool locked = outBytes && fromBytes && toBytes;
  if (locked) {
    const MeshVertex* a = reinterpret_cast<const MeshVertex*>(fromBytes);
    const MeshVertex* b = reinterpret_cast<const MeshVertex*>(toBytes);
    MeshVertex* result = reinterpret_cast<MeshVertex*>(outBytes);
    for (size_t i = 0; i < count; ++i) {
      result[i].x = Blend(a[i].x, b[i].x, weight, fullWeight);
      result[i].y = Blend(a[i].y, b[i].y, weight, fullWeight);
      result[i].z = Blend(a[i].z, b[i].z, weight, fullWeight);
      result[i].nx = Blend(a[i].nx, b[i].nx, weight, fullWeight);
      result[i].ny = Blend(a[i].ny, b[i].ny, weight, fullWeight);
      result[i].nz = Blend(a[i].nz, b[i].nz, weight, fullWeight);
      result[i].diffuse = a[i].diffuse;
      result[i].u = Blend(a[i].u, b[i].u, weight, fullWeight);
      result[i].v = Blend(a[i].v, b[i].v, weight, fullWeight);
    }
  }
  if (toBytes && !sameSource) to.vertexBuffer->Unlock();
  if (fromBytes) from.vertexBuffer->Unlock();
  if (outBytes) out->Unlock();
  return locked;
}

}  // namespace

void MorphMesh::Init(const Mesh& source) {
  vertexCount = source.vertexCount;
  faceCount = source.faceCount;
  texture = source.texture0;
  // Buffers of an earlier Init are dropped, not released: the device may still hold them.
  vertexBuffer = nullptr;
  indexBuffer = nullptr;
  if (vertexCount > 0 && faceCount > 0) {
    // The vertices are written by the first draw.
    g_device->CreateVertexBuffer(vertexCount * UINT(sizeof(MeshVertex)), D3DUSAGE_WRITEONLY, 0,
                                 D3DPOOL_MANAGED, &vertexBuffer);
    g_device->CreateIndexBuffer(faceCount * 3 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                D3DPOOL_MANAGED, &indexBuffer);
    BYTE* to = nullptr;
    BYTE* from = nullptr;
    indexBuffer->Lock(0, faceCount * 6, &to, 0);
    if (source.indexBuffer) source.indexBuffer->Lock(0, faceCount * 6, &from, 0);
    if (to && from) std::memcpy(to, from, size_t(faceCount) * 6);
    if (from) source.indexBuffer->Unlock();
    if (to) indexBuffer->Unlock();
  }
  D3DXMatrixIdentity(&world);
}

void MorphMesh::Scale(float s) {
  PlaceScale(world, s);
}

void MorphMesh::Rotate(float ax, float ay, float az) {
  PlaceRotate(world, ax, ay, az);
}

void MorphMesh::Translate(float x, float y, float z) {
  PlaceTranslate(world, x, y, z);
}

void MorphMesh::DrawMorph(const Mesh& from, const Mesh& to, float weight, float fullWeight) {
  const bool sourcesHoldUs = from.vertexBuffer && to.vertexBuffer &&
                             from.vertexCount >= vertexCount && to.vertexCount >= vertexCount;
  if (vertexBuffer && indexBuffer && sourcesHoldUs &&
      BlendVertices(vertexBuffer, from, to, vertexCount, weight, fullWeight)) {
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    g_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    g_device->SetTexture(0, texture);
    g_device->SetTexture(1, nullptr);
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    g_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    g_device->SetVertexShader(kMeshVertexFvf);
    g_device->SetStreamSource(0, vertexBuffer, sizeof(MeshVertex));
    g_device->SetIndices(indexBuffer, 0);
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount, 0, faceCount);
  }
  D3DXMatrixTranslation(&world, 0, 0, 0);
}
