// Noise for the procedural textures: an integer hash, gradient noise and fractal sums whose
// lattice wraps with a whole number of cells per tile, and cellular (Worley) noise on a wrapped
// grid of feature points. Every function takes tile coordinates u, v (one tile = 0..1) and a
// seed, and repeats exactly when u or v moves by 1, so textures built from them tile seamlessly.
//
// Promises: pure functions of their arguments (fixed tables, no global state that changes).
// Does not: choose colours or sizes (the painters do).
#pragma once

#include <cstdint>

namespace textures {

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed);
// Hash mapped to [0, 1).
float Hash01(uint32_t x, uint32_t y, uint32_t seed);

// Gradient noise with periodX x periodY lattice cells per tile; about -1..1, 0 on average.
float Noise(float u, float v, int periodX, int periodY, uint32_t seed);

// A fractal sum of `octaves` noise layers, the first with periodX x periodY cells, each next
// one with twice the cells and `gain` times the amplitude; normalised to about -1..1.
float Fbm(float u, float v, int periodX, int periodY, int octaves, uint32_t seed,
          float gain = 0.5f);

struct CellSample {
  float f1 = 0;     // distance to the nearest feature point, in cells
  float f2 = 0;     // distance to the second nearest
  uint32_t id = 0;  // hash of the nearest point's (wrapped) cell
};

// Cellular noise: one feature point per cell of a periodX x periodY grid.
CellSample Cells(float u, float v, int periodX, int periodY, uint32_t seed);

float Clamp01(float x);
// Distance from point p to the segment a-b; `along` receives where the nearest point lies
// (0 at a, 1 at b) when not null.
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by,
                      float* along = nullptr);
float Smoothstep(float edge0, float edge1, float x);

}  // namespace textures
