// The demo's objects that hold device resources (buffers and textures), listed once, beside
// their definitions in app/demo_objects.cpp. The demo itself never releases them; a tool
// that loads the demo again (tools/common/demo_reset.h) walks this list, so an object added
// to the demo is added here, where it is defined, and is released with the rest.
#pragma once

#include <vector>

class Mesh;
class MorphMesh;
class ScreenPicture;
class WarpGrid;
class WorldQuad;

// Pointers to the objects, by kind, in the order of their definitions.
struct DemoObjectList {
  std::vector<Mesh*> meshes;
  std::vector<ScreenPicture*> pictures;
  std::vector<WarpGrid*> grids;
  std::vector<WorldQuad*> quads;
  std::vector<MorphMesh*> morphMeshes;  // their textures belong to the meshes they morph
};

const DemoObjectList& DemoObjects();
