// The texture table: each file's name, size and painter, and the loop that writes them.
//
// Sizes keep the whole data set small (every BMP together under about 2.5 MB): 256 x 256 for
// the pictures stretched over the whole screen and the big root cube, 256 x 128 for the sky
// (wrapped round a dome), 128 x 128 for models seen at a middle distance, 64 x 64 for the
// smallest cubes and the floor tile.
#include "tools/assets/textures.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/assets/textures_painters.h"

namespace {

using textures::Canvas;

// The painter of one cube-fractal level, in the table's shape.
template <int kLevel>
Canvas CubeLevel(int width, int height) {
  return textures::PaintCube(kLevel, width, height);
}

struct TextureEntry {
  BitmapFile file;
  Canvas (*paint)(int width, int height);
};

// Level-4 cubes are loaded but never drawn and level-3 cubes are small on screen.
constexpr std::array<TextureEntry, 17> kEntries = {{
    {{"cube.bmp", 256, 256, false}, CubeLevel<0>},
    {{"cube2.bmp", 128, 128, false}, CubeLevel<1>},
    {{"cube3.bmp", 128, 128, false}, CubeLevel<2>},
    {{"cube4.bmp", 64, 64, false}, CubeLevel<3>},
    {{"cube5.bmp", 64, 64, false}, CubeLevel<4>},
    {{"StenAl.bmp", 128, 128, true}, textures::PaintStenAl},
    {{"Gray.bmp", 256, 256, true}, textures::PaintGray},
    {{"Tex2.bmp", 256, 256, true}, textures::PaintTex2},
    {{"Tex3.bmp", 256, 256, true}, textures::PaintTex3},
    {{"granbarr.bmp", 128, 128, true}, textures::PaintGranbarr},
    {{"granstam.bmp", 128, 128, true}, textures::PaintGranstam},
    {{"rum.bmp", 128, 128, true}, textures::PaintRum},
    {{"bricks.bmp", 64, 64, true}, textures::PaintBricks},
    {{"eld.bmp", 128, 128, false}, textures::PaintEld},
    {{"himmel.bmp", 256, 128, true}, textures::PaintHimmel},
    {{"huve.bmp", 128, 128, false}, textures::PaintHuve},
    {{"hatt.bmp", 128, 128, false}, textures::PaintHatt},
}};

// The table without its painters, for callers that need only names and sizes.
constexpr std::array<BitmapFile, kEntries.size()> kFiles = [] {
  std::array<BitmapFile, kEntries.size()> files{};
  for (size_t i = 0; i < kEntries.size(); ++i) files[i] = kEntries[i].file;
  return files;
}();

}  // namespace

std::span<const BitmapFile> TextureFiles() {
  return kFiles;
}

bool WriteTextures(const std::string& dataDir) {
  // A directory that cannot be made shows up below as a write that fails, naming its file.
  std::error_code ignored;
  std::filesystem::create_directories(dataDir, ignored);
  for (const TextureEntry& entry : kEntries) {
    const std::string path = (std::filesystem::path(dataDir) / entry.file.name).string();
    const Canvas canvas = entry.paint(entry.file.width, entry.file.height);
    if (!textures::SaveCanvasBmp(canvas, path)) {
      std::fprintf(stderr, "emberhall-assets: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}
