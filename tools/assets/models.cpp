#include "tools/assets/models.h"

#include <array>
#include <cstdio>
#include <iterator>

#include "tools/assets/model_builders.h"
#include "tools/assets/model_writers.h"

namespace {

enum class Format { X, Msh };

struct ModelFile {
  const char* name;
  Format format;
  Model (*build)();
};

constexpr ModelFile kModelFiles[] = {
    {"kub.x", Format::X, BuildCube},
    {"morph1.x", Format::X, BuildStoneBody},
    {"morph2.x", Format::X, BuildBoulderBody},
    {"granbarr.x", Format::X, BuildSpruceNeedles},
    {"granstam.x", Format::X, BuildSpruceTrunk},
    {"vellmoth.msh", Format::Msh, BuildVellmoth},
    {"alsten.msh", Format::Msh, BuildRingStone},
    {"stenbox.msh", Format::Msh, BuildStoneBlock},
    {"stenbox2.msh", Format::Msh, BuildAltarSlab},
    {"rum.msh", Format::Msh, BuildHall},
    {"pelare.msh", Format::Msh, BuildPillar},
    {"rip.msh", Format::Msh, BuildCrossStone},
    {"eldpinnar.msh", Format::Msh, BuildFireSticks},
    {"eld.msh", Format::Msh, BuildFire},
    {"mark.msh", Format::Msh, BuildGround},
    {"himmel.msh", Format::Msh, BuildSky},
    {"huvud.msh", Format::Msh, BuildHead},
    {"hatt.msh", Format::Msh, BuildHat},
};

constexpr auto kNames = [] {
  std::array<const char*, std::size(kModelFiles)> names{};
  for (size_t i = 0; i < names.size(); ++i) names[i] = kModelFiles[i].name;
  return names;
}();

// The name without its extension, as the .x file's Mesh object is called.
std::string MeshName(const char* fileName) {
  const std::string name = fileName;
  return name.substr(0, name.find('.'));
}

std::string Bytes(const ModelFile& file) {
  const Model model = file.build();
  return file.format == Format::X ? XText(model, MeshName(file.name)) : MshBytes(model);
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

std::span<const char* const> ModelFiles() {
  return kNames;
}

std::string ModelBytes(std::string_view fileName) {
  for (const ModelFile& file : kModelFiles)
    if (file.name == fileName) return Bytes(file);
  return {};
}

bool WriteModels(const std::string& dataDir) {
  for (const ModelFile& file : kModelFiles) {
    const std::string path = dataDir + "/" + file.name;
    if (!WriteBytes(path, Bytes(file))) {
      std::fprintf(stderr, "emberhall-assets: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}
