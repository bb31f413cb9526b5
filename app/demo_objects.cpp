// The demo's global objects (cameras, meshes, pictures, grids, the forest scene and the
// demo clock), defined here in the order of their construction. Their constructors only
// set fields and their destructors do nothing: the device does not exist yet when they are
// made, and the program releases nothing at exit. The shell's own plain globals are
// defined beside the code that owns them: the screen size and the device in
// device_globals.cpp, the sound track's stream in demo_loading.cpp.

#include "effects/morph_mesh.h"
#include "effects/warp_grid.h"
#include "mesh/mesh.h"
#include "mesh/screen_picture.h"
#include "scenes/camera.h"
#include "scenes/forest_scene.h"
#include "timeline/demo_clock.h"

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
