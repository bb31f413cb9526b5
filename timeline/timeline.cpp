#include "timeline/timeline.h"

#include <cmath>

#include "core/demo_clock.h"
#include "core/device_globals.h"
#include "core/frame.h"
#include "core/random.h"
#include "effects/warp_grid.h"
#include "mesh/mesh.h"
#include "mesh/screen_picture.h"
#include "platform/win32.h"
#include "scenes/camera.h"
#include "scenes/cube_fractal.h"
#include "scenes/forest_scene.h"
#include "timeline/forest_sequence.h"

namespace {

void Cull(DWORD mode) {
  g_device->SetRenderState(D3DRS_CULLMODE, mode);
}

// The schedule's two clocks, named as its steps use them: T() is the uptime clock (seconds
// since the system started), the phase of periodic motion; t() is the demo time (seconds
// since the sound track started), which decides what a frame shows.
double T() {
  return ClockNow();
}

double t() {
  return g_demoClock.Elapsed();
}

// Three echoes of the vellmoth figure swinging about y, one swing amplitude per frame.
void FigureEchoes() {
  g_camera.SetAt(0, 0, 0);
  g_camera.SetEye(0, 0, 500);
  g_camera.Apply();
  const double r = (Rand() % 10) / 40.0;
  const double a = r + 0.3;
  const struct { float z, s; } copies[3] = {{0, 2.0f}, {40, 2.2f}, {100, 2.4f}};
  for (int i = 0; i < 3; ++i) {
    g_vellmoth.Translate(-150, 0, copies[i].z);
    g_vellmoth.Scale(copies[i].s);
    g_vellmoth.Rotate(0, float(std::sin(2 * T()) * a + 3.1415), float(std::sin(2 * T()) * 0.1));
    if (i > 0) g_vellmoth.SetAdditive(true);
    g_vellmoth.Draw();
    if (i > 0) g_vellmoth.SetAdditive(false);
  }
}

// A caption moving left from the screen's right edge at `speed` pixels per second,
// `start` seconds into the demo.
float ScrollX(double start, double speed) {
  return float(800 - (t() - start) * speed);
}

}  // namespace

void RenderFrame() {
  // Clear, begin the scene, look from the default camera.
  BeginFrame();
  g_defaultCamera.Apply();

  // The grey waves.
  if (g_demoClock.InRange(30, 75)) {
    Cull(D3DCULL_NONE);
    g_grayWarpA.ResetTexCoords();
    g_grayWarpB.ResetTexCoords();
    g_grayWarpA.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
    g_grayWarpA.Wave(0.2f, 1.0f, 0.1f, 2.0f, 0.6f);
    g_grayWarpB.Wave(0.3f, 2.0f, 0.2f, 4.0f, 0.5f);
    g_grayWarpA.Draw();
    g_grayWarpB.Draw();
    Cull(0);
  }

  // The figure and its two echoes.
  if (g_demoClock.InRange(30, 44)) FigureEchoes();

  // The "presents" caption scrolls in.
  if (g_demoClock.InRange(42, 65)) {
    const float x = ScrollX(42, 150);
    g_presentsPicture.SetRect(x, 400, x + 500, 600, 1000);
    g_presentsPicture.Draw();
  }

  // The title scrolls in.
  if (g_demoClock.InRange(44, 65)) {
    const float x = ScrollX(44, 110);
    g_titlePicture.SetRect(x, 0, x + 1500, 600, 1000);
    g_titlePicture.SetBlendMode(1);
    g_titlePicture.Draw();
  }

  // Both sides of every triangle for the scenes.
  Cull(D3DCULL_NONE);

  // The forest glade.
  if (g_demoClock.InRange(75, 124)) ForestSequence();

  // Orbit around the cube fractal.
  if (g_demoClock.InRange(124, 145)) {
    g_camera.SetAt(0, 0, 0);
    const double radius = 2000 + (800 * std::sin(1.5 * T()) + 500);
    g_camera.SetEye(float(radius * std::cos(T() / 5)), 500, float(radius * std::sin(T() / 5)));
    g_camera.Apply();
    DrawCubeTree(4);
    Cull(0);
    g_cube1.Scale(80);
    g_cube1.Draw();
  }

  // The swirl.
  if (g_demoClock.InRange(145, 155) || g_demoClock.InRange(180, 200)) {
    Cull(D3DCULL_NONE);
    g_tex3Warp.ResetTexCoords();
    g_tex3Warp.Swirl(float(std::sin(T()) / 3));
    g_tex3Warp.Draw();
    Cull(0);
  }

  // Two orbits through the stone room.
  if (g_demoClock.InRange(155, 170)) {
    g_camera.SetAt(0, 0, 0);
    g_camera.SetEye(float(150 * std::cos(T() / 2)), 80, float(150 * std::sin(T() / 2)));
    g_camera.Apply();
    g_forestScene.DrawStoneRoom();
  }
  if (g_demoClock.InRange(170, 180)) {
    g_camera.SetAt(0, 0, 100);
    g_camera.SetEye(float(80 * std::cos(T() / 2)), 40, float(80 * std::sin(T() / 2)));
    g_camera.Apply();
    g_forestScene.DrawStoneRoom();
  }

  // Both sides for the full-screen grids.
  Cull(D3DCULL_NONE);

  // Distort the three full-screen grids.
  if (g_demoClock.InRange(0, 135)) {
    g_tex3Warp.ResetTexCoords();
    g_tex2WarpA.ResetTexCoords();
    g_tex2WarpB.ResetTexCoords();
    g_tex3Warp.Swirl(float(std::sin(T()) / 3));
    g_tex2WarpA.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
    g_tex2WarpB.Wave(0.2f, 3.0f, 0.3f, 2.0f, 0.6f);
  }

  // Draw them in their windows.
  if (g_demoClock.InRange(114, 135)) {
    g_tex2WarpA.Draw();
    g_tex2WarpB.Draw();
  }
  if (g_demoClock.InRange(0, 14)) g_tex3Warp.Draw();
  if (g_demoClock.InRange(5, 44)) g_tex2WarpA.Draw();
  if (g_demoClock.InRange(11, 44)) g_tex2WarpB.Draw();

  // Culling value 0 (nothing culled) for the captions.
  Cull(0);

  // Captions.
  if (g_demoClock.InRange(65, 75)) {
    const float x = ScrollX(65, 80);
    g_wherePicture.SetRect(x, 100, x + 400, 400, 1000);
    g_wherePicture.Draw();
  }
  if (g_demoClock.InRange(145, 155)) {
    g_finishPicture.SetRect(100, 100, 600, 400, 1000);
    g_finishPicture.Draw();
  }
  if (g_demoClock.InRange(180, 195)) {
    g_codePicture.SetRect(40, 0, 640, 300, 1000);
    g_codePicture.Draw();
  }
  if (g_demoClock.InRange(185, 200)) {
    g_greetsPicture.SetRect(300, 250, 900, 550, 1000);
    g_greetsPicture.Draw();
  }

  // Quit once the demo's time is up; this last frame is still shown.
  if (t() > kDemoEndSeconds) PostQuitMessage(0);
  EndFrame();
}
