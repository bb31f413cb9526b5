// The D3DX mesh subset that Mesh::LoadX goes through: loading an .x file (text, binary or
// compressed, render/xfile.h) into an indexed triangle mesh, cloning it into another vertex layout,
// and computing its normals.
//
// Promises: a mesh holds its vertices in a vertex buffer of its FVF and its triangles in a
// 16-bit index buffer, both readable through the buffers GetVertexBuffer and GetIndexBuffer
// hand out. A load that fails for any reason (missing file, malformed text, more than
// 65536 vertices) gives a null mesh and a null material buffer, never half a mesh. The
// D3DX calls appear in the call record; the meshes' own buffer traffic does not, except
// where the caller touches a buffer it was handed.
// Does not: keep materials (the material buffer is empty and the count 0), produce
// adjacency, attribute tables or subsets, or handle layouts other than position with
// any of normal, diffuse colour and one texture-coordinate set.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "render/d3d8.h"

// D3DXMESH_SYSTEMMEM: vertex and index buffers in system memory. Every mesh here is.
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;

// A block of bytes handed out by a D3DX call.
class ID3DXBuffer : public RefCounted {
 public:
  ID3DXBuffer(size_t size, std::string name) : bytes_(size), name_(std::move(name)) {}
  void* GetBufferPointer() { return bytes_.data(); }
  DWORD GetBufferSize() const { return DWORD(bytes_.size()); }
  std::string RecordName() const override { return name_; }

 private:
  std::vector<BYTE> bytes_;
  std::string name_;
};

class ID3DXMesh : public RefCounted {
 public:
  // Takes over one reference to each buffer.
  ID3DXMesh(DWORD fvf, DWORD vertexCount, DWORD faceCount, IDirect3DVertexBuffer8* vertices,
            IDirect3DIndexBuffer8* indices, std::string name);
  ~ID3DXMesh() override;
  std::string RecordName() const override { return name_; }

  DWORD GetNumVertices() const { return vertexCount_; }
  DWORD GetNumFaces() const { return faceCount_; }
  DWORD GetFVF() const { return fvf_; }
  // Each hands out a new reference, which the caller releases.
  HRESULT GetVertexBuffer(IDirect3DVertexBuffer8** buffer);
  HRESULT GetIndexBuffer(IDirect3DIndexBuffer8** buffer);
  // A copy in layout `fvf`: fields both layouts have are copied, fields new to `fvf` are 0.
  HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8* device, ID3DXMesh** clone);

 private:
  friend HRESULT D3DXComputeNormals(ID3DXMesh* mesh, const DWORD* adjacency);

  DWORD fvf_, vertexCount_, faceCount_;
  IDirect3DVertexBuffer8* vertices_;
  IDirect3DIndexBuffer8* indices_;
  std::string name_;
};

// Reads `path` through the data-file lookup. The vertex layout follows the file: position,
// plus diffuse colour when it has vertex colours and texture coordinates when it has them.
// `adjacency`, when given, is set to null.
HRESULT D3DXLoadMeshFromX(const char* path, DWORD options, IDirect3DDevice8* device,
                          ID3DXBuffer** adjacency, ID3DXBuffer** materials, DWORD* materialCount,
                          ID3DXMesh** mesh);

// Angle-weighted smooth normals (ComputeAngleWeightedNormals) into a layout with a normal;
// `adjacency` is not needed and ignored.
HRESULT D3DXComputeNormals(ID3DXMesh* mesh, const DWORD* adjacency);
