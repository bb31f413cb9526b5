#include "tools/common/demo_reset.h"

#include "app/demo_objects.h"
#include "core/random.h"
#include "effects/morph_mesh.h"
#include "effects/warp_grid.h"
#include "mesh/mesh.h"
#include "mesh/screen_picture.h"
#include "mesh/world_quad.h"
#include "scenes/camera.h"
#include "scenes/cube_fractal.h"
#include "scenes/forest_scene.h"
#include "timeline/forest_sequence.h"

namespace {

template <typename Object>
void Release(Object* object) {
  if (object) object->Release();
}

void FreeChildren(CubeNode& node) {
  for (CubeNode* child : node.children) {
    if (!child) continue;
    FreeChildren(*child);
    delete child;
  }
}

}  // namespace

void ResetDemo() {
  const DemoObjectList& objects = DemoObjects();
  for (Mesh* mesh : objects.meshes) {
    Release(mesh->vertexBuffer);
    Release(mesh->indexBuffer);
    Release(mesh->texture0);
    Release(mesh->texture1);
    *mesh = Mesh();
  }
  for (WorldQuad* quad : objects.quads) {
    Release(quad->vertexBuffer);
    Release(quad->texture);
    *quad = WorldQuad();
  }
  for (ScreenPicture* picture : objects.pictures) {
    Release(picture->vertexBuffer);
    Release(picture->texture);
    *picture = ScreenPicture();
  }
  static const WarpGrid kEmptyGrid;  // 640 KB of cells: not on the stack
  for (WarpGrid* grid : objects.grids) {
    Release(grid->vertexBuffer);
    Release(grid->indexBuffer);
    Release(grid->texture);
    *grid = kEmptyGrid;
  }
  for (MorphMesh* morph : objects.morphMeshes) {  // its texture is its source mesh's
    Release(morph->vertexBuffer);
    Release(morph->indexBuffer);
    *morph = MorphMesh();
  }
  FreeChildren(g_cubeRoot);
  g_cubeRoot = CubeNode();
  g_defaultCamera = Camera();
  g_camera = Camera();
  g_forestScene = ForestScene();
  SRand(1);
  g_forestPhase = 1;
  g_forestPhaseStart = 0.0f;
}
