// The mesh object: .x loading, the normal and texture-coordinate generators, placement
// and drawing. The .msh loader is in msh_loader.cpp.
#include "mesh/mesh.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/device_globals.h"
#include "mesh/placement.h"
#include "render/d3dx_mesh.h"
#include "render/d3dx_texture.h"

namespace {

// Copies `size` bytes of a D3DX mesh's buffer into ours, then drops the reference that
// GetVertexBuffer or GetIndexBuffer handed out.
void CopyFromD3DX(BufferBase* ours, BufferBase* theirs, UINT size) {
  BYTE* to = nullptr;
  BYTE* from = nullptr;
  ours->Lock(0, size, &to, 0);
  theirs->Lock(0, 0, &from, 0);
  if (to && from && theirs->Length() >= size) std::memcpy(to, from, size);
  if (to) ours->Unlock();
  if (from) theirs->Unlock();
  theirs->Release();
}

}  // namespace

IDirect3DTexture8* Mesh::LoadTexture(const char* path) {
  IDirect3DTexture8* texture = nullptr;
  if (path) D3DXCreateTextureFromFileA(g_device, path, &texture);
  return texture;
}

void Mesh::CreateBuffers() {
  vertexBuffer = nullptr;
  indexBuffer = nullptr;
  if (vertexCount == 0 || faceCount == 0) return;
  g_device->CreateVertexBuffer(vertexCount * UINT(sizeof(MeshVertex)), D3DUSAGE_WRITEONLY, 0,
                               D3DPOOL_MANAGED, &vertexBuffer);
  g_device->CreateIndexBuffer(faceCount * 6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                              &indexBuffer);
}

void Mesh::LoadX(const char* xPath, const char* texture0Path, const char* texture1Path) {
  additive = false;
  ID3DXBuffer* materials = nullptr;
  DWORD materialCount = 0;
  ID3DXMesh* loaded = nullptr;
  D3DXLoadMeshFromX(xPath, D3DXMESH_SYSTEMMEM, g_device, nullptr, &materials, &materialCount,
                    &loaded);
  texture0 = LoadTexture(texture0Path);
  texture1 = LoadTexture(texture1Path);
  // The file's materials and texture names are never used: the caller names the textures.
  if (materials) materials->Release();

  ID3DXMesh* clone = nullptr;
  if (loaded) loaded->CloneMeshFVF(D3DXMESH_SYSTEMMEM, kMeshVertexFvf, g_device, &clone);
  // Whatever normals the file holds, the mesh gets computed ones.
  if (clone) D3DXComputeNormals(clone, nullptr);
  vertexCount = clone ? clone->GetNumVertices() : 0;
  faceCount = clone ? clone->GetNumFaces() : 0;
  CreateBuffers();
  if (clone) {
    IDirect3DVertexBuffer8* cloneVertices = nullptr;
    clone->GetVertexBuffer(&cloneVertices);
    CopyFromD3DX(vertexBuffer, cloneVertices, vertexCount * UINT(sizeof(MeshVertex)));
    IDirect3DIndexBuffer8* cloneIndices = nullptr;
    clone->GetIndexBuffer(&cloneIndices);
    CopyFromD3DX(indexBuffer, cloneIndices, faceCount * 6);
    // Nothing reads the D3DX meshes once their contents are ours.
    clone->Release();
  }
  if (loaded) loaded->Release();
  D3DXMatrixTranslation(&world, 0, 0, 0);
}

void Mesh::SetAdditive(bool value) {
  additive = value;
}

// Each vertex gets the float mean of the face normals naming it, summed in face order, as
// a loop over every (vertex, face) pair would give; one pass over the faces does it.
void Mesh::ComputeSmoothNormals() {
  if (!vertexBuffer || !indexBuffer) return;
  BYTE* indexBytes = nullptr;
  BYTE* vertexBytes = nullptr;
  indexBuffer->Lock(0, faceCount * 6, &indexBytes, 0);
  vertexBuffer->Lock(0, vertexCount * UINT(sizeof(MeshVertex)), &vertexBytes, 0);
  if (indexBytes && vertexBytes) {
    const WORD* indices = reinterpret_cast<const WORD*>(indexBytes);
    MeshVertex* vertices = reinterpret_cast<MeshVertex*>(vertexBytes);
    // Per vertex: the sum of x, y and z, then the count, all float.
    std::vector<float> sums(size_t(vertexCount) * 4, 0.0f);
    for (size_t f = 0; f < faceCount; ++f) {
      const WORD i0 = indices[f * 3], i1 = indices[f * 3 + 1], i2 = indices[f * 3 + 2];
      // The loaders never store such a face; a hand-edited buffer must not send us astray.
      if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) continue;
      const MeshVertex& a = vertices[i0];
      const MeshVertex& b = vertices[i1];
      const MeshVertex& c = vertices[i2];
      const float d1x = b.x - a.x, d1y = b.y - a.y, d1z = b.z - a.z;
      const float d2x = c.x - a.x, d2y = c.y - a.y, d2z = c.z - a.z;
      const float normal[3] = {d1y * d2z - d1z * d2y, d1z * d2x - d1x * d2z, d1x * d2y - d1y * d2x};
      // A face that names a vertex twice counts once for it.
      const bool named[3] = {true, i1 != i0, i2 != i0 && i2 != i1};
      const WORD corners[3] = {i0, i1, i2};
      for (int k = 0; k < 3; ++k) {
        if (!named[k]) continue;
        float* sum = &sums[size_t(corners[k]) * 4];
        sum[0] += normal[0];
        sum[1] += normal[1];
        sum[2] += normal[2];
        sum[3] += 1.0f;
      }
    }
    for (size_t r = 0; r < vertexCount; ++r) {
      const float* sum = &sums[r * 4];
      if (!(sum[3] > 0.0f)) continue;
      const float x = sum[0] / sum[3], y = sum[1] / sum[3], z = sum[2] / sum[3];
      float length = std::sqrt(x * x + y * y + z * z);
      if (length == 0.0f) length = 1.0f;
      vertices[r].nx = x / length;
      vertices[r].ny = y / length;
      vertices[r].nz = z / length;
    }
  }
  if (vertexBytes) vertexBuffer->Unlock();
  if (indexBytes) indexBuffer->Unlock();
}

void Mesh::PlanarMapTexCoords(float minA, float minB, float maxA, float maxB, float offsetU,
                              float offsetV, int32_t plane) {
  if (!vertexBuffer) return;
  const float w = maxA - minA;
  const float h = maxB - minB;
  BYTE* bytes = nullptr;
  vertexBuffer->Lock(0, vertexCount * UINT(sizeof(MeshVertex)), &bytes, 0);
  if (!bytes) return;
  MeshVertex* vertices = reinterpret_cast<MeshVertex*>(bytes);
  for (size_t i = 0; i < vertexCount; ++i) {
    MeshVertex& vertex = vertices[i];
    if (plane == 1) {
      vertex.u = (vertex.x - minA) / w + offsetU;
      vertex.v = (vertex.y - minB) / h + offsetV;
    } else if (plane == 2) {
      vertex.u = (vertex.x - minA) / w + offsetU;
      vertex.v = (vertex.z - minB) / h + offsetV;
    } else if (plane == 3) {
      vertex.u = (vertex.z - minA) / w + offsetU;
      vertex.v = (vertex.y - minB) / h + offsetV;
    }
  }
  vertexBuffer->Unlock();
}

void Mesh::TexCoordsFromNormals(float scaleU, float scaleV) {
  if (!vertexBuffer) return;
  BYTE* bytes = nullptr;
  vertexBuffer->Lock(0, vertexCount * UINT(sizeof(MeshVertex)), &bytes, 0);
  if (!bytes) return;
  MeshVertex* vertices = reinterpret_cast<MeshVertex*>(bytes);
  for (size_t i = 0; i < vertexCount; ++i) {
    vertices[i].u = vertices[i].nx * scaleU;
    vertices[i].v = vertices[i].ny * scaleV;
  }
  vertexBuffer->Unlock();
}

void Mesh::Rotate(float ax, float ay, float az) {
  PlaceRotate(world, ax, ay, az);
}

void Mesh::Translate(float x, float y, float z) {
  PlaceTranslate(world, x, y, z);
}

void Mesh::Scale(float s) {
  PlaceScale(world, s);
}

void Mesh::Draw() {
  // A mesh that loaded nothing leaves the device alone; its placement still ends here.
  if (vertexBuffer && indexBuffer) {
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    g_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    if (additive) g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_device->SetTexture(0, texture0);
    // Texture plus vertex colour; the colour is 0 unless an .x file gave one.
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    if (additive) {
      g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
      g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
      g_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
      g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    } else {
      g_device->SetTexture(1, nullptr);
      g_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    }
    g_device->SetVertexShader(kMeshVertexFvf);
    g_device->SetStreamSource(0, vertexBuffer, sizeof(MeshVertex));
    g_device->SetIndices(indexBuffer, 0);
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount, 0, faceCount);
    if (additive) g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  }
  D3DXMatrixTranslation(&world, 0, 0, 0);
}
