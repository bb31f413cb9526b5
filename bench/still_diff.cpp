// still_diff: how far two stills of the capture tool lie apart, per colour channel: the mean
// and the largest difference over all pixels, and how many pixels differ at all. The GPU
// check compares a driver's stills with llvmpipe's through it.
//
//   still_diff A.png B.png
//   mean 0.012 0.010 0.015  largest 3 2 4  differing 412 of 480000 pixels
//
// It reads PNG files through libpng, as RGB, and refuses a file it cannot read, or stills
// of two sizes, with a one-line reason and exit status 2.
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The capture tool renders at most 7680x4320.
constexpr uint32_t kMaxSide = 7680;

struct Still {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows top first, 3 bytes a pixel
};

// Reads `path` into `still` through libpng; "" on success, else what is wrong with it.
std::string ReadStill(const std::string& path, Still& still) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str()))
    return "cannot read " + path + " as a PNG file (" + png.message + ")";
  if (png.width == 0 || png.height == 0 || png.width > kMaxSide || png.height > kMaxSide) {
    png_image_free(&png);
    return path + " has a size the capture tool never writes";
  }
  png.format = PNG_FORMAT_RGB;
  still.width = png.width;
  still.height = png.height;
  still.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, still.rgb.data(), 0, nullptr))
    return path + " is damaged (" + png.message + ")";
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
