// still_diff: how far two stills of the capture tool lie apart, per colour channel: the mean
// and the largest difference over all pixels, and how many pixels differ at all. The GPU
// check compares a driver's stills with llvmpipe's through it.
//
//   still_diff A.png B.png
//   mean 0.012 0.010 0.015  largest 3 2 4  differing 412 of 480000 pixels
//
// It reads the PNG files the capture tool writes (8-bit RGB, unfiltered rows, no
// interlacing) and refuses anything else, or stills of two sizes, with a one-line reason
// and exit status 2.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The capture tool renders at most 7680x4320.
constexpr uint32_t kMaxSide = 7680;

struct Still {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows top first, 3 bytes a pixel
};

uint32_t BigEndian(const std::string& bytes, size_t at) {
  return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
         (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
}

// Reads `path` into `still`; "" on success, else what is wrong with it.
std::string ReadStill(const std::string& path, Still& still) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return path + " is not a PNG file";
  std::string packed;
  bool header = false, end = false;
  for (size_t at = 8; !end;) {
    if (at + 12 > file.size()) return path + " ends before its last chunk";
    const uint32_t length = BigEndian(file, at);
    if (length > file.size() - at - 12) return path + " has a chunk longer than the file";
    const std::string type = file.substr(at + 4, 4);
    if (type == "IHDR") {
      if (length != 13) return path + " has a malformed header";
      still.width = BigEndian(file, at + 8);
      still.height = BigEndian(file, at + 12);
      if (file.compare(at + 16, 5, std::string("\x08\x02\x00\x00\x00", 5)) != 0)
        return path + " is not 8-bit RGB without interlacing, as the capture tool writes";
      if (still.width == 0 || still.height == 0 || still.width > kMaxSide ||
          still.height > kMaxSide)
        return path + " has a size the capture tool never writes";
      header = true;
    } else if (type == "IDAT") {
      packed.append(file, at + 8, length);
    }
    end = type == "IEND";
    at += 12 + size_t(length);
  }
  if (!header) return path + " has no header";

  const size_t row = size_t(still.width) * 3 + 1;
  std::vector<uint8_t> raw(row * still.height);
  uLongf size = uLongf(raw.size());
  if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                 uLong(packed.size())) != Z_OK ||
      size != raw.size())
    return path + " has pixel data that does not unpack to its size";
  still.rgb.reserve(raw.size() - still.height);
  for (size_t y = 0; y < still.height; ++y) {
    if (raw[y * row] != 0) return path + " has filtered rows, which the capture tool never writes";
    still.rgb.insert(still.rgb.end(), raw.begin() + long(y * row + 1),
                     raw.begin() + long((y + 1) * row));
  }
  return "";
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "still_diff: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: still_diff A.png B.png");
  Still a, b;
  for (const auto& [path, still] : {std::pair{argv[1], &a}, std::pair{argv[2], &b}})
    if (const std::string error = ReadStill(path, *still); !error.empty()) return Fail(error);
  if (a.width != b.width || a.height != b.height)
    return Fail("the stills differ in size: " + std::to_string(a.width) + "x" +
                std::to_string(a.height) + " and " + std::to_string(b.width) + "x" +
                std::to_string(b.height));

  double sum[3] = {};
  int largest[3] = {};
  size_t differing = 0;
  for (size_t i = 0; i < a.rgb.size(); i += 3) {
    bool differs = false;
    for (int c = 0; c < 3; ++c) {
      const int d = std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c]));
      sum[c] += d;
      largest[c] = std::max(largest[c], d);
      differs = differs || d != 0;
    }
    differing += differs;
  }
  const double pixels = double(a.rgb.size() / 3);
  std::printf("mean %.3f %.3f %.3f  largest %d %d %d  differing %zu of %zu pixels\n",
              sum[0] / pixels, sum[1] / pixels, sum[2] / pixels, largest[0], largest[1], largest[2],
              differing, a.rgb.size() / 3);
  return 0;
}
