// The stone hall, drawn by ForestScene::DrawStoneRoom. Nothing in it moves; the camera
// circling it gives the motion.
#include "core/device_globals.h"
#include "scenes/forest_scene.h"

namespace {

// One placement: scaled, turned (x, then y, then z), moved, drawn.
void Place(Mesh& mesh, float s, float rx, float ry, float rz, float x, float y, float z) {
  mesh.Scale(s);
  mesh.Rotate(rx, ry, rz);
  mesh.Translate(x, y, z);
  mesh.Draw();
}

}  // namespace

void ForestScene::DrawStoneRoom() {
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

  // The two side rows, from z = -270 to z = 180.
  for (int i = -3; i <= 2; ++i) {
    const float z = float(90 * i);
    for (float x : {-90.0f, 90.0f}) {
      Place(g_stenbox, 1, 1.570775f, 0, 0, x, 0, z);
      Place(g_stenbox, 1, 1.570775f, 0, 0, x, -20, z);
      Place(g_pelare, 1, 1.570775f, 0, 0, x, 120, z);
      Place(g_pelare, 1, 1.570775f, 3.1415f, 0, x, -45, z);
      Place(g_pelare, 1, 1.570775f, 3.1415f, 0, x, -145, z);
    }
  }

  // The single pieces at the aisle's head, and the room upright and upside down.
  Place(g_stenbox2, 1, 1.570775f, 3.1415f, 0, 0, 0, 100);
  Place(g_rip, 0.6f, 0, 0, 0, 0, -10, 80);
  Place(g_alsten, 0.2f, 0, 1.570775f, 0, 0, 20, 80);
  Place(g_rum, 4, 0, 0, 0, 0, 180, -600);
  Place(g_rum, 4, 3.1415f, 0, 0, 0, -280, 400);

  // The floor: each tile moved in its own plane, then the whole grid laid down by a
  // quarter turn about x, to near y = -30.
  for (int a = -6; a <= 5; ++a) {
    for (int b = -6; b <= 5; ++b) {
      g_bricks.Translate(float(100 * a), float(100 * b), 30);
      g_bricks.Rotate(1.57075f, 0, 0);
      g_bricks.Draw();
    }
  }
}
