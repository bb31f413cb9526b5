#include "scenes/cube_fractal.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "core/demo_clock.h"
#include "mesh/mesh.h"

CubeNode g_cubeRoot;

namespace {

constexpr int kLevels = 5;
constexpr float kLevelScale[kLevels] = {8.0f, 4.0f, 2.0f, 0.7f, 0.3f};
// Spin speeds (radians per second) about x, y and z, by level.
constexpr float kSpin[kLevels][3] = {
    {-0.4f, -0.2f, 0.1f}, {-0.3f, 0.4f, 0.2f}, {0.5f, -0.3f, -0.4f},
    {0.5f, -0.3f, 0.6f},  {0.6f, 0.7f, -0.5f},
};
Mesh* const kLevelMesh[kLevels] = {&g_cube1, &g_cube2, &g_cube3, &g_cube4, &g_cube5};

void FillChildren(CubeNode& node, int level) {
  for (int8_t k = 0; k < 6; ++k) {
    if (level >= kLevels) {
      node.children[k] = nullptr;
      continue;
    }
    CubeNode* child = new (std::nothrow) CubeNode{100.0f, kLevelScale[level], k, {}};
    if (!child) {
      std::fprintf(stderr, "emberhall: out of memory while building the cube fractal\n");
      std::exit(EXIT_FAILURE);
    }
    node.children[k] = child;
    FillChildren(*child, level + 1);
  }
}

// The root's tumble: about x, y and z at once, each angle from its own clock reading.
void RootSpin(Mesh& mesh) {
  mesh.Rotate(float(kSpin[0][0] * ClockNow()), float(kSpin[0][1] * ClockNow()),
              float(kSpin[0][2] * ClockNow()));
}

// A node's own spin about the axis it sits on, at its level's speed for that axis.
void OwnSpin(Mesh& mesh, int level, int axis) {
  float cx = 0, cy = 0, cz = 0;
  AxisComponent(axis, kSpin[level][0], kSpin[level][1], kSpin[level][2], &cx, &cy, &cz);
  mesh.Rotate(float(cx * ClockNow()), float(cy * ClockNow()), float(cz * ClockNow()));
}

// Places and draws the cube path[level] (path[0] is the root): its own spin and scale,
// the push onto its parent's face, then each ancestor's spin and push outward to the root.
void DrawNode(const CubeNode* const* path, int level) {
  Mesh& mesh = *kLevelMesh[level];
  for (int l = level; l >= 1; --l) {
    const CubeNode& node = *path[l];
    const CubeNode& parent = *path[l - 1];
    OwnSpin(mesh, l, node.axis);
    if (l == level) mesh.Scale(node.scale);
    float ux = 0, uy = 0, uz = 0;
    AxisVector(node.axis, &ux, &uy, &uz);
    const float d = parent.size * parent.scale / 2 + node.size * node.scale / 2;
    mesh.Translate(d * ux, d * uy, d * uz);
  }
  RootSpin(mesh);
  mesh.Draw();
}

// Pre-order: path[level] first, then its children in axis order, down to `lastLevel`.
void DrawSubtree(const CubeNode** path, int level, int lastLevel) {
  DrawNode(path, level);
  if (level == lastLevel) return;
  for (const CubeNode* child : path[level]->children) {
    if (!child) continue;
    path[level + 1] = child;
    DrawSubtree(path, level + 1, lastLevel);
  }
}

}  // namespace

void BuildCubeTree() {
  g_cubeRoot.size = 100.0f;
  g_cubeRoot.scale = kLevelScale[0];
  g_cubeRoot.axis = 0;
  FillChildren(g_cubeRoot, 1);
}

void AxisComponent(int axis, float x, float y, float z, float* ox, float* oy, float* oz) {
  if (axis < 0 || axis > 5) return;
  const int line = axis % 3;
  *ox = line == 0 ? x : 0.0f;
  *oy = line == 1 ? y : 0.0f;
  *oz = line == 2 ? z : 0.0f;
}

void AxisVector(int axis, float* x, float* y, float* z) {
  if (axis < 0 || axis > 5) return;
  const float sign = axis < 3 ? 1.0f : -1.0f;
  const int line = axis % 3;
  *x = line == 0 ? sign : 0.0f;
  *y = line == 1 ? sign : 0.0f;
  *z = line == 2 ? sign : 0.0f;
}

void DrawCubeTree(int depth) {
  if (depth <= 0) return;
  Mesh& root = g_cube1;
  RootSpin(root);
  root.Scale(g_cubeRoot.scale);
  root.Draw();
  const int lastLevel = (depth < kLevels ? depth : kLevels) - 1;
  if (lastLevel < 1) return;
  const CubeNode* path[kLevels] = {&g_cubeRoot};
  for (const CubeNode* child : g_cubeRoot.children) {
    if (!child) continue;
    path[1] = child;
    DrawSubtree(path, 1, lastLevel);
  }
}
