// Smooth vertex normals for meshes that arrive without usable ones.
// Promises: each vertex gets the normalised sum of the unit normals of the triangles
// using it, each weighted by the triangle's angle at that vertex, so the result does not
// depend on how a surface happens to be split into triangles. Runs in O(vertices +
// triangles) without allocating.
// Does not: split vertices at hard edges (duplicate them beforehand for that), or
// reorient faces; the winding decides which side a normal points to.
#pragma once

#include <cstddef>
#include <cstdint>

// positions: 3 floats per vertex. indices: 3 per triangle. normalsOut: 3 floats per vertex.
// Face normal = normalize((p1 - p0) x (p2 - p0)). Triangles with an index out of range
// or (near) zero area are ignored; vertices left with no usable contribution, or whose
// contributions cancel, get (0, 0, 0).
void ComputeAngleWeightedNormals(const float* positions, size_t vertexCount,
                                 const uint32_t* indices, size_t triangleCount, float* normalsOut);
