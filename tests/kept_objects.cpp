#include "tests/kept_objects.h"

#include <algorithm>

#include "effects/warp_grid.h"
#include "mesh/screen_picture.h"
#include "scenes/cube_fractal.h"
#include "scenes/forest_scene.h"

namespace {

template <typename Object>
void Release(Object*& object) {
  if (object) object->Release();
  object = nullptr;
}

void FreeChildren(CubeNode& node) {
  for (CubeNode*& child : node.children) {
    if (!child) continue;
    FreeChildren(*child);
    delete child;
    child = nullptr;
  }
}

}  // namespace

KeptObjects::~KeptObjects() {
  for (RefCounted* object : objects_) object->Release();
}

void KeptObjects::Add(RefCounted* object) {
  if (object && std::find(objects_.begin(), objects_.end(), object) == objects_.end())
    objects_.push_back(object);
}

void KeptObjects::Keep(const Mesh& mesh) {
  Add(mesh.vertexBuffer);
  Add(mesh.indexBuffer);
  Add(mesh.texture0);
  Add(mesh.texture1);
}

void KeptObjects::Keep(const WorldQuad& quad) {
  Add(quad.vertexBuffer);
  Add(quad.texture);
}

void KeptObjects::Keep(const MorphMesh& morph) {
  Add(morph.vertexBuffer);
  Add(morph.indexBuffer);
}

void ReleaseDemoObjects() {
  for (Mesh* mesh : {&g_cube1,    &g_cube2,    &g_cube3,    &g_cube4,    &g_cube5,     &g_morph1,
                     &g_morph2,   &g_vellmoth, &g_granbarr, &g_granstam, &g_alsten,    &g_stenbox,
                     &g_stenbox2, &g_rum,      &g_pelare,   &g_rip,      &g_eldpinnar, &g_eld,
                     &g_mark,     &g_himmel,   &g_huvud,    &g_hatt}) {
    Release(mesh->vertexBuffer);
    Release(mesh->indexBuffer);
    Release(mesh->texture0);
    Release(mesh->texture1);
  }
  Release(g_bricks.vertexBuffer);
  Release(g_bricks.texture);
  for (ScreenPicture* picture : {&g_titlePicture, &g_presentsPicture, &g_wherePicture,
                                 &g_finishPicture, &g_codePicture, &g_greetsPicture}) {
    Release(picture->vertexBuffer);
    Release(picture->texture);
  }
  for (WarpGrid* grid : {&g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB, &g_grayWarpA, &g_grayWarpB}) {
    Release(grid->vertexBuffer);
    Release(grid->indexBuffer);
    Release(grid->texture);
  }
  Release(g_morphMesh.vertexBuffer);
  Release(g_morphMesh.indexBuffer);
  g_morphMesh.texture = nullptr;
  FreeChildren(g_cubeRoot);
}
