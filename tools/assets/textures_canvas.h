// The float RGB canvas the procedural pictures are painted on, the few image operations they
// share (area resampling, a Gaussian-like blur) and writing a canvas as a 24-bit BMP file.
//
// Promises: plain arithmetic with no clock and no platform random numbers, so the same
// painting gives the same bytes on every run; colours are clamped to 0..1 only when saved.
// Does not: decide what any picture shows (textures_*.cpp, captions.cpp) or read images back.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace textures {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator-(Rgb a, Rgb b) {
  return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Rgb operator*(Rgb a, float s) {
  return {a.r * s, a.g * s, a.b * s};
}
inline Rgb& operator+=(Rgb& a, Rgb b) {
  return a = a + b;
}
inline Rgb Mix(Rgb a, Rgb b, float t) {
  return a + (b - a) * t;
}

struct ColourStop {
  float at;
  Rgb colour;
};

// The colour at t along stops given in rising order of `at`, blended linearly between them
// and held at the first and last stop outside their range.
Rgb Ramp(float t, std::initializer_list<ColourStop> stops);

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // row after row, top row first

  Canvas(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}
  Rgb& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  const Rgb& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// A single-channel float image (text masks, glow).
struct Plane {
  int width = 0;
  int height = 0;
  std::vector<float> values;  // row after row, top row first

  Plane(int w, int h) : width(w), height(h), values(size_t(w) * size_t(h)) {}
  float& At(int x, int y) { return values[size_t(y) * size_t(width) + size_t(x)]; }
  float At(int x, int y) const { return values[size_t(y) * size_t(width) + size_t(x)]; }
};

// A canvas whose every pixel is shade(u, v), sampled at pixel centres: u = (x + 0.5) / width
// and v = (y + 0.5) / height, so a shade that repeats with period 1 in u and v gives a
// texture that tiles without a seam.
Canvas Paint(int width, int height, const std::function<Rgb(float u, float v)>& shade);

// `source` scaled to width x height, each output pixel the exact average of the source area it
// covers (a supersampled design shrinks without aliasing; different x and y factors allowed).
Canvas Resample(const Canvas& source, int width, int height);

// Three passes of a box blur of the given radius along each axis (close to a Gaussian of
// sigma ~ radius); outside the plane counts as zero.
Plane Blur(const Plane& source, int radius);

// Writes the canvas as an uncompressed 24-bit BMP through SDL. False on any failure.
bool SaveCanvasBmp(const Canvas& canvas, const std::string& path);

}  // namespace textures
