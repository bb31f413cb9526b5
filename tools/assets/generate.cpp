#include "tools/assets/generate.h"

#include <cstdio>
#include <filesystem>

#include "tools/assets/captions.h"
#include "tools/assets/models.h"
#include "tools/assets/mp3_encoder.h"
#include "tools/assets/soundtrack.h"
#include "tools/assets/textures.h"

namespace {

bool WriteSoundtrack(const std::string& dataDir) {
  const std::vector<uint8_t> mp3 = EncodeMp3(SynthesizeSoundtrack(), 44100);
  const std::string path = dataDir + "/solen.mp3";
  FILE* file = mp3.empty() ? nullptr : std::fopen(path.c_str(), "wb");
  const bool written = file && std::fwrite(mp3.data(), 1, mp3.size(), file) == mp3.size();
  if (file && std::fclose(file) != 0) return false;
  if (!written) std::fprintf(stderr, "emberhall-assets: cannot write %s\n", path.c_str());
  return written;
}

}  // namespace

bool GenerateDataSet(const std::string& dataDir) {
  std::error_code error;
  std::filesystem::create_directories(dataDir, error);
  if (error) {
    std::fprintf(stderr, "emberhall-assets: cannot make %s: %s\n", dataDir.c_str(),
                 error.message().c_str());
    return false;
  }
  return WriteModels(dataDir) && WriteTextures(dataDir) && WriteCaptions(dataDir) &&
         WriteSoundtrack(dataDir);
}
