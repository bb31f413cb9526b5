#include "tests/png_image.h"

#include <zlib.h>

#include "tests/test_files.h"

uint32_t BigEndian(const std::string& bytes, size_t at) {
  return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
         (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
}

Image ReadPng(const std::string& path) {
  const std::string file = FileContents(path);
  Image image;
  std::string packed;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = BigEndian(file, at);
    const std::string type = file.substr(at + 4, 4);
    if (type == "IHDR") {
      image.width = int(BigEndian(file, at + 8));
      image.height = int(BigEndian(file, at + 12));
    }
    if (type == "IDAT") packed += file.substr(at + 8, length);
    at += 12 + size_t(length);
  }
  const size_t row = size_t(image.width) * 3 + 1;
  std::vector<uint8_t> raw(row * size_t(image.height));
  uLongf size = uLongf(raw.size());
  if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                 uLong(packed.size())) != Z_OK ||
      size != raw.size())
    return {};
  for (int y = 0; y < image.height; ++y)
    image.rgb.insert(image.rgb.end(), raw.begin() + long(y * row + 1),
                     raw.begin() + long((y + 1) * row));
  return image;
}
