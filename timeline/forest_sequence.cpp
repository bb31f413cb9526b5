#include "timeline/forest_sequence.h"

#include <cmath>

#include "core/demo_clock.h"
#include "scenes/camera.h"
#include "scenes/forest_scene.h"

int g_forestPhase = 1;
float g_forestPhaseStart = 0.0f;

namespace {

// How long each move lasts before the next takes over, by move number.
constexpr float kDuration[6] = {0, 10, 8, 12, 6, 13};

}  // namespace

void ForestSequence() {
  if (g_forestPhaseStart == 0.0f) g_forestPhaseStart = float(g_demoClock.Elapsed());
  float d = float(g_demoClock.Elapsed() - g_forestPhaseStart);

  // Where the pan of move 3 ends: the fixed look-at point of moves 4 and 5.
  const float panEndX = float(10 - 10 * std::sin(3.0)), panEndZ = float(-50 - 10 * std::cos(3.0));
  switch (g_forestPhase) {
    case 1:
      g_camera.SetAt(500 - 50 * d, 110, -600);
      g_camera.SetEye(500 - 50 * d, 150, -700);
      g_camera.Apply();
      break;
    case 2:
      g_camera.SetAt((900 - 100 * d) - 80, 30, -50);
      g_camera.SetEye(900 - 100 * d, 40, -50);
      g_camera.Apply();
      break;
    case 3:
      g_camera.SetAt(float(10 - 10 * std::sin(double(d / 4))), 60,
                     float(-50 - 10 * std::cos(double(d / 4))));
      g_camera.SetEye(10, 60, -50);
      g_camera.Apply();
      g_forestScene.DrawFigure(20, 80, 50);
      break;
    case 4:
      g_camera.SetAt(panEndX, 60, panEndZ);
      g_camera.SetEye(10, 60 + 5 * d, -50 - 10 * d);
      g_camera.Apply();
      g_forestScene.DrawFigure(20, 80, 50);
      break;
    default:
      g_camera.SetAt(panEndX, 60, panEndZ);
      g_camera.SetEye(10, 90, -110 - 15 * d);
      g_camera.Apply();
      g_forestScene.DrawFigureMorphing(20, 80, 50 - 15 * d);
      break;
  }

  g_forestScene.DrawForest();

  // Hand-overs, each tested only in its own move; one per frame at most, since a
  // hand-over makes d zero for the tests after it.
  for (int phase = 1; phase <= 4; ++phase) {
    if (g_forestPhase == phase && d > kDuration[phase]) {
      g_forestPhaseStart = 0.0f;
      g_forestPhase = phase + 1;
      d = 0.0f;
    }
  }
}
