#include "scenes/forest_scene.h"

#include <gtest/gtest.h>

#include <set>

#include "render/tool_switches.h"
#include "tests/demo_frames.h"

namespace {

class SceneTest : public DemoFixture {
 protected:
  template <typename Draw>
  std::vector<std::string> Record(Draw draw) {
    CallRecorder recorder;
    g_renderSwitches.recorder = &recorder;
    draw();
    g_renderSwitches.recorder = nullptr;
    return recorder.Calls();
  }
};

TEST(TreeMap, IsAMazeOfSixtySevenSprucesWithOneGapAndAnOpenCentre) {
  int spruces = 0;
  for (int8_t cell : g_treeMap) spruces += cell == 1;
  EXPECT_EQ(spruces, 67);
  EXPECT_EQ(g_treeMap[10 * 11 + 9], 0) << "the gap in the outer wall";
  EXPECT_EQ(g_treeMap[5 * 11 + 5], 0) << "the glade at the origin";
}

TEST_F(SceneTest, ForestIssuesOneHundredThirtyEightMeshDraws) {
  const auto calls = Record([] { g_forestScene.DrawForest(); });
  EXPECT_EQ(CountCalls(calls, "DrawIndexedPrimitive"), 138u);
  // Spruces in column-major map order: the first stands at column 0, row 0.
  std::vector<std::vector<float>> worlds;
  for (const std::string& call : calls)
    if (call.rfind("SetTransform(256, ", 0) == 0) worlds.push_back(MatrixOf(call));
  ASSERT_EQ(worlds.size(), 138u);
  EXPECT_FLOAT_EQ(worlds[4][12], -850.0f);
  EXPECT_FLOAT_EQ(worlds[4][14], 850.0f);
  EXPECT_FLOAT_EQ(worlds[4][0], 0.5f);
  EXPECT_FLOAT_EQ(worlds[6][14], 680.0f) << "then row 1 of the same column";
}

TEST_F(SceneTest, StoneRoomIssuesItsMeshAndFloorDraws) {
  const auto calls = Record([] { g_forestScene.DrawStoneRoom(); });
  EXPECT_EQ(calls.front(), "SetRenderState(22, 1)");
  EXPECT_EQ(CountCalls(calls, "DrawIndexedPrimitive"), 65u);
  EXPECT_EQ(CountCalls(calls, "DrawPrimitive"), 144u);
  std::set<float> rowZ;
  int meshDraw = 0;
  std::vector<float> world;
  for (const std::string& call : calls) {
    if (call.rfind("SetTransform(256, ", 0) == 0) world = MatrixOf(call);
    if (call.rfind("DrawIndexedPrimitive", 0) == 0 && meshDraw++ < 60) rowZ.insert(world[14]);
  }
  EXPECT_EQ(rowZ, (std::set<float>{-270, -180, -90, 0, 90, 180}));
  // The last floor tile: moved to (500, 500, 30), then laid down: (x, y, 30) -> (x, -30, y).
  EXPECT_NEAR(world[12], 500, 1e-3);
  EXPECT_NEAR(world[13], -30, 0.05);  // the turn is just short of a quarter
  EXPECT_NEAR(world[14], 500, 0.1);
}

TEST_F(SceneTest, FigureAndMorphingFigurePlaceTheirPartsIdentically) {
  auto worlds = [this](auto draw) {
    std::vector<std::vector<float>> result;
    for (const std::string& call : Record(draw))
      if (call.rfind("SetTransform(256, ", 0) == 0) result.push_back(MatrixOf(call));
    return result;
  };
  const auto still = worlds([] { g_forestScene.DrawFigure(20, 80, 50); });
  const auto moving = worlds([] { g_forestScene.DrawFigureMorphing(20, 80, 50); });
  ASSERT_EQ(still.size(), 3u);
  EXPECT_EQ(still, moving);
  EXPECT_FLOAT_EQ(still[0][12], 0.0f) << "hat at x - 20";
  EXPECT_FLOAT_EQ(still[1][14], -4.0f) << "head at z - 54";
  EXPECT_FLOAT_EQ(still[2][12], -80.0f) << "body at x - 100";
}

}  // namespace
