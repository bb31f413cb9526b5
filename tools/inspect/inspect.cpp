#include "tools/inspect/inspect.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <strings.h>

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "mesh/mesh.h"
#include "platform/data_path.h"
#include "render/byte_reader.h"
#include "render/d3dx_texture.h"
#include "render/xfile.h"

namespace {

bool HasExtension(const std::string& path, const char* extension) {
  const size_t length = std::strlen(extension);
  return path.size() >= length && strcasecmp(path.c_str() + path.size() - length, extension) == 0;
}

int Unusable(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "%s: the demo cannot use it: %s\n", path.c_str(), why.c_str());
  return 1;
}

// Counts and bounds of a loaded mesh, from its vertex buffer.
void PrintMesh(const Mesh& mesh) {
  float low[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, high[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  const BYTE* memory = mesh.vertexBuffer->Memory();
  for (uint32_t i = 0; i < mesh.vertexCount; ++i) {
    MeshVertex vertex;
    std::memcpy(&vertex, memory + size_t(i) * sizeof vertex, sizeof vertex);
    const float position[3] = {vertex.x, vertex.y, vertex.z};
    for (int a = 0; a < 3; ++a) {
      low[a] = std::min(low[a], position[a]);
      high[a] = std::max(high[a], position[a]);
    }
  }
  std::printf("  %u vertices, %u triangles\n", mesh.vertexCount, mesh.faceCount);
  std::printf("  bounds x %.2f .. %.2f, y %.2f .. %.2f, z %.2f .. %.2f\n", low[0], high[0], low[1],
              high[1], low[2], high[2]);
}

// A mesh loaded for one report; its buffers go back to the device with it.
struct InspectedMesh : Mesh {
  InspectedMesh() = default;
  InspectedMesh(const InspectedMesh&) = delete;
  InspectedMesh& operator=(const InspectedMesh&) = delete;
  ~InspectedMesh() {
    if (vertexBuffer) vertexBuffer->Release();
    if (indexBuffer) indexBuffer->Release();
  }
};

int InspectMsh(const std::string& path, const std::string& file) {
  if (const char* problem = MshProblem(file)) return Unusable(path, problem);
  ByteReader reader(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  uint32_t flags = 0;
  if (!reader.ReadU32(flags)) return Unusable(path, "shorter than its header");
  InspectedMesh mesh;
  mesh.LoadMsh(path.c_str(), nullptr, nullptr);
  std::printf("%s: .msh mesh, flags %u (normals %s, per-corner texture coordinates %s)\n",
              path.c_str(), flags, flags & 1 ? "yes" : "no", flags & 4 ? "yes" : "no");
  PrintMesh(mesh);
  return 0;
}

int InspectX(const std::string& path, const std::string& file) {
  InspectedMesh mesh;
  mesh.LoadX(path.c_str(), nullptr, nullptr);
  XFileFormat format;
  const bool known = ReadXFileFormat(file.data(), file.size(), format);
  if (mesh.vertexCount == 0) {
    if (file.compare(0, 4, "xof ") != 0) return Unusable(path, "not an X file (no xof header)");
    if (!known)
      return Unusable(path, "an X file of a version or encoding the loader does not read (\"" +
                                file.substr(0, 16) + "\")");
    const std::string problem = "malformed (counts, indices or structure), or no mesh in it";
    if (!format.binary && !format.compressed) return Unusable(path, problem);
    return Unusable(path, DescribeXFileFormat(format) + ": " +
                              (format.compressed ? "damaged compressed blocks, " : "") + problem);
  }
  std::printf("%s: %s, every mesh merged into one (normals are recomputed)\n", path.c_str(),
              DescribeXFileFormat(format).c_str());
  PrintMesh(mesh);
  return 0;
}

int InspectBmp(const std::string& path, const std::string& file) {
  IDirect3DTexture8* texture = nullptr;
  D3DXCreateTextureFromFileA(g_device, path.c_str(), &texture);
  ByteReader reader(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  uint32_t headerSize = 0, compression = 0;
  int32_t width = 0, height = 0;
  uint16_t planes = 0, bits = 0;
  const bool header = file.compare(0, 2, "BM") == 0 && reader.Seek(14) &&
                      reader.ReadU32(headerSize) && reader.ReadI32(width) &&
                      reader.ReadI32(height) && reader.ReadU16(planes) && reader.ReadU16(bits) &&
                      reader.ReadU32(compression);
  if (!texture) {
    if (!header) return Unusable(path, "not a BMP file, or shorter than its header");
    return Unusable(path, "a BMP the decoder refuses (" + std::to_string(bits) +
                              "-bit, compression " + std::to_string(compression) +
                              ", truncated or malformed data)");
  }
  static const char* const kCompression[] = {"none", "RLE8", "RLE4", "bit fields"};
  std::printf("%s: BMP picture %d x %d, %u-bit, compression %s, rows %s\n", path.c_str(),
              texture->Width(), texture->Height(), bits,
              compression < 4 ? kCompression[compression] : "other",
              height < 0 ? "top-down" : "bottom-up");
  texture->Release();
  return 0;
}

int InspectMp3(const std::string& path, const std::string& file) {
  // The first frame header: sync, MPEG version, layer, bitrate and sample rate.
  size_t at = file.compare(0, 3, "ID3") == 0 && file.size() >= 10
                  ? 10 + ((size_t(file[6] & 127) << 21) | (size_t(file[7] & 127) << 14) |
                          (size_t(file[8] & 127) << 7) | size_t(file[9] & 127))
                  : 0;
  while (at + 4 <= file.size() &&
         !(uint8_t(file[at]) == 0xFF && (uint8_t(file[at + 1]) & 0xE0) == 0xE0))
    ++at;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096) != 0)
    return Unusable(path, "no audio decoder available to check it");
  const std::string resolved = ResolveDataPath(path.c_str());
  Mix_Music* music = Mix_LoadMUS_RW(SDL_RWFromFile(resolved.c_str(), "rb"), SDL_TRUE);
  const double duration = music ? Mix_MusicDuration(music) : -1;
  if (music) Mix_FreeMusic(music);
  Mix_CloseAudio();
  if (!music || at + 4 > file.size() || duration <= 0)
    return Unusable(path, "the audio decoder cannot read it as MP3");
  static const int kBitrates[] = {0,   32,  40,  48,  56,  64,  80,  96,
                                  112, 128, 160, 192, 224, 256, 320, 0};
  static const int kRates[] = {44100, 48000, 32000, 0};
  const uint8_t b1 = uint8_t(file[at + 1]), b2 = uint8_t(file[at + 2]), b3 = uint8_t(file[at + 3]);
  const bool mpeg1Layer3 = (b1 & 0x1E) == 0x1A;
  std::printf("%s: MP3, %.1f s", path.c_str(), duration);
  if (mpeg1Layer3)
    std::printf(", %d Hz, %s, first frame %d kbps", kRates[(b2 >> 2) & 3],
                (b3 >> 6) == 3 ? "mono" : "stereo", kBitrates[b2 >> 4]);
  std::printf("\n");
  if (duration < 200)
    std::printf("  shorter than the demo's 200 s: it starts again from its beginning\n");
  return 0;
}

}  // namespace

int InspectFile(const std::string& path) {
  std::string file;
  const bool known = HasExtension(path, ".msh") || HasExtension(path, ".x") ||
                     HasExtension(path, ".bmp") || HasExtension(path, ".mp3");
  if (!known) {
    std::fprintf(stderr, "%s: not a kind of file the demo loads (.msh, .x, .bmp, .mp3)\n",
                 path.c_str());
    return 2;
  }
  if (!ReadDataFile(path.c_str(), file)) return Unusable(path, "it cannot be read");
  if (HasExtension(path, ".msh")) return InspectMsh(path, file);
  if (HasExtension(path, ".x")) return InspectX(path, file);
  if (HasExtension(path, ".bmp")) return InspectBmp(path, file);
  return InspectMp3(path, file);
}
