// The demo's global objects (cameras, meshes, pictures, grids, the forest scene and the
// demo clock), defined here in the order of their construction. Their constructors only
// set fields and their destructors do nothing: the device does not exist yet when they are
// made, and the program releases nothing at exit. The shell's own plain globals are
// defined beside the code that owns them: the screen size and the device in
// device_globals.cpp, the sound track's stream in demo_loading.cpp.

#include "app/demo_objects.h"

#include "core/demo_clock.h"
#include "effects/morph_mesh.h"
#include "effects/warp_grid.h"
#include "mesh/mesh.h"
#include "mesh/screen_picture.h"
#include "scenes/camera.h"
#include "scenes/forest_scene.h"

// The demo clock holds one float and needs no construction work, so its place among
// the globals does not matter; it comes first so that the objects below keep the order
// in which start-up builds them.
DemoClock g_demoClock;

Camera g_defaultCamera;
Camera g_camera;

// The meshes of the main sequence; LoadDemo fills them.
Mesh g_cube1;
Mesh g_cube2;
Mesh g_cube3;
Mesh g_cube4;
Mesh g_cube5;
Mesh g_morph1;
Mesh g_morph2;
Mesh g_vellmoth;

ScreenPicture g_titlePicture;
ScreenPicture g_presentsPicture;
ScreenPicture g_wherePicture;
ScreenPicture g_finishPicture;
ScreenPicture g_codePicture;
ScreenPicture g_greetsPicture;

WarpGrid g_tex3Warp;
WarpGrid g_tex2WarpA;
WarpGrid g_tex2WarpB;
WarpGrid g_grayWarpA;
WarpGrid g_grayWarpB;

// The morph mesh; LoadDemo builds it from g_morph1.
MorphMesh g_morphMesh;

// The models of the forest glade and the stone room; ForestScene::Load fills them.
Mesh g_granbarr;
Mesh g_granstam;
Mesh g_alsten;
Mesh g_stenbox;
Mesh g_stenbox2;
Mesh g_rum;
Mesh g_pelare;
Mesh g_rip;
WorldQuad g_bricks;
Mesh g_eldpinnar;
Mesh g_eld;
Mesh g_mark;
Mesh g_himmel;
Mesh g_huvud;
Mesh g_hatt;

ForestScene g_forestScene;

// Every object above that holds buffers or textures: add a new one here too.
const DemoObjectList& DemoObjects() {
  static const DemoObjectList kList = {
      .meshes = {&g_cube1,    &g_cube2,    &g_cube3,    &g_cube4,    &g_cube5,     &g_morph1,
                 &g_morph2,   &g_vellmoth, &g_granbarr, &g_granstam, &g_alsten,    &g_stenbox,
                 &g_stenbox2, &g_rum,      &g_pelare,   &g_rip,      &g_eldpinnar, &g_eld,
                 &g_mark,     &g_himmel,   &g_huvud,    &g_hatt},
      .pictures = {&g_titlePicture, &g_presentsPicture, &g_wherePicture, &g_finishPicture,
                   &g_codePicture, &g_greetsPicture},
      .grids = {&g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB, &g_grayWarpA, &g_grayWarpB},
      .quads = {&g_bricks},
      .morphMeshes = {&g_morphMesh},
  };
  return kList;
}
