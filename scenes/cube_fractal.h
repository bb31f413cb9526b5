// The cube fractal: a root cube with six cubes on its faces, six on each of theirs, and so
// on for four levels, every cube spinning about the axis it sits on and carrying its
// subtree with it, while the root tumbles about all three axes.
//
// The tree's shape is built once at start-up; DrawCubeTree recomputes every cube's world
// transform from the uptime clock on each call (one fresh reading per angle) and draws
// it with its level's cube mesh. Nothing is cached between frames.
#pragma once

#include <cstdint>

struct CubeNode {
  float size;             // edge length of the cube model: 100
  float scale;            // uniform scale of this node's cube
  int8_t axis;            // direction from the parent, 0..5 (see AxisVector)
  CubeNode* children[6];  // null in the last level
};

// The root: size 100, scale 8. Its 1554 descendants live on the heap for the whole run.
extern CubeNode g_cubeRoot;

// Allocates the four levels below the root, depth first. Ends the program with a
// message when memory runs out.
void BuildCubeTree();

// The component of (x, y, z) on the axis line of `axis` (0 or 3: x, 1 or 4: y, 2 or 5: z),
// the other two zero. Outputs stay unwritten for any other axis.
void AxisComponent(int axis, float x, float y, float z, float* ox, float* oy, float* oz);
// The unit vector of `axis`: +x, +y, +z, -x, -y, -z for 0..5; unwritten for other values.
void AxisVector(int axis, float* x, float* y, float* z);

// Draws levels 0 .. depth - 1: nothing for 0 or less, the root alone for 1, the whole
// tree (1555 cubes) for 5 or more.
void DrawCubeTree(int depth);
