// World quads: the corner table, placement order, the additive draw and its state order.
#include "mesh/world_quad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/tool_switches.h"
#include "tests/mesh/mesh_test_files.h"

namespace {

constexpr float kHalfPi = 1.5707963f;

class WorldQuadTest : public DataDirTest {
 protected:
  void SetUp() override {
    DataDirTest::SetUp();
    WriteFile("Data/bricks.bmp", SolidBmp(60, 40, 20));
  }
  // The 100 by 100 square of the stone room's floor, centred on the origin.
  WorldQuad Bricks() {
    WorldQuad quad;
    quad.Create({-50, -50, 0}, {50, 50, 0}, "Data\\Bricks.bmp");
    kept_.Keep(quad);
    return quad;
  }
};

void ExpectCorner(const QuadVertex& c, float x, float y, float z, float u, float v) {
  EXPECT_EQ(c.x, x);
  EXPECT_EQ(c.y, y);
  EXPECT_EQ(c.z, z);
  EXPECT_EQ(c.u, u);
  EXPECT_EQ(c.v, v);
}

TEST_F(WorldQuadTest, CornersFollowTheStripTableAndOnlyTheLastTakesZFromA) {
  WorldQuad quad;
  quad.Create({1, 2, 3}, {4, 5, 6}, "Data\\bricks.bmp");
  kept_.Keep(quad);
  ExpectCorner(quad.corners[0], 4, 5, 6, 1, 1);
  ExpectCorner(quad.corners[1], 1, 5, 6, 0, 1);
  ExpectCorner(quad.corners[2], 4, 2, 6, 1, 0);
  ExpectCorner(quad.corners[3], 1, 2, 3, 0, 0);
  ASSERT_NE(quad.vertexBuffer, nullptr);
  ASSERT_EQ(quad.vertexBuffer->Length(), 80u);
  EXPECT_EQ(std::memcmp(quad.vertexBuffer->Memory(), quad.corners, 80), 0);
  EXPECT_NE(quad.texture, nullptr);
  EXPECT_TRUE(IsIdentity(quad.world));
}

TEST_F(WorldQuadTest, CreateLoadsTheTextureThenFillsAWriteOnlyManagedBuffer) {
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  const WorldQuad quad = Bricks();
  g_renderSwitches.recorder = nullptr;
  const std::string vb = quad.vertexBuffer->Name();
  EXPECT_EQ(RecordedCalls(recorder),
            (std::vector<std::string>{
                "D3DXCreateTextureFromFileA(Data\\Bricks.bmp, " + quad.texture->Name() + ")",
                "CreateVertexBuffer(80, 8, 0, 1, " + vb + ")", "Lock(" + vb + ", 0, 80, 0)",
                "Unlock(" + vb + ")"}));
}

TEST_F(WorldQuadTest, DrawIsAlwaysAdditiveAndSetsItsStatesInOrder) {
  WorldQuad quad = Bricks();
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  quad.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(RecordedCalls(recorder),
            (std::vector<std::string>{
                "SetTransform(256)",
                "SetRenderState(27, 1)",
                "SetTexture(0, " + quad.texture->Name() + ")",
                "SetRenderState(19, 2)",
                "SetRenderState(20, 2)",
                "SetTextureStageState(0, 2, 2)",
                "SetTextureStageState(0, 1, 2)",
                "SetVertexShader(258)",
                "SetStreamSource(0, " + quad.vertexBuffer->Name() + ", 20)",
                "DrawPrimitive(5, 0, 2)",
                "SetRenderState(27, 0)",
            }));
}

TEST_F(WorldQuadTest, TranslateThenRotateTurnsTheMovedQuadAboutTheWorldOrigin) {
  WorldQuad quad = Bricks();
  quad.Translate(10, 0, 0);
  quad.Rotate(0, kHalfPi, 0);
  quad.Draw();
  const D3DVECTOR origin = WorldTransformOf(0, 0, 0);
  EXPECT_NEAR(origin.x, 0, 1e-5);
  EXPECT_NEAR(origin.z, -10, 1e-5);
  EXPECT_TRUE(IsIdentity(quad.world));
}

TEST_F(WorldQuadTest, RotateThenTranslateTurnsInPlaceThenMoves) {
  WorldQuad quad = Bricks();
  quad.Rotate(kHalfPi, 0, 0);
  quad.Translate(0, 0, 10);
  quad.Draw();
  const D3DVECTOR up = WorldTransformOf(0, 1, 0);  // a quarter turn about x: y goes to z
  EXPECT_NEAR(up.x, 0, 1e-5);
  EXPECT_NEAR(up.y, 0, 1e-5);
  EXPECT_NEAR(up.z, 11, 1e-5);
}

TEST_F(WorldQuadTest, DrawingTwiceAtTheSamePlaceDoublesItsBrightness) {
  WorldQuad quad = Bricks();
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0A141E, 1.0f, 0);
  AimTestCamera();
  quad.Draw();
  EXPECT_EQ(Pixel(400, 300), (Rgba{70, 60, 50, 255}));
  quad.Draw();
  EXPECT_EQ(Pixel(400, 300), (Rgba{130, 100, 70, 255}));
  EXPECT_EQ(Pixel(5, 5), (Rgba{10, 20, 30, 255}));
}

TEST_F(WorldQuadTest, QuadNeverCreatedOrWithoutItsTextureDrawsNothing) {
  WorldQuad never;
  WorldQuad untextured;
  untextured.Create({-50, -50, 0}, {50, 50, 0}, "Data\\missing.bmp");
  kept_.Keep(untextured);
  for (WorldQuad* quad : {&never, &untextured}) {
    quad->Translate(1, 2, 3);
    CallRecorder recorder;
    g_renderSwitches.recorder = &recorder;
    quad->Draw();
    g_renderSwitches.recorder = nullptr;
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_TRUE(IsIdentity(quad->world));
  }
}

}  // namespace
