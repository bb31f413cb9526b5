// A complete, tiny data set for the demo, written by tests into a fresh temporary
// directory that becomes the current directory (so "Data\..." paths find it).
//
// Every model is a small textured cube or quad and every picture a flat bright colour,
// so that whatever the schedule draws shows on screen.
#pragma once

#include <filesystem>
#include <string>

class DemoDataDir {
 public:
  // Makes the directory; with `withData`, fills Data/ with every file the demo loads.
  explicit DemoDataDir(bool withData = true);
  ~DemoDataDir();
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
  std::filesystem::path previous_;
};

// Writes `bytes` to `path` (relative to the current directory).
void WriteFile(const std::string& path, const std::string& bytes);
// A 24-bit BMP of width x height texels, all of colour 0xRRGGBB.
std::string SolidBmp(int width, int height, uint32_t rgb);
