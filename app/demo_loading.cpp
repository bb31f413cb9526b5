// Start-up loading, the sound track and shutdown.
//
// LoadDemo fills every global from the data files, places the two cameras, starts the
// sound track and, last of all, starts the demo clock, so that demo time 0 is the moment
// the music was asked to play and loading time never counts. Nothing it loads is checked:
// a missing file leaves its object empty, and the schedule draws it regardless.
#include "app/app.h"
#include "core/demo_clock.h"
#include "effects/morph_mesh.h"
#include "effects/warp_grid.h"
#include "mesh/mesh.h"
#include "mesh/screen_picture.h"
#include "platform/bass.h"
#include "scenes/camera.h"
#include "scenes/cube_fractal.h"
#include "scenes/forest_scene.h"

HSTREAM g_musicStream = 0;

namespace {

void LoadPicture(ScreenPicture& picture, float right, float bottom, float z, const char* path) {
  picture.Create(0, 0, right, bottom, z, path);
  picture.SetBlendMode(1);
}

void LoadGrid(WarpGrid& grid, int cells, const char* path) {
  grid.Init(cells, cells, path);
  grid.MeasureFromCentre();
}

}  // namespace

void LoadDemo() {
  g_cube1.LoadX("Data\\kub.x", "Data\\cube.bmp", nullptr);
  g_cube2.LoadX("Data\\kub.x", "Data\\cube2.bmp", nullptr);
  g_cube3.LoadX("Data\\kub.x", "Data\\cube3.bmp", nullptr);
  g_cube4.LoadX("Data\\kub.x", "Data\\cube4.bmp", nullptr);
  g_cube5.LoadX("Data\\kub.x", "Data\\cube5.bmp", nullptr);
  g_morph1.LoadX("Data\\morph1.x", "Data\\stenal.bmp", nullptr);
  g_morph2.LoadX("Data\\morph2.x", "Data\\stenal.bmp", nullptr);
  g_vellmoth.LoadMsh("Data\\vellmoth.msh", "Data\\gray.bmp", nullptr);
  g_vellmoth.SetAdditive(false);
  LoadGrid(g_grayWarpA, 20, "Data\\gray.bmp");
  LoadGrid(g_grayWarpB, 20, "Data\\gray.bmp");
  LoadPicture(g_presentsPicture, 1000, 580, 1000, "Data\\presents.bmp");
  LoadPicture(g_titlePicture, 1000, 580, 1000, "Data\\brindlequay.bmp");
  LoadPicture(g_finishPicture, 300, 70, 5000, "Data\\finish.bmp");
  LoadPicture(g_codePicture, 300, 70, 5000, "Data\\code.bmp");
  LoadPicture(g_greetsPicture, 300, 70, 5000, "Data\\greets.bmp");
  LoadPicture(g_wherePicture, 300, 70, 5000, "Data\\where.bmp");
  g_morphMesh.Init(g_morph1);
  g_forestScene.Load();
  BuildCubeTree();
  g_defaultCamera.SetEye(200, 0, 50);
  g_defaultCamera.SetAt(0, 0, 0);
  g_camera.SetEye(0, 1000, -2000);
  g_camera.SetAt(0, 0, 0);
  LoadGrid(g_tex3Warp, 20, "Data\\Tex3.bmp");
  LoadGrid(g_tex2WarpA, 10, "Data\\Tex2.bmp");
  LoadGrid(g_tex2WarpB, 10, "Data\\Tex2.bmp");
  for (WarpGrid* grid : {&g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB, &g_grayWarpA, &g_grayWarpB})
    grid->SetDepth(5000);

  BASS_Init(-1, 44100, 0, GetForegroundWindow());
  g_musicStream = BASS_StreamCreateFile(FALSE, kSoundTrackPath, 0, 0, 0);
  BASS_Start();
  BASS_StreamPlay(g_musicStream, FALSE, BASS_SAMPLE_LOOP);
  g_demoClock.Start();
}

void ShutdownDemo() {
  BASS_Free();
  if (g_device) {
    g_device->Release();
    g_device = nullptr;
  }
  if (g_d3d) {
    g_d3d->Release();
    g_d3d = nullptr;
  }
}
