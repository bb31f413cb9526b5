// Loader for text DirectX .x model files.
// Promises: every Mesh in the file (top level or inside Frames) comes back as one
// merged, indexed triangle mesh in file order, with Frame transforms applied to the
// positions; anything malformed, truncated, absurdly large or not plain text is
// refused with `false` instead of being half-loaded.
// Does not: read binary or compressed .x files, keep materials, textures, normals,
// skinning or animation, or resolve references to objects defined elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct XMesh {
  std::vector<float> positions;   // 3 per vertex
  std::vector<float> texcoords;   // 2 per vertex; empty when no mesh had MeshTextureCoords
  std::vector<uint32_t> colors;   // 0xAARRGGBB per vertex; empty when no mesh had MeshVertexColors
  std::vector<uint32_t> indices;  // 3 per triangle
};

// `text` need not be NUL-terminated; exactly `size` bytes are read. On failure `out`
// is left empty.
bool ParseXFile(const char* text, size_t size, XMesh& out);
