#include "scenes/forest_scene.h"

#include <cmath>

#include "core/demo_clock.h"
#include "core/device_globals.h"
#include "effects/morph_mesh.h"

// One gap in the outer wall, at row 10, column 9.
const int8_t g_treeMap[121] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  //
    1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 1,  //
    1, 0, 1, 0, 1, 1, 0, 1, 1, 0, 1,  //
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,  //
    1, 0, 1, 0, 1, 1, 1, 1, 0, 0, 1,  //
    1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 1,  //
    1, 0, 1, 1, 1, 0, 1, 0, 1, 1, 1,  //
    1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1,  //
    1, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1,  //
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,  //
    1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1,  //
};

namespace {

// Hat, head and stone body around (x, y, z); `weight` blends the body from g_morph2
// (0) to g_morph1 (1000).
void DrawFigureWithWeight(float x, float y, float z, float weight) {
  g_hatt.Scale(0.9f);
  g_hatt.Rotate(0, 0, 0);
  g_hatt.Translate(x - 20, y + 23, z - 15);
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_hatt.Draw();

  g_huvud.Scale(0.7f);
  g_huvud.Rotate(0, 0, 0);
  g_huvud.Translate(x - 4, y - 20, z - 54);
  g_huvud.Draw();

  g_morphMesh.Scale(0.9f);
  g_morphMesh.Rotate(0, 1.57075f, 0);
  g_morphMesh.Translate(x - 100, y, z);
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_morphMesh.DrawMorph(g_morph2, g_morph1, weight, 1000);
}

}  // namespace

void ForestScene::Load() {
  g_granbarr.LoadX("Data\\granbarr.x", "Data\\granbarr.bmp", nullptr);
  g_granstam.LoadX("Data\\granstam.x", "Data\\granstam.bmp", nullptr);
  g_alsten.LoadMsh("Data\\alsten.msh", "Data\\Gray.bmp", nullptr);
  g_stenbox.LoadMsh("Data\\stenbox.msh", "Data\\Gray.bmp", nullptr);
  g_stenbox.ComputeSmoothNormals();
  g_stenbox.TexCoordsFromNormals(1, 1);
  g_stenbox2.LoadMsh("Data\\stenbox2.msh", "Data\\Gray.bmp", nullptr);
  g_stenbox2.ComputeSmoothNormals();
  g_stenbox2.TexCoordsFromNormals(1, 1);
  g_rum.LoadMsh("Data\\rum.msh", "Data\\rum.bmp", nullptr);
  g_pelare.LoadMsh("Data\\pelare.msh", "Data\\StenAl.bmp", nullptr);
  g_rip.LoadMsh("Data\\rip.msh", "Data\\StenAl.bmp", nullptr);
  g_bricks.Create(D3DXVECTOR3{-50, -50, 0}, D3DXVECTOR3{50, 50, 0}, "Data\\bricks.bmp");
  g_eldpinnar.LoadMsh("Data\\eldpinnar.msh", "Data\\stenal.bmp", nullptr);
  g_eld.LoadMsh("Data\\eld.msh", "Data\\eld.bmp", nullptr);
  g_eld.SetAdditive(true);
  g_mark.LoadMsh("Data\\mark.msh", "Data\\granbarr.bmp", nullptr);
  g_himmel.LoadMsh("Data\\himmel.msh", "Data\\himmel.bmp", nullptr);
  g_himmel.SetAdditive(true);
  g_huvud.LoadMsh("Data\\huvud.msh", "Data\\huve.bmp", nullptr);
  g_huvud.PlanarMapTexCoords(-20, 20, 20, -20, 0, 0, 1);
  g_hatt.LoadMsh("Data\\hatt.msh", "Data\\hatt.bmp", nullptr);
  g_hatt.PlanarMapTexCoords(0, -15, 65, 45, 0, 0, 2);
}

void ForestScene::DrawSpruce(float x, float y, float z, float rx, float ry, float rz, float scale) {
  for (Mesh* part : {&g_granbarr, &g_granstam}) {
    part->Scale(scale);
    part->Rotate(rx, ry, rz);
    part->Translate(x, y, z);
  }
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_granbarr.Draw();
  g_granstam.Draw();
}

void ForestScene::DrawForest() {
  g_eldpinnar.Rotate(-1.07075f, 0, 0);
  g_eldpinnar.Translate(-80, 0, -50);
  g_eldpinnar.Draw();

  g_mark.Scale(2);
  g_mark.Rotate(-1.57075f, 0, 0);
  g_mark.Draw();

  g_eld.Scale(1.25f);
  g_eld.Translate(-100, 0, 0);
  g_eld.Rotate(-1.57075f, 0, 0);
  g_eld.Draw();

  g_himmel.Scale(2);
  g_himmel.Rotate(0, 0, 0);
  g_himmel.Draw();

  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j)
      if (g_treeMap[j * 11 + i] == 1)
        DrawSpruce(float((i - 5) * 170), 0, float((5 - j) * 170), 0, 0, 0, 0.5f);
}

void ForestScene::DrawFigure(float x, float y, float z) {
  DrawFigureWithWeight(x, y, z, 1100);
}

void ForestScene::DrawFigureMorphing(float x, float y, float z) {
  DrawFigureWithWeight(x, y, z, float(600 * std::sin(5 * ClockNow()) + 500));
}
