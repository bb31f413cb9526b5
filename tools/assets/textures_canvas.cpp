// Canvas painting, area resampling, box blurs and BMP output through SDL.
#include "tools/assets/textures_canvas.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace textures {
namespace {

struct Tap {
  int index;
  float weight;
};

// For each of `to` output cells, the source cells it overlaps and by how much (weights sum to
// one), when `from` source cells are squeezed or stretched onto `to`.
std::vector<std::vector<Tap>> AreaTaps(int from, int to) {
  std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
  const double scale = double(from) / double(to);
  for (int i = 0; i < to; ++i) {
    const double begin = i * scale;
    const double end = (i + 1) * scale;
    for (int s = int(std::floor(begin)); s < int(std::ceil(end)) && s < from; ++s) {
      const double overlap = std::min(end, double(s + 1)) - std::max(begin, double(s));
      if (overlap > 0.0) taps[size_t(i)].push_back({s, float(overlap / scale)});
    }
  }
  return taps;
}

uint8_t ToByte(float c) {
  const float clamped = c < 0.0f ? 0.0f : (c > 1.0f ? 1.0f : c);
  return uint8_t(std::lround(clamped * 255.0f));
}

// One box-blur pass along a line of `count` values `stride` apart; zero beyond both ends.
void BoxLine(float* line, int count, int stride, int radius, std::vector<float>& scratch) {
  scratch.assign(size_t(count), 0.0f);
  float sum = 0.0f;
  for (int i = 0; i <= std::min(radius, count - 1); ++i) sum += line[i * stride];
  const float norm = 1.0f / float(2 * radius + 1);
  for (int i = 0; i < count; ++i) {
    scratch[size_t(i)] = sum * norm;
    const int enter = i + radius + 1;
    const int leave = i - radius;
    if (enter < count) sum += line[enter * stride];
    if (leave >= 0) sum -= line[leave * stride];
  }
  for (int i = 0; i < count; ++i) line[i * stride] = scratch[size_t(i)];
}

}  // namespace

Rgb Ramp(float t, std::initializer_list<ColourStop> stops) {
  const ColourStop* previous = stops.begin();
  if (t <= previous->at) return previous->colour;
  for (const ColourStop& stop : stops) {
    if (t <= stop.at) {
      return Mix(previous->colour, stop.colour, (t - previous->at) / (stop.at - previous->at));
    }
    previous = &stop;
  }
  return previous->colour;
}

Canvas Paint(int width, int height, const std::function<Rgb(float u, float v)>& shade) {
  Canvas canvas(width, height);
  for (int y = 0; y < height; ++y) {
    const float v = (float(y) + 0.5f) / float(height);
    for (int x = 0; x < width; ++x) canvas.At(x, y) = shade((float(x) + 0.5f) / float(width), v);
  }
  return canvas;
}

Canvas Resample(const Canvas& source, int width, int height) {
  const auto columns = AreaTaps(source.width, width);
  const auto rows = AreaTaps(source.height, height);
  Canvas wide(width, source.height);
  for (int y = 0; y < source.height; ++y) {
    for (int x = 0; x < width; ++x) {
      Rgb sum;
      for (const Tap& tap : columns[size_t(x)]) sum += source.At(tap.index, y) * tap.weight;
      wide.At(x, y) = sum;
    }
  }
  Canvas out(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Rgb sum;
      for (const Tap& tap : rows[size_t(y)]) sum += wide.At(x, tap.index) * tap.weight;
      out.At(x, y) = sum;
    }
  }
  return out;
}

Plane Blur(const Plane& source, int radius) {
  Plane out = source;
  std::vector<float> scratch;
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < out.height; ++y) BoxLine(&out.At(0, y), out.width, 1, radius, scratch);
    for (int x = 0; x < out.width; ++x) {
      BoxLine(&out.At(x, 0), out.height, out.width, radius, scratch);
    }
  }
  return out;
}

bool SaveCanvasBmp(const Canvas& canvas, const std::string& path) {
  // BGR24 is the BMP's own byte order, so SDL writes the rows without converting them.
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, canvas.width, canvas.height, 24, SDL_PIXELFORMAT_BGR24);
  if (!surface) return false;
  for (int y = 0; y < canvas.height; ++y) {
    uint8_t* row = static_cast<uint8_t*>(surface->pixels) + ptrdiff_t(y) * surface->pitch;
    for (int x = 0; x < canvas.width; ++x) {
      const Rgb& c = canvas.At(x, y);
      row[3 * x + 0] = ToByte(c.b);
      row[3 * x + 1] = ToByte(c.g);
      row[3 * x + 2] = ToByte(c.r);
    }
  }
  const bool saved = SDL_SaveBMP(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

}  // namespace textures
