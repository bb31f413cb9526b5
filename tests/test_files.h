// Small data files written by tests: little-endian fields, BMP pictures and silent audio.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh, empty temporary folder for one test's files, removed with everything in it
// when the object goes; unlike DemoDataDir it does not become the current directory.
class TempDir {
 public:
  explicit TempDir(const std::string& tag);
  ~TempDir();
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The whole file at `path`; "" when it cannot be read.
std::string FileContents(const std::filesystem::path& path);
// Writes `bytes` as the whole file at `path`; false when it cannot.
bool WriteBytes(const std::filesystem::path& path, const std::string& bytes);

void Put16(std::string& out, uint32_t value);
void Put32(std::string& out, uint32_t value);
void PutFloat(std::string& out, float value);

// A bottom-up 24-bit BMP of 0xRRGGBB texels given top row first.
std::string Bmp24(int width, int height, const std::vector<uint32_t>& texels);
// `seconds` of 16-bit stereo silence at 44.1 kHz as a WAV file, which the audio library
// plays as readily as an MP3.
std::string SilentWav(double seconds);
