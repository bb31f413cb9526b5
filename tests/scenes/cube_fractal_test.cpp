#include "scenes/cube_fractal.h"

#include <gtest/gtest.h>

#include <cmath>

#include "mesh/mesh.h"
#include "platform/tick.h"
#include "render/d3dx_math.h"
#include "render/tool_switches.h"
#include "tests/demo_frames.h"

namespace {

int CountNodes(const CubeNode& node) {
  int count = 0;
  for (const CubeNode* child : node.children)
    if (child) count += 1 + CountNodes(*child);
  return count;
}

TEST(CubeTree, HasFifteenHundredFiftyFourHeapNodesWithAxesInSiblingOrder) {
  BuildCubeTree();
  EXPECT_EQ(CountNodes(g_cubeRoot), 1554);
  EXPECT_EQ(g_cubeRoot.scale, 8.0f);
  const CubeNode* node = &g_cubeRoot;
  const float scales[] = {4, 2, 0.7f, 0.3f};
  for (float scale : scales) {
    for (int k = 0; k < 6; ++k) EXPECT_EQ(node->children[k]->axis, k);
    node = node->children[5];
    EXPECT_EQ(node->scale, scale);
    EXPECT_EQ(node->size, 100.0f);
  }
  for (const CubeNode* child : node->children) EXPECT_EQ(child, nullptr);
}

TEST(CubeTree, AxisHelpersFollowTheSixDirections) {
  float x = 9, y = 9, z = 9;
  AxisVector(4, &x, &y, &z);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, -1.0f);
  EXPECT_EQ(z, 0.0f);
  AxisComponent(5, 1, 2, 3, &x, &y, &z);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(z, 3.0f);
  x = 7;
  AxisVector(6, &x, &y, &z);
  EXPECT_EQ(x, 7.0f) << "other values leave the outputs unwritten";
}

class CubeDrawTest : public DemoFixture {
 protected:
  // The world matrices handed to the device by DrawCubeTree(depth).
  std::vector<std::vector<float>> Worlds(int depth) {
    CallRecorder recorder;
    g_renderSwitches.recorder = &recorder;
    DrawCubeTree(depth);
    g_renderSwitches.recorder = nullptr;
    std::vector<std::vector<float>> worlds;
    for (const std::string& call : recorder.Calls())
      if (call.rfind("SetTransform(256, ", 0) == 0) worlds.push_back(MatrixOf(call));
    draws_ = CountCalls(recorder.Calls(), "DrawIndexedPrimitive");
    return worlds;
  }
  size_t draws_ = 0;
};

TEST_F(CubeDrawTest, DepthDecidesHowManyLevelsAreDrawn) {
  Worlds(0);
  EXPECT_EQ(draws_, 0u);
  Worlds(-3);
  EXPECT_EQ(draws_, 0u);
  Worlds(1);
  EXPECT_EQ(draws_, 1u);
  Worlds(4);
  EXPECT_EQ(draws_, 259u);
  Worlds(6);
  EXPECT_EQ(draws_, 1555u);
}

TEST_F(CubeDrawTest, ChildrenSitOnTheFacesOfTheirParents) {
  ticks_ = 0;  // uptime 0: every spin is the identity
  const auto worlds = Worlds(3);
  ASSERT_EQ(worlds.size(), 43u);
  EXPECT_FLOAT_EQ(worlds[0][0], 8.0f) << "the root is scaled by 8";
  // Pre-order: root, +X child, its 6 children, +Y child, ...
  const float axes[6][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
  for (int k = 0; k < 6; ++k) {
    const std::vector<float>& child = worlds[size_t(1 + 7 * k)];
    EXPECT_FLOAT_EQ(child[0], 4.0f);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(child[size_t(12 + c)], 600 * axes[k][c], 1e-3) << k;
  }
  // The level-2 cube on the -X face of the +X child: centred at x = 600 - 300.
  const std::vector<float>& inner = worlds[2 + 3];
  EXPECT_NEAR(inner[12], 300.0f, 1e-3);
  EXPECT_NEAR(inner[13], 0.0f, 1e-3);
  EXPECT_FLOAT_EQ(inner[0], 2.0f);
}

// Turns about x, then y, then z, as Mesh::Rotate does.
D3DXMATRIX Rotation(float ax, float ay, float az) {
  D3DXMATRIX x, y, z, r;
  D3DXMatrixRotationX(&x, ax);
  D3DXMatrixRotationY(&y, ay);
  D3DXMatrixRotationZ(&z, az);
  D3DXMatrixMultiply(&r, &x, &y);
  return *D3DXMatrixMultiply(&r, &r, &z);
}

// The tree keeps no state between draws: the root's matrix is its spin at the uptime clock
// times its scale, whatever was drawn before.
TEST_F(CubeDrawTest, TheRootTurnsWithTheUptimeClockAlone) {
  ticks_ = 123456;
  const auto first = Worlds(4);
  ticks_ = 1000;
  Worlds(4);
  ticks_ = 123456;
  EXPECT_EQ(Worlds(4), first);
  const float t = 123.456f;
  D3DXMATRIX scale, root = Rotation(-0.4f * t, -0.2f * t, 0.1f * t);
  D3DXMatrixMultiply(&root, &root, D3DXMatrixScaling(&scale, 8, 8, 8));
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(first[0][size_t(i)], root.m[i / 4][i % 4], 1e-2) << i;
}

TEST_F(CubeDrawTest, LevelTwoCubeMatrixIsTheWholeChainOfPlacements) {
  ticks_ = 1000;  // T = 1 s
  const auto worlds = Worlds(3);
  // The +Y child (axis 1) of the +Z level-1 cube (axis 2): pre-order index 1 + 7 * 2 + 1 + 1.
  const std::vector<float>& actual = worlds[17];
  auto rotation = Rotation;
  D3DXMATRIX step, world = rotation(0, -0.3f, 0);  // level 2 spins about y at -0.3
  D3DXMatrixMultiply(&world, &world, D3DXMatrixScaling(&step, 2, 2, 2));
  D3DXMatrixMultiply(&world, &world, D3DXMatrixTranslation(&step, 0, 300, 0));
  const D3DXMATRIX r1 = rotation(0, 0, 0.2f);  // level 1 on z spins about z at 0.2
  D3DXMatrixMultiply(&world, &world, &r1);
  D3DXMatrixMultiply(&world, &world, D3DXMatrixTranslation(&step, 0, 0, 600));
  const D3DXMATRIX r0 = rotation(-0.4f, -0.2f, 0.1f);
  D3DXMatrixMultiply(&world, &world, &r0);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[size_t(i)], world.m[i / 4][i % 4], 1e-3) << i;
}

}  // namespace
