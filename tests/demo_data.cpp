#include "tests/demo_data.h"

#include <stdlib.h>

#include <cstring>
#include <vector>

#include "tests/test_files.h"

namespace {

// A cube of edge `edge` around the origin, 8 vertices and 12 triangles.
const char* const kCubeX = R"(xof 0302txt 0032
Mesh cube {
 8;
 -50;-50;-50;, 50;-50;-50;, -50;50;-50;, 50;50;-50;,
 -50;-50;50;, 50;-50;50;, -50;50;50;, 50;50;50;;
 12;
 3;0,2,1;, 3;1,2,3;, 3;4,5,6;, 3;5,7,6;, 3;0,4,2;, 3;2,4,6;,
 3;1,3,5;, 3;3,7,5;, 3;0,1,4;, 3;1,5,4;, 3;2,6,3;, 3;3,6,7;;
 MeshTextureCoords {
  8;
  0;0;, 1;0;, 0;1;, 1;1;, 0;0;, 1;0;, 0;1;, 1;1;;
 }
}
)";

// The same cube as a .msh file: positions, per-corner texture coordinates (flag 4).
std::string CubeMsh(float half) {
  std::string out;
  Put32(out, 4), Put32(out, 8), Put32(out, 12);
  for (int i = 0; i < 8; ++i) {
    PutFloat(out, i & 1 ? half : -half);
    PutFloat(out, i & 2 ? half : -half);
    PutFloat(out, i & 4 ? half : -half);
  }
  const int faces[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 4, 2}, {2, 4, 6},
                            {1, 3, 5}, {3, 7, 5}, {0, 1, 4}, {1, 5, 4}, {2, 6, 3}, {3, 6, 7}};
  for (const auto& face : faces) {
    for (int corner : face) Put32(out, uint32_t(corner));
    for (int corner : face) PutFloat(out, float(corner & 1)), PutFloat(out, float(corner >> 1 & 1));
  }
  return out;
}

}  // namespace

void WriteFile(const std::string& path, const std::string& bytes) {
  WriteBytes(path, bytes);
}

std::string SolidBmp(int width, int height, uint32_t rgb) {
  return Bmp24(width, height, std::vector<uint32_t>(size_t(width) * size_t(height), rgb));
}

DemoDataDir::DemoDataDir(bool withData) {
  char pattern[] = "/tmp/emberhall_data_XXXXXX";
  root_ = mkdtemp(pattern);
  previous_ = std::filesystem::current_path();
  std::filesystem::current_path(root_);
  if (!withData) return;
  std::filesystem::create_directory("Data");
  for (const char* name : {"kub", "morph1", "morph2", "granbarr", "granstam"})
    WriteFile(std::string("Data/") + name + ".x", kCubeX);
  for (const char* name : {"vellmoth", "alsten", "stenbox", "stenbox2", "rum", "pelare", "rip",
                           "eldpinnar", "eld", "mark", "himmel", "huvud", "hatt"})
    WriteFile(std::string("Data/") + name + ".msh", CubeMsh(20));
  for (const char* name :
       {"cube", "cube2",    "cube3",       "cube4",  "cube5",  "StenAl", "Gray",   "Tex2",
        "Tex3", "granbarr", "granstam",    "rum",    "bricks", "eld",    "himmel", "huve",
        "hatt", "presents", "brindlequay", "finish", "code",   "greets", "where"})
    WriteFile(std::string("Data/") + name + ".bmp", SolidBmp(2, 2, 0x406080));
  WriteFile("Data/solen.mp3", SilentWav(0.5));
}

DemoDataDir::~DemoDataDir() {
  std::filesystem::current_path(previous_);
  std::filesystem::remove_all(root_);
}
