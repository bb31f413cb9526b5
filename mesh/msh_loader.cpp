// Mesh::LoadMsh: the demo's own binary mesh format.
//
// A 12-byte header (flags, vertex count, face count; little-endian 32-bit), the vertex
// records (x, y, z, and a normal with flag bit 0), then the face records (three 32-bit
// indices, and u, v per corner with flag bit 2). Texture coordinates are listed per corner
// but belong to the vertex the corner names, so the last face naming a vertex decides
// them. Bytes after the last face are ignored.
//
// The whole file is checked before a buffer is made: a missing or short file, no
// vertices or no faces, more than 65536 vertices or an index outside the vertices leave
// the mesh empty (zero counts, no buffers), though its textures still load.
#include <cstring>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "platform/data_path.h"
#include "render/byte_reader.h"
#include "render/vertex_layout.h"

namespace {

constexpr uint32_t kHasNormals = 1;
constexpr uint32_t kHasTexCoords = 4;

bool ReadVector(ByteReader& reader, float& x, float& y, float& z) {
  return reader.ReadF32(x) && reader.ReadF32(y) && reader.ReadF32(z);
}

}  // namespace

const char* ParseMsh(const std::string& file, MshContents& out) {
  ByteReader reader(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  uint32_t flags = 0, vertexCount = 0, faceCount = 0;
  if (!reader.ReadU32(flags) || !reader.ReadU32(vertexCount) || !reader.ReadU32(faceCount))
    return "shorter than its 12-byte header";
  if (vertexCount == 0 || faceCount == 0) return "holds no vertices or no faces";
  if (vertexCount > kMaxIndexedVertices) return "has more than 65536 vertices";
  // Both counts must fit in what the file holds before anything is sized from them.
  const uint64_t vertexBytes = uint64_t(vertexCount) * (flags & kHasNormals ? 24 : 12);
  const uint64_t faceBytes = uint64_t(faceCount) * (flags & kHasTexCoords ? 36 : 12);
  if (vertexBytes > reader.Remaining() || faceBytes > reader.Remaining() - vertexBytes ||
      uint64_t(faceCount) * 6 > UINT32_MAX)
    return "shorter than its counts promise";

  out.vertices.assign(vertexCount, MeshVertex{});
  for (MeshVertex& vertex : out.vertices) {
    if (!ReadVector(reader, vertex.x, vertex.y, vertex.z) ||
        ((flags & kHasNormals) && !ReadVector(reader, vertex.nx, vertex.ny, vertex.nz)))
      return "shorter than its counts promise";
  }
  out.indices.assign(size_t(faceCount) * 3, 0);
  for (size_t f = 0; f < faceCount; ++f) {
    WORD* corners = &out.indices[f * 3];
    for (int c = 0; c < 3; ++c) {
      uint32_t index = 0;
      if (!reader.ReadU32(index)) return "shorter than its counts promise";
      if (index >= vertexCount) return "has a face index at or above its vertex count";
      corners[c] = WORD(index);
    }
    if (!(flags & kHasTexCoords)) continue;
    for (int c = 0; c < 3; ++c) {
      MeshVertex& vertex = out.vertices[corners[c]];
      if (!reader.ReadF32(vertex.u) || !reader.ReadF32(vertex.v))
        return "shorter than its counts promise";
    }
  }
  return nullptr;
}

void Mesh::LoadMsh(const char* mshPath, const char* texture0Path, const char* texture1Path) {
  additive = false;
  std::string file;
  MshContents contents;
  const bool valid = ReadDataFile(mshPath, file) && !ParseMsh(file, contents);
  vertexCount = valid ? uint32_t(contents.vertices.size()) : 0;
  faceCount = valid ? uint32_t(contents.indices.size() / 3) : 0;
  texture0 = LoadTexture(texture0Path);
  texture1 = LoadTexture(texture1Path);
  CreateBuffers();
  if (valid) {
    BYTE* vertexBytes = nullptr;
    BYTE* indexBytes = nullptr;
    vertexBuffer->Lock(0, vertexCount * UINT(sizeof(MeshVertex)), &vertexBytes, 0);
    indexBuffer->Lock(0, faceCount * 6, &indexBytes, 0);
    if (vertexBytes)
      std::memcpy(vertexBytes, contents.vertices.data(), vertexCount * sizeof(MeshVertex));
    if (indexBytes) std::memcpy(indexBytes, contents.indices.data(), size_t(faceCount) * 6);
    if (vertexBytes) vertexBuffer->Unlock();
    if (indexBytes) indexBuffer->Unlock();
  }
  D3DXMatrixTranslation(&world, 0, 0, 0);
}

const char* MshProblem(const std::string& file) {
  MshContents contents;
  return ParseMsh(file, contents);
}
