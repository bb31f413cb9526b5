// emberhall-fuzz-seeds DIR: writes small hand-made decoder inputs into DIR/bmp, DIR/msh
// and DIR/x, to seed the fuzz targets beside the asset generator's data set.
//
// The generator only writes what the demo ships (24-bit BMPs, one .msh layout, flat text
// meshes); these cover the rest of each format: every BMP depth, header and compression,
// RLE escapes and an RLE size bomb; every .msh flag combination and its broken forms; X
// frames, nested transforms, normals, colours, polygons, templates and comments.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace {

// A BMP: file header, an info header of `infoSize` bytes (12 for the OS/2 core header),
// then `extra` (masks after a 40-byte header, or the palette) and the pixels.
std::string Bmp(uint32_t infoSize, int32_t width, int32_t height, uint16_t bpp,
                uint32_t compression, const std::string& extra, const std::string& pixels,
                const std::vector<uint32_t>& headerMasks = {}) {
  std::string info;
  Put32(info, infoSize);
  if (infoSize == 12) {
    Put16(info, uint32_t(width)), Put16(info, uint32_t(height)), Put16(info, 1), Put16(info, bpp);
  } else {
    Put32(info, uint32_t(width)), Put32(info, uint32_t(height));
    Put16(info, 1), Put16(info, bpp);
    Put32(info, compression), Put32(info, uint32_t(pixels.size()));
    Put32(info, 2835), Put32(info, 2835), Put32(info, 0), Put32(info, 0);
    for (uint32_t mask : headerMasks) Put32(info, mask);
    info.resize(infoSize, '\0');
  }
  const uint32_t offset = uint32_t(14 + info.size() + extra.size());
  std::string file = "BM";
  Put32(file, uint32_t(offset + pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  return file + info + extra + pixels;
}

// `count` palette entries of 4 (or, for the core header, 3) bytes in a spread of colours.
std::string Palette(int count, int entrySize = 4) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    out += char(i * 37), out += char(255 - i * 11), out += char(i * 91);
    if (entrySize == 4) out += '\0';
  }
  return out;
}

// `height` rows of `rowBytes` bytes each, padded to 4 bytes, in a varied pattern.
std::string Rows(int height, int rowBytes) {
  std::string out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < rowBytes; ++x) out += char(x * 29 + y * 53);
    out.append((4 - rowBytes % 4) % 4, '\0');
  }
  return out;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += char(v);
  return out;
}

void WriteBmps(const std::filesystem::path& dir, bool& ok) {
  std::string masks565, masks32;
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put32(masks565, m);
  for (uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(masks32, m);
  const std::string rle8 = Bytes({0x03, 0x04, 0x00, 0x03, 0x01, 0x02, 0x05, 0x00,  // run, literal
                                  0x00, 0x00,                                      // end of line
                                  0x00, 0x02, 0x01, 0x01,                          // delta
                                  0x02, 0x07, 0x00, 0x00, 0x05, 0x09, 0x00, 0x01});
  const std::string rle4 = Bytes({0x04, 0x12, 0x00, 0x05, 0x34, 0x56, 0x70, 0x00,  // run, literal
                                  0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x03, 0xAB,  // EOL, delta
                                  0x00, 0x00, 0x06, 0xCD, 0x00, 0x01});
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"1bit.bmp", Bmp(40, 9, 3, 1, 0, Palette(2), Rows(3, 2))},
      {"4bit.bmp", Bmp(40, 5, 3, 4, 0, Palette(16), Rows(3, 3))},
      {"8bit.bmp", Bmp(40, 5, 3, 8, 0, Palette(256), Rows(3, 5))},
      {"8bit-short-palette.bmp", Bmp(40, 3, 2, 8, 0, Palette(7), Rows(2, 3))},
      {"core-8bit.bmp", Bmp(12, 3, 2, 8, 0, Palette(5, 3), Rows(2, 3))},
      {"core-24bit.bmp", Bmp(12, 3, 2, 24, 0, "", Rows(2, 9))},
      {"555.bmp", Bmp(40, 3, 2, 16, 0, "", Rows(2, 6))},
      {"565-bitfields.bmp", Bmp(40, 3, 2, 16, 3, masks565, Rows(2, 6))},
      {"24bit-top-down.bmp", Bmp(40, 3, -2, 24, 0, "", Rows(2, 9))},
      {"32bit.bmp", Bmp(40, 3, 2, 32, 0, "", Rows(2, 12))},
      {"32bit-alphabitfields.bmp", Bmp(40, 3, 2, 32, 6, masks32, Rows(2, 12))},
      {"v4-565.bmp", Bmp(108, 3, 2, 16, 3, "", Rows(2, 6), {0xF800, 0x07E0, 0x001F, 0})},
      {"v5-alpha.bmp",
       Bmp(124, 3, 2, 32, 3, "", Rows(2, 12), {0xFF0000, 0xFF00, 0xFF, 0xFF000000})},
      {"rle8.bmp", Bmp(40, 6, 4, 8, 1, Palette(16), rle8)},
      {"rle4.bmp", Bmp(40, 8, 4, 4, 2, Palette(16), rle4)},
      // A few bytes that claim 16384 by 4096 pixels: the decompression bomb the limits refuse.
      {"rle8-bomb.bmp", Bmp(40, 16384, 4096, 8, 1, Palette(2), Bytes({0x00, 0x01}))},
  };
  for (const auto& f : files) ok = WriteBytes(dir / f.name, f.bytes) && ok;
}

// A .msh file: header, vertices (with normals for flag 1), faces (with texture
// coordinates for flag 4).
std::string Msh(uint32_t flags, uint32_t vertices, const std::vector<uint32_t>& indices) {
  std::string out;
  Put32(out, flags), Put32(out, vertices), Put32(out, uint32_t(indices.size() / 3));
  for (uint32_t v = 0; v < vertices; ++v) {
    PutFloat(out, float(v & 1)), PutFloat(out, float(v >> 1 & 1)), PutFloat(out, float(v) / 4);
    if (flags & 1) PutFloat(out, 0), PutFloat(out, 0), PutFloat(out, -1);
  }
  for (size_t f = 0; f < indices.size(); f += 3) {
    for (size_t c = 0; c < 3; ++c) Put32(out, indices[f + c]);
    if (flags & 4)
      for (size_t c = 0; c < 3; ++c) PutFloat(out, float(c) / 2), PutFloat(out, float(f % 2));
  }
  return out;
}

void WriteMshes(const std::filesystem::path& dir, bool& ok) {
  const std::vector<uint32_t> quad = {0, 1, 2, 2, 1, 3};
  std::string truncated = Msh(5, 4, quad);
  truncated.resize(truncated.size() - 7);
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"positions.msh", Msh(0, 4, quad)},
      {"normals.msh", Msh(1, 4, quad)},
      {"texcoords.msh", Msh(4, 4, quad)},
      {"normals-texcoords.msh", Msh(5, 4, quad)},
      {"index-out-of-range.msh", Msh(4, 3, {0, 1, 3})},
      {"truncated.msh", truncated},
      {"no-faces.msh", Msh(0, 3, {})},
  };
  for (const auto& f : files) ok = WriteBytes(dir / f.name, f.bytes) && ok;
}

void WriteXFiles(const std::filesystem::path& dir, bool& ok) {
  const struct {
    const char* name;
    const char* text;
  } files[] = {
      {"triangle.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n"},
      {"frames.x", R"(xof 0303txt 0032
// Frames nest; each mesh takes every transform above it.
template Header { <3D82AB43-62DA-11cf-AB39-0020AF71E433> WORD major; WORD minor; DWORD flags; }
Header { 1; 0; 1; }
Frame Root {
  FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,1.0,0.0, 5.0,0.0,-3.5,1.0;; }
  Frame Child {
    FrameTransformMatrix { 0,1,0,0, -1,0,0,0, 0,0,1,0, 0,0,0,1;; }
    Mesh Quad {
      4; -1;-1;0;, 1;-1;0;, 1;1;0;, -1;1;0;;
      1; 4;0,1,2,3;;
      MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }
    }
  }
  Mesh Second { 3; 0;0;0;, 1e2;0;0;, 0;-2.5E-1;0;; 1; 3;2,1,0;; }
}
)"},
      {"normals-colours.x", R"(xof 0302txt 0064
# Normals that differ per corner split vertices; colours become the diffuse.
Mesh Split {
  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3;0,1,2;, 3;0,2,3;;
  MeshNormals { 2; 0;0;1;, 0;0;-1;; 2; 3;0,0,0;, 3;1,1,1;; }
  MeshVertexColors { 4; 0;1;0;0;1;;, 1;0;1;0;1;;, 2;0;0;1;0.5;;, 3;1;1;1;1;; }
  MeshMaterialList { 1; 2; 0, 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "a.bmp"; } } }
}
)"},
      {"reference.x", R"(xof 0302txt 0032
Mesh Shared { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
Frame Holder { { Shared } }
)"},
      {"binary-header.x", "xof 0302bin 0032"},
  };
  for (const auto& f : files) ok = WriteBytes(dir / f.name, f.text) && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: emberhall-fuzz-seeds DIR\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  std::error_code error;
  for (const char* sub : {"bmp", "msh", "x"})
    std::filesystem::create_directories(root / sub, error);
  bool ok = true;
  WriteBmps(root / "bmp", ok);
  WriteMshes(root / "msh", ok);
  WriteXFiles(root / "x", ok);
  if (!ok) std::fprintf(stderr, "emberhall-fuzz-seeds: cannot write into %s\n", argv[1]);
  return ok ? 0 : 1;
}
