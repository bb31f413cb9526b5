#include "tests/test_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

TempDir::TempDir(const std::string& tag)
    : path_(std::filesystem::temp_directory_path() /
            ("emberhall_" + tag + "_" + std::to_string(getpid()))) {
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::filesystem::remove_all(path_);
}

std::string FileContents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

void Put16(std::string& out, uint32_t value) {
  out += char(value & 255);
  out += char(value >> 8 & 255);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutFloat(std::string& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  Put32(out, bits);
}

std::string Bmp24(int width, int height, const std::vector<uint32_t>& texels) {
  const int stride = (width * 3 + 3) & ~3;
  std::string out = "BM";
  Put32(out, uint32_t(54 + stride * height)), Put32(out, 0), Put32(out, 54);
  Put32(out, 40), Put32(out, uint32_t(width)), Put32(out, uint32_t(height));
  Put16(out, 1), Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = texels[size_t(y * width + x)];
      out += char(c & 255), out += char(c >> 8 & 255), out += char(c >> 16 & 255);
    }
    out.append(size_t(stride - width * 3), '\0');
  }
  return out;
}

std::string SilentWav(double seconds) {
  const uint32_t bytes = uint32_t(seconds * 44100) * 4;
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
