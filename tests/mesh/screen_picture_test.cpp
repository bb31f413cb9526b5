// Screen pictures: the corners a rectangle gives, the device calls of Draw and what
// reaches the screen.
#include "mesh/screen_picture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "render/tool_switches.h"
#include "tests/demo_data.h"
#include "tests/gl_test.h"
#include "tests/test_files.h"

namespace {

constexpr Rgba kClear{10, 20, 30, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

void ExpectCorner(const ScreenVertex& corner, float x, float y, float z, float u, float v) {
  EXPECT_EQ(corner.x, x);
  EXPECT_EQ(corner.y, y);
  EXPECT_EQ(corner.z, z);
  EXPECT_EQ(corner.rhw, 1.0f);
  EXPECT_EQ(corner.u, u);
  EXPECT_EQ(corner.v, v);
}

// A fresh working directory whose Data\where.bmp is two texels wide, white on the left
// and black on the right; the previous directory comes back at the end.
class PictureDir {
 public:
  PictureDir() {
    std::filesystem::create_directory("Data");
    WriteFile("Data/where.bmp", Bmp24(2, 1, {0xFFFFFF, 0x000000}));
  }

 private:
  DemoDataDir dir_{false};
};

// A picture made by a test over the rectangle given, from Data\where.bmp unless told
// otherwise; its buffer and texture are released with it, which the demo never does.
struct TestPicture : ScreenPicture {
  TestPicture() = default;
  TestPicture(float left, float top, float right, float bottom, float z,
              const char* path = "Data\\where.bmp") {
    Create(left, top, right, bottom, z, path);
  }
  ~TestPicture() {
    if (vertexBuffer) vertexBuffer->Release();
    if (texture) texture->Release();
  }
};

// What the vertex buffer holds now.
std::vector<ScreenVertex> Uploaded(const ScreenPicture& picture) {
  std::vector<ScreenVertex> corners(4);
  std::memcpy(corners.data(), picture.vertexBuffer->Memory(), 4 * sizeof(ScreenVertex));
  return corners;
}

// Tests that only read back corners share one device per suite.
class ScreenPictureCornerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetWindowSystem();
    InitDevice(CreateDemoWindow());
  }
  static void TearDownTestSuite() {
    ShutdownDemo();
    ResetWindowSystem();
  }
  void SetUp() override { ASSERT_NE(g_device, nullptr); }
  void TearDown() override { g_renderSwitches.recorder = nullptr; }

  PictureDir dir_;
};

// Drawing tests start from a fresh device each.
class ScreenPictureDrawTest : public DeviceTest {
 protected:
  PictureDir dir_;
};

// --- Corners ---

TEST_F(ScreenPictureCornerTest, CreateLaysTheImageOverTheRectangleInStripOrder) {
  TestPicture picture;
  picture.SetBlendMode(1);
  picture.Create(10, 20, 110, 70, 5000, "Data\\where.bmp");
  EXPECT_EQ(picture.blendMode, 0);
  ASSERT_NE(picture.vertexBuffer, nullptr);
  EXPECT_NE(picture.texture, nullptr);
  for (const auto& corners :
       {std::vector<ScreenVertex>(picture.corners, picture.corners + 4), Uploaded(picture)}) {
    ExpectCorner(corners[0], 10, 20, 5000, 0, 0);
    ExpectCorner(corners[1], 110, 20, 5000, 1, 0);
    ExpectCorner(corners[2], 10, 70, 5000, 0, 1);
    ExpectCorner(corners[3], 110, 70, 5000, 1, 1);
  }
}

TEST_F(ScreenPictureCornerTest, SetRectMovesTheCornersAndKeepsTheirTextureCoordinates) {
  TestPicture picture(0, 0, 300, 70, 5000);
  picture.SetRect(40, 0, 640, 300, 1000);
  const std::vector<ScreenVertex> uploaded = Uploaded(picture);
  ExpectCorner(uploaded[0], 40, 0, 1000, 0, 0);
  ExpectCorner(uploaded[1], 640, 0, 1000, 1, 0);
  ExpectCorner(uploaded[2], 40, 300, 1000, 0, 1);
  ExpectCorner(uploaded[3], 640, 300, 1000, 1, 1);
}

TEST_F(ScreenPictureCornerTest, RectangleGivenBackwardsMirrorsTheImage) {
  TestPicture picture(0, 0, 300, 70, 5000);
  picture.SetRect(640, 300, 40, 0, 1000);
  const std::vector<ScreenVertex> uploaded = Uploaded(picture);
  ExpectCorner(uploaded[0], 640, 300, 1000, 0, 0);
  ExpectCorner(uploaded[1], 40, 300, 1000, 1, 0);
  ExpectCorner(uploaded[2], 640, 0, 1000, 0, 1);
  ExpectCorner(uploaded[3], 40, 0, 1000, 1, 1);
}

TEST_F(ScreenPictureCornerTest, CreateMakesTheBufferLoadsTheTextureThenFillsTheBuffer) {
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  TestPicture picture(0, 0, 1000, 580, 1000);
  g_renderSwitches.recorder = nullptr;
  const std::string vb = picture.vertexBuffer->Name();
  EXPECT_EQ(recorder.Calls(),
            (std::vector<std::string>{
                "CreateVertexBuffer(96, 0, 260, 0, " + vb + ")",
                "D3DXCreateTextureFromFileA(Data\\where.bmp, " + picture.texture->Name() + ")",
                "Lock(" + vb + ", 0, 96, 0)", "Unlock(" + vb + ")"}));
}

// --- Drawing ---

TEST_F(ScreenPictureDrawTest, AdditiveDrawSetsItsStatesBetweenTheTwoCullModes) {
  TestPicture picture(0, 0, 300, 70, 5000);
  picture.SetBlendMode(1);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  picture.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(recorder.Calls(), (std::vector<std::string>{
                                  "SetRenderState(22, 0)",
                                  "SetRenderState(27, 1)",
                                  "SetTexture(0, " + picture.texture->Name() + ")",
                                  "SetRenderState(19, 2)",
                                  "SetRenderState(20, 2)",
                                  "SetTextureStageState(0, 2, 2)",
                                  "SetTextureStageState(0, 1, 2)",
                                  "SetVertexShader(260)",
                                  "SetStreamSource(0, " + picture.vertexBuffer->Name() + ", 24)",
                                  "DrawPrimitive(5, 0, 2)",
                                  "SetRenderState(27, 0)",
                                  "SetRenderState(22, 1)",
                              }));
}

TEST_F(ScreenPictureDrawTest, DrawLeavesCullingOffWhateverItWas) {
  TestPicture picture(0, 0, 300, 70, 5000);
  picture.SetBlendMode(1);
  for (DWORD before : {DWORD(D3DCULL_CW), DWORD(D3DCULL_CCW), DWORD(0)}) {
    g_device->SetRenderState(D3DRS_CULLMODE, before);
    picture.Draw();
    DWORD after = 0;
    g_device->GetRenderState(D3DRS_CULLMODE, &after);
    EXPECT_EQ(after, DWORD(D3DCULL_NONE)) << "before: " << before;
  }
}

TEST_F(ScreenPictureDrawTest, PictureThatIsNotAdditiveOnlySwitchesCulling) {
  TestPicture picture(0, 0, 300, 70, 5000);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  picture.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(recorder.Calls(),
            (std::vector<std::string>{"SetRenderState(22, 0)", "SetRenderState(22, 1)"}));
}

TEST_F(ScreenPictureDrawTest, PictureWithoutBufferDrawsNothing) {
  ScreenPicture picture;
  picture.SetRect(0, 0, 800, 600, 1000);
  picture.SetBlendMode(1);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  picture.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(recorder.Calls(),
            (std::vector<std::string>{"SetRenderState(22, 0)", "SetRenderState(22, 1)"}));
}

TEST_F(ScreenPictureDrawTest, PictureWithoutImageDrawsNothing) {
  TestPicture picture(0, 0, 800, 600, 1000, "Data\\missing.bmp");
  ASSERT_EQ(picture.texture, nullptr);
  picture.SetBlendMode(1);
  BeginFrame();
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  picture.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(recorder.Calls(),
            (std::vector<std::string>{"SetRenderState(22, 0)", "SetRenderState(22, 1)"}));
  EXPECT_EQ(Pixel(400, 300), kClear);
}

TEST_F(ScreenPictureDrawTest, WhiteTexelTurnsTheScreenWhiteAndBlackLeavesIt) {
  TestPicture picture(0, 0, 300, 70, 5000);
  picture.SetBlendMode(1);
  BeginFrame();
  picture.SetRect(100, 100, 300, 200, 1000);
  picture.Draw();
  EXPECT_EQ(Pixel(150, 150), kWhite);
  EXPECT_EQ(Pixel(250, 150), kClear);
  EXPECT_EQ(Pixel(50, 150), kClear);
  EXPECT_EQ(Pixel(150, 250), kClear);
}

TEST_F(ScreenPictureDrawTest, BackwardsRectangleShowsTheImageMirrored) {
  TestPicture picture(0, 0, 300, 70, 5000);
  picture.SetBlendMode(1);
  BeginFrame();
  picture.SetRect(300, 100, 100, 200, 1000);
  picture.Draw();
  EXPECT_EQ(Pixel(150, 150), kClear);
  EXPECT_EQ(Pixel(250, 150), kWhite);
}

}  // namespace
