// D3DX meshes over the device's buffers; see d3dx_mesh.h for the contract.
#include "render/d3dx_mesh.h"

#include <cstring>
#include <utility>

#include "platform/data_path.h"
#include "render/normals.h"
#include "render/render_internal.h"
#include "render/tool_switches.h"
#include "render/vertex_layout.h"
#include "render/xfile.h"

namespace {

// The layouts a D3DX mesh handles: untransformed positions with any of normal, diffuse
// colour and one set of texture coordinates.
bool MeshLayoutOf(DWORD fvf, VertexLayout& layout) {
  layout = LayoutOf(fvf);
  return layout.known && layout.positionFloats == 3;
}

// A mesh's own buffer traffic is D3DX's business, not the caller's: keep it out of the
// call record, which shows what the demo does.
class RecorderPause {
 public:
  RecorderPause() : saved_(g_renderSwitches.recorder) { g_renderSwitches.recorder = nullptr; }
  ~RecorderPause() { g_renderSwitches.recorder = saved_; }

 private:
  CallRecorder* saved_;
};

void Fill(BufferBase* buffer, const std::vector<BYTE>& bytes) {
  RecorderPause pause;
  BYTE* data = nullptr;
  if (FAILED(buffer->Lock(0, UINT(bytes.size()), &data, 0))) return;
  std::memcpy(data, bytes.data(), bytes.size());
  buffer->Unlock();
}

ID3DXMesh* MakeMesh(IDirect3DDevice8* device, DWORD fvf, DWORD vertexCount, DWORD faceCount,
                    const std::vector<BYTE>& vertexBytes, const std::vector<BYTE>& indexBytes) {
  auto* vertices = new IDirect3DVertexBuffer8(device, UINT(vertexBytes.size()),
                                              RenderInternals::NextName(*device, "vb"));
  auto* indices = new IDirect3DIndexBuffer8(device, UINT(indexBytes.size()),
                                            RenderInternals::NextName(*device, "ib"));
  Fill(vertices, vertexBytes);
  Fill(indices, indexBytes);
  return new ID3DXMesh(fvf, vertexCount, faceCount, vertices, indices,
                       RenderInternals::NextName(*device, "mesh"));
}

ID3DXMesh* MeshFromX(IDirect3DDevice8* device, const XMesh& x) {
  const size_t vertexCount = x.positions.size() / 3;
  const size_t faceCount = x.indices.size() / 3;
  const DWORD fvf = D3DFVF_XYZ | (x.colors.empty() ? 0 : D3DFVF_DIFFUSE) |
                    (x.texcoords.empty() ? 0 : D3DFVF_TEX1);
  const VertexLayout layout = LayoutOf(fvf);

  std::vector<BYTE> vertexBytes(vertexCount * layout.size);
  for (size_t v = 0; v < vertexCount; ++v) {
    BYTE* out = vertexBytes.data() + v * layout.size;
    std::memcpy(out, &x.positions[v * 3], 12);
    if (layout.diffuse >= 0) std::memcpy(out + layout.diffuse, &x.colors[v], 4);
    if (layout.texture >= 0) std::memcpy(out + layout.texture, &x.texcoords[v * 2], 8);
  }
  std::vector<BYTE> indexBytes(faceCount * 6);
  for (size_t i = 0; i < x.indices.size(); ++i) {
    const WORD index = WORD(x.indices[i]);
    std::memcpy(indexBytes.data() + i * 2, &index, 2);
  }
  return MakeMesh(device, fvf, DWORD(vertexCount), DWORD(faceCount), vertexBytes, indexBytes);
}

}  // namespace

ID3DXMesh::ID3DXMesh(DWORD fvf, DWORD vertexCount, DWORD faceCount,
                     IDirect3DVertexBuffer8* vertices, IDirect3DIndexBuffer8* indices,
                     std::string name)
    : fvf_(fvf),
      vertexCount_(vertexCount),
      faceCount_(faceCount),
      vertices_(vertices),
      indices_(indices),
      name_(std::move(name)) {}

ID3DXMesh::~ID3DXMesh() {
  RecorderPause pause;
  vertices_->Release();
  indices_->Release();
}

HRESULT ID3DXMesh::GetVertexBuffer(IDirect3DVertexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  vertices_->AddRef();
  *buffer = vertices_;
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("GetVertexBuffer", name_, vertices_->Name());
  return D3D_OK;
}

HRESULT ID3DXMesh::GetIndexBuffer(IDirect3DIndexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  indices_->AddRef();
  *buffer = indices_;
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("GetIndexBuffer", name_, indices_->Name());
  return D3D_OK;
}

HRESULT ID3DXMesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8* device,
                                ID3DXMesh** clone) {
  if (!clone) return D3DERR_INVALIDCALL;
  *clone = nullptr;
  VertexLayout from, to;
  if (device && MeshLayoutOf(fvf_, from) && MeshLayoutOf(fvf, to)) {
    std::vector<BYTE> vertexBytes(size_t(vertexCount_) * to.size);
    const BYTE* source = vertices_->Memory();
    for (size_t v = 0; v < vertexCount_; ++v) {
      const BYTE* in = source + v * from.size;
      BYTE* out = vertexBytes.data() + v * to.size;
      std::memcpy(out, in, 12);
      if (from.normal >= 0 && to.normal >= 0) std::memcpy(out + to.normal, in + from.normal, 12);
      if (from.diffuse >= 0 && to.diffuse >= 0) std::memcpy(out + to.diffuse, in + from.diffuse, 4);
      if (from.texture >= 0 && to.texture >= 0) std::memcpy(out + to.texture, in + from.texture, 8);
    }
    const std::vector<BYTE> indexBytes(indices_->Memory(), indices_->Memory() + indices_->Length());
    *clone = MakeMesh(device, fvf, vertexCount_, faceCount_, vertexBytes, indexBytes);
  }
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("CloneMeshFVF", name_, options, fvf, *clone ? (*clone)->RecordName() : "null");
  return *clone ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT D3DXLoadMeshFromX(const char* path, DWORD options, IDirect3DDevice8* device,
                          ID3DXBuffer** adjacency, ID3DXBuffer** materials, DWORD* materialCount,
                          ID3DXMesh** mesh) {
  if (adjacency) *adjacency = nullptr;
  if (materials) *materials = nullptr;
  if (materialCount) *materialCount = 0;
  if (!mesh) return D3DERR_INVALIDCALL;
  *mesh = nullptr;

  std::string file;
  XMesh x;
  const bool parsed = device && path && ReadDataFile(path, file) &&
                      ParseXFile(file.data(), file.size(), x) && !x.indices.empty() &&
                      x.positions.size() / 3 <= kMaxIndexedVertices;
  if (parsed) {
    *mesh = MeshFromX(device, x);
    if (materials) *materials = new ID3DXBuffer(0, RenderInternals::NextName(*device, "xbuf"));
  }
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("D3DXLoadMeshFromX", path ? path : "null", options,
                     *mesh ? (*mesh)->RecordName() : "null");
  return parsed ? D3D_OK : D3DXERR_INVALIDDATA;
}

HRESULT D3DXComputeNormals(ID3DXMesh* mesh, const DWORD* /*adjacency*/) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("D3DXComputeNormals", mesh ? mesh->RecordName() : "null");
  VertexLayout layout;
  if (!mesh || !MeshLayoutOf(mesh->fvf_, layout) || layout.normal < 0) return D3DERR_INVALIDCALL;

  const size_t vertexCount = mesh->vertexCount_;
  std::vector<BYTE> vertexBytes(mesh->vertices_->Memory(),
                                mesh->vertices_->Memory() + mesh->vertices_->Length());
  std::vector<float> positions(vertexCount * 3);
  for (size_t v = 0; v < vertexCount; ++v)
    std::memcpy(&positions[v * 3], vertexBytes.data() + v * layout.size, 12);
  std::vector<uint32_t> indices(size_t(mesh->faceCount_) * 3);
  for (size_t i = 0; i < indices.size(); ++i) {
    WORD index;
    std::memcpy(&index, mesh->indices_->Memory() + i * 2, 2);
    indices[i] = index;
  }

  std::vector<float> normals(vertexCount * 3);
  ComputeAngleWeightedNormals(positions.data(), vertexCount, indices.data(), mesh->faceCount_,
                              normals.data());
  for (size_t v = 0; v < vertexCount; ++v)
    std::memcpy(vertexBytes.data() + v * layout.size + layout.normal, &normals[v * 3], 12);
  Fill(mesh->vertices_, vertexBytes);
  return D3D_OK;
}
