// The small model type the default models are built in, and the shape helpers they share.
//
// A Model is an indexed triangle list with optional per-vertex texture coordinates: the
// .msh format lists coordinates per face corner but stores them per vertex, and an .x file
// has them per vertex, so a seam is made by duplicating vertices, never by corner values.
// Promises: every helper is a pure function of its arguments (noise included), so a model
// comes out the same on every run; indices always stay within the model's vertices.
// Does not: write files (model_writers.h) or know where a model is placed in a scene.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
float Length(Vec3 v);
Vec3 Normalize(Vec3 v);  // (0, 0, 0) stays (0, 0, 0)
Vec3 Cross(Vec3 a, Vec3 b);

struct Vec2 {
  float u = 0, v = 0;
};

struct Model {
  std::vector<Vec3> positions;
  std::vector<Vec2> uvs;  // one per position, or empty for a model mapped at load time
  std::vector<std::array<uint32_t, 3>> triangles;
};

// A surface over s, t in 0..1: position and texture coordinates.
using SurfaceFn = std::function<Vec3(float s, float t)>;
using UvFn = std::function<Vec2(float s, float t)>;

// A (cols + 1) x (rows + 1) vertex grid over the surface, two triangles per cell, wound so
// that the face normal points along dP/ds x dP/dt. A null uv function adds no coordinates
// (for models whose coordinates the demo generates at load time).
void AddGrid(Model& model, int cols, int rows, const SurfaceFn& position, const UvFn& uv);
// A polygon given as a closed outline, fanned from its centroid (for convex outlines).
void AddFan(Model& model, const std::vector<Vec3>& outline, const std::vector<Vec2>& uvs);
void Append(Model& into, const Model& part);
void TransformPositions(Model& model, const std::function<Vec3(Vec3)>& transform);
// Triangles with two corners at one position (grid rows collapsed to a point) add nothing
// to the picture; dropping them keeps the triangle budget for what shows.
void DropDegenerateTriangles(Model& model);

// Lattice value noise in -1..1, smooth between integer points; the seed picks the lattice.
float ValueNoise(Vec3 p, uint32_t seed);
// Octaves of ValueNoise, each twice the frequency and half the amplitude; about -1..1.
float FractalNoise(Vec3 p, int octaves, uint32_t seed);

// A closed box of the given half sizes around `center`, its edges rounded with `radius`,
// its faces split into `divisions` x `divisions` cells, every vertex pushed along the
// rounded surface's normal by `lump` x FractalNoise of its position x `grain` (rough
// stone). Vertices are welded, and triangles face outward.
struct BlockShape {
  Vec3 center, half;
  float radius = 0;
  int divisions = 1;
  float lump = 0, grain = 0.1f;
  uint32_t seed = 0;
};
Model RoundedBlock(const BlockShape& shape);

// Rotation about x by `angle` as Mesh::Rotate applies it to row vectors (y' = y c - z s,
// z' = y s + z c); the models undo a placement's turn with the negative angle.
Vec3 RotateX(Vec3 p, float angle);
// Rotation about y as Mesh::Rotate applies it (x' = x c + z s, z' = -x s + z c).
Vec3 RotateY(Vec3 p, float angle);

inline constexpr float kPi = 3.14159265f;
