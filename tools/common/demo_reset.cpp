#include "tools/common/demo_reset.h"

#include "effects/morph_mesh.h"
#include "effects/warp_grid.h"
#include "mesh/mesh.h"
#include "mesh/screen_picture.h"
#include "mesh/world_quad.h"
#include "scenes/camera.h"
#include "scenes/cube_fractal.h"
#include "scenes/forest_scene.h"
#include "timeline/forest_sequence.h"
#include "timeline/random.h"

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
  for (Mesh* mesh : {&g_cube1,    &g_cube2,    &g_cube3,    &g_cube4,    &g_cube5,     &g_morph1,
                     &g_morph2,   &g_vellmoth, &g_granbarr, &g_granstam, &g_alsten,    &g_stenbox,
                     &g_stenbox2, &g_rum,      &g_pelare,   &g_rip,      &g_eldpinnar, &g_eld,
                     &g_mark,     &g_himmel,   &g_huvud,    &g_hatt}) {
    Release(mesh->vertexBuffer);
    Release(mesh->indexBuffer);
    Release(mesh->texture0);
    Release(mesh->texture1);
    *mesh = Mesh();
  }
  Release(g_bricks.vertexBuffer);
  Release(g_bricks.texture);
  g_bricks = WorldQuad();
  for (ScreenPicture* picture : {&g_titlePicture, &g_presentsPicture, &g_wherePicture,
                                 &g_finishPicture, &g_codePicture, &g_greetsPicture}) {
    Release(picture->vertexBuffer);
    Release(picture->texture);
    *picture = ScreenPicture();
  }
  static const WarpGrid kEmptyGrid;  // 640 KB of cells: not on the stack
  for (WarpGrid* grid : {&g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB, &g_grayWarpA, &g_grayWarpB}) {
    Release(grid->vertexBuffer);
    Release(grid->indexBuffer);
    Release(grid->texture);
    *grid = kEmptyGrid;
  }
  Release(g_morphMesh.vertexBuffer);
  Release(g_morphMesh.indexBuffer);
  g_morphMesh = MorphMesh();  // its texture is g_morph1's
  FreeChildren(g_cubeRoot);
  g_cubeRoot = CubeNode();
  g_defaultCamera = Camera();
  g_camera = Camera();
  g_forestScene = ForestScene();
  SRand(1);
  g_forestPhase = 1;
  g_forestPhaseStart = 0.0f;
}
