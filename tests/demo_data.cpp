#include "tests/demo_data.h"

#include <stdlib.h>

#include <cstdio>
#include <cstring>

namespace {

void Put16(std::string& out, uint32_t v) { out += char(v & 255), out += char(v >> 8 & 255); }
void Put32(std::string& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }
void PutFloat(std::string& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  Put32(out, bits);
}

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

// Half a second of 16-bit stereo silence as a WAV file, which the mixer plays as readily
// as an MP3.
std::string SilentWav() {
  const uint32_t bytes = 22050 * 4;
  std::string out = "RIFF";
  Put32(out, 36 + bytes);
  out += "WAVEfmt ";
  Put32(out, 16), Put16(out, 1), Put16(out, 2), Put32(out, 44100), Put32(out, 44100 * 4);
  Put16(out, 4), Put16(out, 16);
  out += "data";
  Put32(out, bytes);
  out.append(bytes, '\0');
  return out;
}

}  // namespace

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string SolidBmp(int width, int height, uint32_t rgb) {
  const int stride = (width * 3 + 3) & ~3;
  std::string out = "BM";
  Put32(out, uint32_t(54 + stride * height)), Put32(out, 0), Put32(out, 54);
  Put32(out, 40), Put32(out, uint32_t(width)), Put32(out, uint32_t(height));
  Put16(out, 1), Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      out += char(rgb & 255), out += char(rgb >> 8 & 255), out += char(rgb >> 16 & 255);
    out.append(size_t(stride - width * 3), '\0');
  }
  return out;
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
       {"cube", "cube2", "cube3", "cube4", "cube5", "StenAl", "Gray", "Tex2", "Tex3",
        "granbarr", "granstam", "rum", "bricks", "eld", "himmel", "huve", "hatt", "presents",
        "brindlequay", "finish", "code", "greets", "where"})
    WriteFile(std::string("Data/") + name + ".bmp", SolidBmp(2, 2, 0x406080));
  WriteFile("Data/solen.mp3", SilentWav());
}

DemoDataDir::~DemoDataDir() {
  std::filesystem::current_path(previous_);
  std::filesystem::remove_all(root_);
}
