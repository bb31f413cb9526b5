// The warp grid: its geometry, the texture coordinates each distortion leaves, the
// device calls of Draw and what reaches the screen.
#include "effects/warp_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/tick.h"
#include "render/tool_switches.h"
#include "tests/demo_data.h"
#include "tests/gl_test.h"
#include "tests/test_files.h"

namespace {

constexpr float kHalfPi = 1.5707963f;

// The four quarters of the texture, and the frame's clear colour (10, 20, 30).
constexpr uint32_t kTopLeft = 0xC80000, kTopRight = 0x00C800, kBottomLeft = 0x0000C8,
                   kBottomRight = 0x646464;
constexpr Rgba kClear{10, 20, 30, 255};

Rgba Added(Rgba frame, uint32_t texel) {
  return {frame.r + int(texel >> 16 & 255), frame.g + int(texel >> 8 & 255),
          frame.b + int(texel & 255), 255};
}

bool Near(const Rgba& a, const Rgba& b) {
  return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

// A fresh working directory whose Data\Tex3.bmp is a 2x2 texture, one colour per
// quarter; the previous directory comes back at the end.
class TextureDir {
 public:
  TextureDir() {
    std::filesystem::create_directory("Data");
    WriteFile("Data/Tex3.bmp", Bmp24(2, 2, {kTopLeft, kTopRight, kBottomLeft, kBottomRight}));
  }

 private:
  DemoDataDir dir_{false};
};

// Grids made by one test (too large for the stack); their buffers and texture are
// released with it, which the demo itself never does.
class Grids {
 public:
  ~Grids() {
    for (const auto& grid : grids_) {
      if (grid->vertexBuffer) grid->vertexBuffer->Release();
      if (grid->indexBuffer) grid->indexBuffer->Release();
      if (grid->texture) grid->texture->Release();
    }
  }
  WarpGrid& Make(int cols, int rows, const char* texturePath) {
    grids_.push_back(std::make_unique<WarpGrid>());
    grids_.back()->Init(cols, rows, texturePath);
    return *grids_.back();
  }

 private:
  std::vector<std::unique_ptr<WarpGrid>> grids_;
};

std::vector<WarpVertex> Vertices(const WarpGrid& grid) {
  std::vector<WarpVertex> vertices(size_t(grid.vertexCount));
  std::memcpy(vertices.data(), grid.vertexBuffer->Memory(), vertices.size() * sizeof(WarpVertex));
  return vertices;
}

std::vector<uint16_t> Indices(const WarpGrid& grid) {
  std::vector<uint16_t> indices(grid.indexBuffer->Length() / 2);
  std::memcpy(indices.data(), grid.indexBuffer->Memory(), indices.size() * 2);
  return indices;
}

// Tests that build grids and read their tables and buffers share one device per suite;
// the uptime clock stands at 0 unless a test moves it.
class WarpGridTableTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetWindowSystem();
    InitDevice(CreateDemoWindow());
  }
  static void TearDownTestSuite() {
    ShutdownDemo();
    ResetWindowSystem();
  }
  void SetUp() override {
    ASSERT_NE(g_device, nullptr);
    g_platformSwitches.tickSource = [this] { return ticks_; };
  }
  void TearDown() override {
    g_renderSwitches.recorder = nullptr;
    g_platformSwitches.tickSource = nullptr;
  }
  WarpGrid& Grid(int cols, int rows, const char* texturePath = "Data\\Tex3.bmp") {
    return grids_.Make(cols, rows, texturePath);
  }

  uint64_t ticks_ = 0;
  TextureDir dir_;
  Grids grids_;
};

// --- Building ---

using WarpGridBuildTest = WarpGridTableTest;

TEST_F(WarpGridBuildTest, CellsDivideTheScreenEvenly) {
  WarpGrid& big = Grid(20, 20);
  EXPECT_EQ(big.width, 800.0f);
  EXPECT_EQ(big.height, 600.0f);
  EXPECT_EQ(big.cellWidth, 40.0f);
  EXPECT_EQ(big.cellHeight, 30.0f);
  EXPECT_EQ(big.vertexCount, 441);
  EXPECT_EQ(big.triangleCount, 800);
  EXPECT_EQ(big.depth, 0);

  WarpGrid& small = Grid(10, 10);
  EXPECT_EQ(small.cellWidth, 80.0f);
  EXPECT_EQ(small.cellHeight, 60.0f);
  EXPECT_EQ(small.vertexCount, 121);
  EXPECT_EQ(small.triangleCount, 200);
}

TEST_F(WarpGridBuildTest, VerticesStandRowAfterRowFromTopLeftToBottomRight) {
  WarpGrid& grid = Grid(20, 10);
  const std::vector<WarpVertex> vertices = Vertices(grid);
  ASSERT_EQ(grid.vertexBuffer->Length(), 231u * 28u);
  for (int r = 0; r <= 10; ++r) {
    for (int c = 0; c <= 20; ++c) {
      const WarpVertex& v = vertices[size_t(r * 21 + c)];
      EXPECT_EQ(v.x, c * 40.0f) << r << ", " << c;
      EXPECT_EQ(v.y, r * 60.0f) << r << ", " << c;
      EXPECT_EQ(v.z, 0.0f);
      EXPECT_EQ(v.rhw, 1.0f);
    }
  }
  EXPECT_EQ(vertices.back().x, 800.0f);
  EXPECT_EQ(vertices.back().y, 600.0f);
}

TEST_F(WarpGridBuildTest, EachCellIsTwoTrianglesSharingItsDiagonal) {
  WarpGrid& grid = Grid(20, 10);
  const std::vector<uint16_t> indices = Indices(grid);
  ASSERT_EQ(indices.size(), 1200u);
  const auto cell = [&](int r, int c) {
    const size_t at = size_t(r * 20 + c) * 6;
    return std::vector<uint16_t>(indices.begin() + long(at), indices.begin() + long(at) + 6);
  };
  // Top-left, top-right, bottom-left; then top-right, bottom-right, bottom-left.
  EXPECT_EQ(cell(0, 0), (std::vector<uint16_t>{0, 1, 21, 1, 22, 21}));
  EXPECT_EQ(cell(1, 2), (std::vector<uint16_t>{23, 24, 44, 24, 45, 44}));
  EXPECT_EQ(cell(9, 19), (std::vector<uint16_t>{208, 209, 229, 209, 230, 229}));
}

TEST_F(WarpGridBuildTest, InitFillsTheIndicesThenLoadsTheTextureThenBuildsTheVertices) {
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  WarpGrid& grid = Grid(20, 20);
  g_renderSwitches.recorder = nullptr;
  const std::string ib = grid.indexBuffer->Name(), vb = grid.vertexBuffer->Name();
  EXPECT_EQ(recorder.Calls(),
            (std::vector<std::string>{
                "CreateIndexBuffer(4800, 8, 101, 1, " + ib + ")", "Lock(" + ib + ", 0, 4800, 0)",
                "Unlock(" + ib + ")",
                "D3DXCreateTextureFromFileA(Data\\Tex3.bmp, " + grid.texture->Name() + ")",
                "CreateVertexBuffer(12348, 0, 324, 0, " + vb + ")", "Lock(" + vb + ", 0, 12348, 0)",
                "Unlock(" + vb + ")"}));
}

TEST_F(WarpGridBuildTest, DistanceIsMeasuredInCellsFromTheExactCentre) {
  WarpGrid& square = Grid(20, 20);
  EXPECT_EQ(square.cells[10][10].distance, 0.0f);
  EXPECT_FLOAT_EQ(square.cells[0][0].distance, 14.142136f);
  EXPECT_FLOAT_EQ(square.cells[20][20].distance, 14.142136f);
  EXPECT_FLOAT_EQ(square.cells[10][0].distance, 10.0f);

  // Odd sides put the centre between vertices.
  WarpGrid& odd = Grid(5, 3);
  EXPECT_FLOAT_EQ(odd.cells[0][0].distance, std::sqrt(2.5f * 2.5f + 1.5f * 1.5f));
  EXPECT_FLOAT_EQ(odd.cells[1][2].distance, std::sqrt(0.5f * 0.5f + 0.5f * 0.5f));
}

TEST_F(WarpGridBuildTest, GridsOverNinetyNineCellsAreRefusedAndStayEmpty) {
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  for (auto [cols, rows] : {std::pair{100, 20}, std::pair{20, 100}}) {
    WarpGrid& grid = Grid(cols, rows);
    EXPECT_EQ(grid.vertexBuffer, nullptr);
    EXPECT_EQ(grid.indexBuffer, nullptr);
    EXPECT_EQ(grid.texture, nullptr);
    EXPECT_EQ(grid.vertexCount, 0);
    EXPECT_EQ(grid.triangleCount, 0);
    grid.ResetTexCoords();
    grid.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
    grid.Swirl(0.3f);
    grid.Draw();
  }
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(recorder.Calls(), std::vector<std::string>{});

  WarpGrid& largest = Grid(99, 99);
  EXPECT_EQ(largest.vertexCount, 10000);
  EXPECT_EQ(Indices(largest).back(), 9998);
}

// --- Texture coordinates ---

using WarpGridMappingTest = WarpGridTableTest;

TEST_F(WarpGridMappingTest, ResetMapsTheTextureOnceOverTheGrid) {
  WarpGrid& grid = Grid(20, 10);
  grid.SetDepth(5000);
  grid.ResetTexCoords();
  EXPECT_EQ(grid.cells[0][0].u, 0.0f);
  EXPECT_EQ(grid.cells[0][0].v, 0.0f);
  EXPECT_EQ(grid.cells[0][5].u, 0.25f);
  EXPECT_EQ(grid.cells[5][0].v, 0.5f);
  EXPECT_EQ(grid.cells[10][20].u, 1.0f);
  EXPECT_EQ(grid.cells[10][20].v, 1.0f);
  EXPECT_FLOAT_EQ(grid.cells[3][7].u, 0.35f);
  EXPECT_FLOAT_EQ(grid.cells[3][7].v, 0.3f);
  EXPECT_EQ(grid.cells[3][7].z, 5000.0f);
}

TEST_F(WarpGridMappingTest, DepthReachesTheVerticesOnlyAfterTheNextReset) {
  WarpGrid& grid = Grid(10, 10);
  grid.SetDepth(5000);
  grid.Draw();
  for (const WarpVertex& v : Vertices(grid)) ASSERT_EQ(v.z, 0.0f);
  grid.ResetTexCoords();
  grid.Draw();
  for (const WarpVertex& v : Vertices(grid)) ASSERT_EQ(v.z, 5000.0f);
}

TEST_F(WarpGridMappingTest, DrawCopiesTheTableIntoTheVerticesAndKeepsTheirPlaces) {
  WarpGrid& grid = Grid(10, 10);
  grid.ResetTexCoords();
  grid.Swirl(0.4f);
  grid.Draw();
  const std::vector<WarpVertex> vertices = Vertices(grid);
  for (int r = 0; r <= 10; ++r) {
    for (int c = 0; c <= 10; ++c) {
      const WarpVertex& v = vertices[size_t(r * 11 + c)];
      EXPECT_EQ(v.u, grid.cells[r][c].u);
      EXPECT_EQ(v.v, grid.cells[r][c].v);
      EXPECT_EQ(v.diffuse, 0u);
      EXPECT_EQ(v.x, c * 80.0f);
      EXPECT_EQ(v.y, r * 60.0f);
      EXPECT_EQ(v.rhw, 1.0f);
    }
  }
}

TEST_F(WarpGridMappingTest, WaveSlidesEachRowSidewaysAndEachColumnUpOrDown) {
  // With the clock at 0 the phase is 0. The u wave steps spanU / (cols + 1) from row to
  // row and the v wave spanV / (rows + 1) from column to column: these spans make both
  // steps a quarter turn.
  WarpGrid& grid = Grid(20, 10);
  grid.ResetTexCoords();
  grid.Wave(0.1f, 21 * kHalfPi, 0.05f, 11 * kHalfPi, 1.0f);
  // Crest, node, trough, node: +1, 0, -1, 0 for steps 1, 2, 3, 4 (mod 4).
  const auto swing = [](int step) { return step % 2 == 0 ? 0.0f : step % 4 == 1 ? 1.0f : -1.0f; };
  for (int r = 0; r <= 10; ++r) {
    for (int c = 0; c <= 20; ++c) {
      EXPECT_NEAR(grid.cells[r][c].u - c / 20.0f, 0.1f * swing(r), 1e-6) << r << ", " << c;
      EXPECT_NEAR(grid.cells[r][c].v - r / 10.0f, 0.05f * swing(c), 1e-6) << r << ", " << c;
    }
  }
}

TEST_F(WarpGridMappingTest, WavePhaseIsTheUptimeClockTimesTheSpeed) {
  WarpGrid& grid = Grid(20, 20);
  ticks_ = 250;  // 0.25 s, at speed 2: half a radian
  grid.ResetTexCoords();
  grid.Wave(0.1f, 1.0f, 0.2f, 1.0f, 2.0f);
  EXPECT_NEAR(grid.cells[0][7].u - 7 / 20.0f, 0.1 * std::sin(0.5), 1e-6);
  EXPECT_NEAR(grid.cells[7][0].v - 7 / 20.0f, 0.2 * std::sin(0.5), 1e-6);
}

TEST_F(WarpGridMappingTest, WaveWithZeroAmplitudesLeavesTheCoordinates) {
  WarpGrid& grid = Grid(20, 20);
  ticks_ = 123'456;
  grid.ResetTexCoords();
  grid.Wave(0.0f, 2.0f, 0.0f, 3.0f, 1.0f);
  for (int r = 0; r <= 20; ++r)
    for (int c = 0; c <= 20; ++c) {
      ASSERT_EQ(grid.cells[r][c].u, c / 20.0f);
      ASSERT_EQ(grid.cells[r][c].v, r / 20.0f);
    }
}

TEST_F(WarpGridMappingTest, TwoWavesInOneFrameAddTheirDisplacements) {
  ticks_ = 98'765'432;
  WarpGrid& both = Grid(20, 20);
  WarpGrid& first = Grid(20, 20);
  WarpGrid& second = Grid(20, 20);
  for (WarpGrid* grid : {&both, &first, &second}) grid->ResetTexCoords();
  both.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
  both.Wave(0.2f, 1.0f, 0.1f, 2.0f, 0.6f);
  first.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
  second.Wave(0.2f, 1.0f, 0.1f, 2.0f, 0.6f);
  for (int r = 0; r <= 20; ++r)
    for (int c = 0; c <= 20; ++c) {
      const float u = c / 20.0f, v = r / 20.0f;
      EXPECT_NEAR(both.cells[r][c].u - u, (first.cells[r][c].u - u) + (second.cells[r][c].u - u),
                  1e-6);
      EXPECT_NEAR(both.cells[r][c].v - v, (first.cells[r][c].v - v) + (second.cells[r][c].v - v),
                  1e-6);
    }
}

TEST_F(WarpGridMappingTest, SwirlDiscardsAnEarlierWave) {
  ticks_ = 4'000;
  WarpGrid& waved = Grid(20, 20);
  WarpGrid& plain = Grid(20, 20);
  waved.ResetTexCoords();
  waved.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
  waved.Swirl(0.3f);
  plain.ResetTexCoords();
  plain.Swirl(0.3f);
  for (int r = 0; r <= 20; ++r)
    for (int c = 0; c <= 20; ++c) {
      ASSERT_EQ(waved.cells[r][c].u, plain.cells[r][c].u);
      ASSERT_EQ(waved.cells[r][c].v, plain.cells[r][c].v);
    }
}

TEST_F(WarpGridMappingTest, SwirlOfStrengthZeroShiftsTheTextureByHalfItsSize) {
  // A grid twice as wide as high shows that both coordinates are divided by the columns.
  WarpGrid& grid = Grid(20, 10);
  grid.ResetTexCoords();
  grid.Swirl(0.0f);
  EXPECT_EQ(grid.cells[0][0].u, -0.5f);
  EXPECT_EQ(grid.cells[0][0].v, -0.25f);
  EXPECT_EQ(grid.cells[5][10].u, 0.0f);
  EXPECT_EQ(grid.cells[5][10].v, 0.0f);
  EXPECT_EQ(grid.cells[10][20].u, 0.5f);
  EXPECT_EQ(grid.cells[10][20].v, 0.25f);
  EXPECT_EQ(grid.cells[7][3].u, -0.35f);
  EXPECT_FLOAT_EQ(grid.cells[7][3].v, 0.1f);
}

// The angle from a vertex's offset to the centre to its texture offset, radians.
double TurnOf(const WarpGrid& grid, int r, int c) {
  const double dx = c - grid.cols / 2, dy = r - grid.rows / 2;
  const double u = grid.cells[r][c].u * grid.cols, v = grid.cells[r][c].v * grid.cols;
  return std::atan2(dx * v - dy * u, dx * u + dy * v);
}

TEST_F(WarpGridMappingTest, SwirlTurnsMostAtTheCentreAndLeastAtTheCorners) {
  const float strength = 0.1f;
  WarpGrid& grid = Grid(20, 20);
  grid.ResetTexCoords();
  grid.Swirl(strength);
  // The centre itself does not move; its neighbours, one cell out, turn by (10 - 1/2) s.
  EXPECT_EQ(grid.cells[10][10].u, 0.0f);
  EXPECT_EQ(grid.cells[10][10].v, 0.0f);
  for (auto [r, c] : {std::pair{9, 10}, std::pair{11, 10}, std::pair{10, 9}, std::pair{10, 11}})
    EXPECT_NEAR(TurnOf(grid, r, c), -9.5 * strength, 1e-5) << r << ", " << c;
  const double corner = (10 - 5 * std::sqrt(2.0)) * strength;  // about 2.929 s
  for (auto [r, c] : {std::pair{0, 0}, std::pair{0, 20}, std::pair{20, 0}, std::pair{20, 20}})
    EXPECT_NEAR(TurnOf(grid, r, c), -corner, 1e-5) << r << ", " << c;
  // A turn keeps every vertex at its distance from the centre.
  EXPECT_NEAR(std::hypot(grid.cells[0][0].u, grid.cells[0][0].v), std::sqrt(0.5), 1e-6);
}

// --- Drawing ---

// Drawing tests start from a fresh device each.
class WarpGridDrawTest : public DeviceTest {
 protected:
  WarpGrid& Grid(int cols, int rows, const char* texturePath = "Data\\Tex3.bmp") {
    return grids_.Make(cols, rows, texturePath);
  }

  TextureDir dir_;
  Grids grids_;
};

TEST_F(WarpGridDrawTest, DrawUploadsThenSetsItsStatesThenDrawsThenTurnsBlendingOff) {
  WarpGrid& grid = Grid(20, 20);
  grid.ResetTexCoords();
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  grid.Draw();
  g_renderSwitches.recorder = nullptr;
  const std::string vb = grid.vertexBuffer->Name(), ib = grid.indexBuffer->Name();
  EXPECT_EQ(recorder.Calls(), (std::vector<std::string>{
                                  "Lock(" + vb + ", 0, 12348, 0)",
                                  "Unlock(" + vb + ")",
                                  "SetTextureStageState(0, 17, 2)",
                                  "SetTextureStageState(0, 16, 2)",
                                  "SetTextureStageState(0, 4, 1)",
                                  "SetRenderState(27, 1)",
                                  "SetTexture(0, " + grid.texture->Name() + ")",
                                  "SetRenderState(19, 2)",
                                  "SetRenderState(20, 2)",
                                  "SetTextureStageState(0, 2, 2)",
                                  "SetTextureStageState(0, 1, 2)",
                                  "SetVertexShader(324)",
                                  "SetStreamSource(0, " + vb + ", 28)",
                                  "SetIndices(" + ib + ", 0)",
                                  "DrawIndexedPrimitive(4, 0, 441, 0, 800)",
                                  "SetRenderState(27, 0)",
                              }));
}

TEST_F(WarpGridDrawTest, GridWithoutImageStillDrawsButAddsNothing) {
  WarpGrid& grid = Grid(10, 10, "Data\\missing.bmp");
  ASSERT_EQ(grid.texture, nullptr);
  grid.SetDepth(5000);
  BeginFrame();
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  grid.ResetTexCoords();
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  grid.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(std::count(recorder.Calls().begin(), recorder.Calls().end(),
                       "DrawIndexedPrimitive(4, 0, 121, 0, 200)"),
            1);
  // The vertex colour is black: a grid without its image leaves the frame as it is.
  EXPECT_EQ(Pixel(400, 300), kClear);
  EXPECT_EQ(Pixel(100, 500), kClear);
}

TEST_F(WarpGridDrawTest, ResetGridAddsTheWholeTextureOnceOverTheFrame) {
  WarpGrid& grid = Grid(20, 20);
  grid.SetDepth(5000);
  BeginFrame();
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  grid.ResetTexCoords();
  grid.Draw();
  // The centre of each quarter of the screen samples the centre of one texel.
  EXPECT_TRUE(Near(Pixel(200, 150), Added(kClear, kTopLeft))) << Pixel(200, 150);
  EXPECT_TRUE(Near(Pixel(600, 150), Added(kClear, kTopRight))) << Pixel(600, 150);
  EXPECT_TRUE(Near(Pixel(200, 450), Added(kClear, kBottomLeft))) << Pixel(200, 450);
  EXPECT_TRUE(Near(Pixel(600, 450), Added(kClear, kBottomRight))) << Pixel(600, 450);
}

TEST_F(WarpGridDrawTest, UntwistedSwirlShowsTheTextureQuartersSwapped) {
  WarpGrid& grid = Grid(20, 20);
  grid.SetDepth(5000);
  BeginFrame();
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  grid.ResetTexCoords();
  grid.Swirl(0.0f);
  grid.Draw();
  EXPECT_TRUE(Near(Pixel(200, 150), Added(kClear, kBottomRight))) << Pixel(200, 150);
  EXPECT_TRUE(Near(Pixel(600, 150), Added(kClear, kBottomLeft))) << Pixel(600, 150);
  EXPECT_TRUE(Near(Pixel(200, 450), Added(kClear, kTopRight))) << Pixel(200, 450);
  EXPECT_TRUE(Near(Pixel(600, 450), Added(kClear, kTopLeft))) << Pixel(600, 450);
}

}  // namespace
