// Loader for text DirectX .x model files.
// Promises: every Mesh in the file (top level or inside Frames) comes back as one
// merged, indexed triangle mesh in file order, with Frame transforms applied to the
// positions. Vertices keep the file's order, except that a vertex which MeshNormals gives
// different normals at different corners is duplicated once per extra normal, the copies
// appended after that mesh's own vertices in face-corner order: a file can come back with
// more vertices than it lists. Anything malformed, truncated, absurdly large or not plain
// text is refused with `false` instead of being half-loaded.
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
