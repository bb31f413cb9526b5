// Loader for DirectX .x model files in every encoding the format has: text ("txt "), binary
// ("bin ", 32- or 64-bit floats) and MSZIP-compressed text or binary ("tzip", "bzip").
// Promises: every Mesh in the file (top level or inside Frames) comes back as one merged,
// indexed triangle mesh in file order, with Frame transforms applied to the positions, the
// same whichever encoding holds it. Vertices keep the file's order, except that a vertex
// which MeshNormals gives different normals at different corners is duplicated once per
// extra normal, the copies appended after that mesh's own vertices in face-corner order: a
// file can come back with more vertices than it lists. Anything malformed, truncated,
// absurdly large or decompressing far beyond its own size is refused with `false` instead
// of being half-loaded.
// Does not: keep materials, textures, normals, skinning or animation, or resolve references
// to objects defined elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct XMesh {
  std::vector<float> positions;   // 3 per vertex
  std::vector<float> texcoords;   // 2 per vertex; empty when no mesh had MeshTextureCoords
  std::vector<uint32_t> colors;   // 0xAARRGGBB per vertex; empty when no mesh had MeshVertexColors
  std::vector<uint32_t> indices;  // 3 per triangle
};

// `data` need not be NUL-terminated; exactly `size` bytes are read. On failure `out`
// is left empty.
bool ParseXFile(const char* data, size_t size, XMesh& out);

// What a file's 16-byte header announces.
struct XFileFormat {
  bool binary = false;      // binary tokens rather than text
  bool compressed = false;  // MSZIP blocks follow the header
  bool doubles = false;     // floats of 64 bits ("0064") rather than 32 ("0032")
};

// False when the header is not one the loader reads: "xof ", version 0301 to 0303, "txt ",
// "bin ", "tzip" or "bzip", then "0032" or "0064".
bool ReadXFileFormat(const char* data, size_t size, XFileFormat& format);
// For messages: "text X file", "binary X file with 32-bit floats", "compressed text X file",
// "compressed binary X file with 64-bit floats" and so on (text has no float width).
std::string DescribeXFileFormat(const XFileFormat& format);
