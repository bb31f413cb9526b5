// What reaches the screen through the device: the fixed-function rules, checked by
// drawing on a real GL device and reading the back buffer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/d3dx_math.h"
#include "render/d3dx_texture.h"
#include "render/tool_switches.h"
#include "tests/gl_test.h"

namespace {

struct GridVertex {  // 0x144
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kGridFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct WorldVertex {  // 0x142
  float x, y, z;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kWorldFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

constexpr D3DCOLOR kTexel = 0xFFC86432;    // (200, 100, 50)
constexpr D3DCOLOR kDiffuse = 0xFF6432C8;  // (100, 50, 200)

bool Near(const Rgba& a, const Rgba& b, int tolerance = 2) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

class DevicePixelTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0A141E, 1.0f, 0);
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  }
  void TearDown() override {
    for (IDirect3DTexture8* t : textures_) t->Release();
    for (IDirect3DVertexBuffer8* b : buffers_) b->Release();
    DeviceTest::TearDown();
  }

  // A texture of `width` x `height` ARGB texels, top row first.
  IDirect3DTexture8* Texture(int width, int height, const std::vector<D3DCOLOR>& texels) {
    std::vector<uint8_t> rgba;
    for (D3DCOLOR c : texels)
      rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
    textures_.push_back(new IDirect3DTexture8(g_device, width, height, rgba.data(), "test"));
    return textures_.back();
  }

  template <typename Vertex>
  void DrawStrip(DWORD fvf, const std::vector<Vertex>& vertices) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    const UINT length = UINT(vertices.size() * sizeof(Vertex));
    g_device->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer);
    BYTE* data = nullptr;
    buffer->Lock(0, length, &data, 0);
    std::memcpy(data, vertices.data(), length);
    buffer->Unlock();
    buffers_.push_back(buffer);
    g_device->SetVertexShader(fvf);
    g_device->SetStreamSource(0, buffer, sizeof(Vertex));
    g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, UINT(vertices.size() - 2));
  }

  // A screen rectangle in back-buffer pixels at depth z, texture coordinates 0..u, 0..v.
  void DrawRect(float left, float top, float right, float bottom, float z = 0.5f,
                D3DCOLOR diffuse = kDiffuse, float u = 1, float v = 1) {
    DrawStrip<GridVertex>(kGridFvf, {{left, top, z, 1, diffuse, 0, 0},
                                     {right, top, z, 1, diffuse, u, 0},
                                     {left, bottom, z, 1, diffuse, 0, v},
                                     {right, bottom, z, 1, diffuse, u, v}});
  }

  void Stage0(DWORD op, DWORD arg1 = D3DTA_TEXTURE, DWORD arg2 = D3DTA_DIFFUSE) {
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, op);
    g_device->SetTextureStageState(0, D3DTSS_COLORARG1, arg1);
    g_device->SetTextureStageState(0, D3DTSS_COLORARG2, arg2);
  }

  // Eye at (0, 0, -100) looking at the origin, the demo's lens.
  void Camera() {
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye{0, 0, -100}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 800.0f / 600.0f, 10, 10000);
    g_device->SetTransform(D3DTS_VIEW, &view);
    g_device->SetTransform(D3DTS_PROJECTION, &projection);
  }

  // A square in the plane z at world x, y in -half..half, one colour, clockwise on screen.
  void DrawWorldSquare(float half, float z, D3DCOLOR colour) {
    g_device->SetTexture(0, nullptr);
    DrawStrip<WorldVertex>(kWorldFvf, {{-half, half, z, colour, 0, 0},
                                       {half, half, z, colour, 1, 0},
                                       {-half, -half, z, colour, 0, 1},
                                       {half, -half, z, colour, 1, 1}});
  }

  std::vector<IDirect3DTexture8*> textures_;
  std::vector<IDirect3DVertexBuffer8*> buffers_;
};

Rgba Colour(D3DCOLOR c) {
  return {int(c >> 16 & 255), int(c >> 8 & 255), int(c & 255), int(c >> 24)};
}

// --- Texture stage colour operations -------------------------------------------------

struct OpCase {
  DWORD op;
  Rgba expected;
};

TEST_F(DevicePixelTest, EveryColourOperationOnAKnownTexelAndDiffuse) {
  // texel (200, 100, 50), diffuse (100, 50, 200)
  const OpCase cases[] = {
      {D3DTOP_SELECTARG1, {200, 100, 50, 255}}, {D3DTOP_SELECTARG2, {100, 50, 200, 255}},
      {D3DTOP_MODULATE, {78, 20, 39, 255}},     {D3DTOP_MODULATE2X, {157, 39, 78, 255}},
      {D3DTOP_MODULATE4X, {255, 78, 157, 255}}, {D3DTOP_ADD, {255, 150, 250, 255}},
      {D3DTOP_ADDSIGNED, {172, 22, 122, 255}},  {D3DTOP_SUBTRACT, {100, 50, 0, 255}},
  };
  g_device->SetTexture(0, Texture(1, 1, {kTexel}));
  float left = 0;
  for (const OpCase& c : cases) {
    Stage0(c.op);
    DrawRect(left, 0, left + 20, 20);
    left += 20;
  }
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_PRED3(Near, Pixel(int(i) * 20 + 10, 10), cases[i].expected, 2)
        << "operation " << cases[i].op;
}

TEST_F(DevicePixelTest, InitialStageZeroModulatesTextureWithDiffuse) {
  g_device->SetTexture(0, Texture(1, 1, {kTexel}));
  DrawRect(0, 0, 20, 20);
  EXPECT_PRED3(Near, Pixel(10, 10), (Rgba{78, 20, 39, 255}), 2);
}

TEST_F(DevicePixelTest, FormatsWithoutDiffuseModulateWithWhite) {
  struct ScreenVertex {
    float x, y, z, rhw, u, v;
  };
  g_device->SetTexture(0, Texture(1, 1, {kTexel}));
  DrawStrip<ScreenVertex>(D3DFVF_XYZRHW | D3DFVF_TEX1, {{0, 0, 0.5f, 1, 0, 0},
                                                        {20, 0, 0.5f, 1, 1, 0},
                                                        {0, 20, 0.5f, 1, 0, 1},
                                                        {20, 20, 0.5f, 1, 1, 1}});
  EXPECT_PRED3(Near, Pixel(10, 10), Colour(kTexel), 1);
}

TEST_F(DevicePixelTest, NullTextureOnStageOneLeavesStageZeroUnchanged) {
  g_device->SetTexture(0, Texture(1, 1, {kTexel}));
  Stage0(D3DTOP_SELECTARG1);
  g_device->SetTexture(1, nullptr);
  g_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  DrawRect(0, 0, 20, 20);
  g_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  DrawRect(20, 0, 40, 20);
  EXPECT_PRED3(Near, Pixel(10, 10), Colour(kTexel), 1);
  EXPECT_PRED3(Near, Pixel(30, 10), Colour(kTexel), 1);
}

TEST_F(DevicePixelTest, NullTextureOnStageZeroPassesTheDiffuse) {
  g_device->SetTexture(0, nullptr);
  DrawRect(0, 0, 20, 20);
  EXPECT_PRED3(Near, Pixel(10, 10), Colour(kDiffuse), 1);
}

TEST_F(DevicePixelTest, StageOneWithATextureCombinesWithStageZero) {
  g_device->SetTexture(0, Texture(1, 1, {0xFF402010}));
  Stage0(D3DTOP_SELECTARG1);
  g_device->SetTexture(1, Texture(1, 1, {0xFF102040}));
  g_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  DrawRect(0, 0, 20, 20);
  EXPECT_PRED3(Near, Pixel(10, 10), (Rgba{0x50, 0x40, 0x50, 255}), 1);
}

// --- Blending ---------------------------------------------------------------------------

TEST_F(DevicePixelTest, AdditiveBlendingAddsAndSaturates) {
  g_device->SetTexture(0, Texture(1, 1, {0xFFFA6432}));  // (250, 100, 50)
  Stage0(D3DTOP_SELECTARG1);
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  DrawRect(0, 0, 20, 20);
  EXPECT_PRED3(Near, Pixel(10, 10), (Rgba{255, 120, 80, 255}), 1);
}

TEST_F(DevicePixelTest, StateSetByOneDrawStaysForTheNext) {
  g_device->SetTexture(0, Texture(1, 1, {0xFF202020}));
  Stage0(D3DTOP_SELECTARG1);
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  DrawRect(0, 0, 20, 20);
  DrawRect(0, 0, 20, 20);  // nothing set in between: still textured, still additive
  EXPECT_PRED3(Near, Pixel(10, 10), (Rgba{10 + 64, 20 + 64, 30 + 64, 255}), 1);
}

TEST_F(DevicePixelTest, SourceAlphaBlendUsesTheTexelAlpha) {
  g_device->SetTexture(0, Texture(1, 1, {0x80FFFFFF}));
  Stage0(D3DTOP_SELECTARG1);
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  DrawRect(0, 0, 20, 20);
  const Rgba blended = Pixel(10, 10);  // the back buffer's alpha is not the subject here
  EXPECT_PRED3(Near, (Rgba{blended.r, blended.g, blended.b, 0}), (Rgba{133, 138, 143, 0}), 2);
}

// --- Depth -------------------------------------------------------------------------------

TEST_F(DevicePixelTest, DepthTestHidesAFartherQuad) {
  g_device->SetTexture(0, nullptr);
  DrawRect(0, 0, 20, 20, 0.3f, 0xFFFF0000);
  DrawRect(0, 0, 20, 20, 0.6f, 0xFF00FF00);
  DrawRect(20, 0, 40, 20, 0.6f, 0xFF00FF00);
  DrawRect(20, 0, 40, 20, 0.3f, 0xFFFF0000);
  EXPECT_EQ(Pixel(10, 10), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(30, 10), (Rgba{255, 0, 0, 255}));
}

TEST_F(DevicePixelTest, PretransformedDepthBeyondOneIsAnOverlayOverNearerGeometry) {
  Camera();
  DrawWorldSquare(30, 0, 0xFF00FF00);  // fills the centre, depth well inside 0..1
  g_device->SetTexture(0, nullptr);
  DrawRect(380, 280, 420, 320, 1000.0f, 0xFFFF0000);
  EXPECT_EQ(Pixel(400, 300), (Rgba{255, 0, 0, 255}));
  // The square lies at depth 0.9; the overlay wrote no depth, so it still hides this one.
  DrawRect(390, 290, 410, 310, 0.95f, 0xFF0000FF);
  EXPECT_EQ(Pixel(400, 300), (Rgba{255, 0, 0, 255}));
}

TEST_F(DevicePixelTest, PretransformedDepthInsideRangeIsHiddenBehindNearerGeometry) {
  Camera();
  DrawWorldSquare(30, 0, 0xFF00FF00);
  g_device->SetTexture(0, nullptr);
  DrawRect(380, 280, 420, 320, 0.9999f, 0xFFFF0000);
  EXPECT_EQ(Pixel(400, 300), (Rgba{0, 255, 0, 255}));
  DrawRect(380, 280, 420, 320, 0.001f, 0xFFFF0000);
  EXPECT_EQ(Pixel(400, 300), (Rgba{255, 0, 0, 255}));
}

TEST_F(DevicePixelTest, DepthWritesOffLetsALaterFartherDrawThrough) {
  g_device->SetTexture(0, nullptr);
  g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  DrawRect(0, 0, 20, 20, 0.3f, 0xFFFF0000);
  DrawRect(0, 0, 20, 20, 0.6f, 0xFF00FF00);
  EXPECT_EQ(Pixel(10, 10), (Rgba{0, 255, 0, 255}));
}

// --- Culling ----------------------------------------------------------------------------

TEST_F(DevicePixelTest, CullModesJudgeWindingOnTheScreen) {
  g_device->SetTexture(0, nullptr);
  struct Case {
    DWORD mode;
    bool clockwiseShown, counterClockwiseShown;
  } cases[] = {{D3DCULL_NONE, true, true},
               {D3DCULL_CW, false, true},
               {D3DCULL_CCW, true, false},
               {0, true, true}};
  float top = 0;
  for (const Case& c : cases) {
    g_device->SetRenderState(D3DRS_CULLMODE, c.mode);
    // Clockwise on the y-down screen: (0,0) -> (20,0) -> (0,20).
    DrawStrip<GridVertex>(kGridFvf, {{0, top, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                     {20, top, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                     {0, top + 20, 0.5f, 1, 0xFFFFFFFF, 0, 0}});
    DrawStrip<GridVertex>(kGridFvf, {{40, top, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                     {40, top + 20, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                     {60, top, 0.5f, 1, 0xFFFFFFFF, 0, 0}});
    top += 30;
  }
  top = 0;
  const Rgba white{255, 255, 255, 255}, clear{10, 20, 30, 255};
  for (const Case& c : cases) {
    EXPECT_EQ(Pixel(5, int(top) + 5), c.clockwiseShown ? white : clear) << "mode " << c.mode;
    EXPECT_EQ(Pixel(45, int(top) + 5), c.counterClockwiseShown ? white : clear)
        << "mode " << c.mode;
    top += 30;
  }
}

// --- Coordinates ------------------------------------------------------------------------

TEST_F(DevicePixelTest, PretransformedPixelCentresLieOnIntegers) {
  g_device->SetTexture(0, nullptr);
  DrawRect(10, 10, 20, 20, 0.5f, 0xFFFFFFFF);
  const Rgba white{255, 255, 255, 255}, clear{10, 20, 30, 255};
  EXPECT_EQ(Pixel(10, 10), white);
  EXPECT_EQ(Pixel(19, 19), white);
  EXPECT_EQ(Pixel(9, 10), clear);
  EXPECT_EQ(Pixel(20, 10), clear);
  EXPECT_EQ(Pixel(10, 9), clear);
  EXPECT_EQ(Pixel(10, 20), clear);
}

TEST_F(DevicePixelTest, ImagesLandTexelExact) {
  // A 4x1 texture stretched over 4 pixels, point-sampled: each pixel gets its own texel.
  g_device->SetTexture(0, Texture(4, 1, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
  Stage0(D3DTOP_SELECTARG1);
  DrawRect(100, 100, 104, 101);
  EXPECT_EQ(Pixel(100, 100), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(101, 100), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(102, 100), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(103, 100), (Rgba{255, 255, 255, 255}));
}

TEST_F(DevicePixelTest, ProjectionPutsAWorldPointOnThePixelDirect3DWould) {
  // A point at (40, 30, 0) seen from (0, 0, -100): x_ndc = 40 * cot(pi/8) / aspect / 100.
  Camera();
  const float cot = 1.0f / std::tan(0.7853982f / 2), aspect = 800.0f / 600.0f;
  const float xs = (40 * cot / aspect / 100 + 1) / 2 * 800;
  const float ys = (1 - 30 * cot / 100) / 2 * 600;
  g_device->SetTexture(0, nullptr);
  DrawStrip<WorldVertex>(kWorldFvf, {{39.8f, 30.2f, 0, 0xFFFFFFFF, 0, 0},
                                     {40.2f, 30.2f, 0, 0xFFFFFFFF, 0, 0},
                                     {39.8f, 29.8f, 0, 0xFFFFFFFF, 0, 0},
                                     {40.2f, 29.8f, 0, 0xFFFFFFFF, 0, 0}});
  const int x = int(std::lround(xs)), y = int(std::lround(ys));
  int found = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) found += Pixel(x + dx, y + dy).r == 255;
  EXPECT_GT(found, 0) << "expected near pixel (" << xs << ", " << ys << ")";
  EXPECT_EQ(Pixel(x + 4, y).r, 10);
  EXPECT_EQ(Pixel(x, y + 4).r, 10);
}

TEST_F(DevicePixelTest, IndexedDrawsCountIndicesFromTheBaseVertex) {
  // Two rectangles in one buffer, red at the left and green at the right; the same four
  // indices draw the second one from base vertex 4.
  const std::vector<GridVertex> vertices = {
      {0, 0, 0.5f, 1, 0xFFFF0000, 0, 0},   {10, 0, 0.5f, 1, 0xFFFF0000, 0, 0},
      {0, 10, 0.5f, 1, 0xFFFF0000, 0, 0},  {10, 10, 0.5f, 1, 0xFFFF0000, 0, 0},
      {20, 0, 0.5f, 1, 0xFF00FF00, 0, 0},  {30, 0, 0.5f, 1, 0xFF00FF00, 0, 0},
      {20, 10, 0.5f, 1, 0xFF00FF00, 0, 0}, {30, 10, 0.5f, 1, 0xFF00FF00, 0, 0}};
  g_device->SetTexture(0, nullptr);
  DrawStrip<GridVertex>(kGridFvf, vertices);  // fills the buffer; draws both and the seam
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0A141E, 1.0f, 0);
  IDirect3DIndexBuffer8* indices = nullptr;
  g_device->CreateIndexBuffer(8, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices);
  BYTE* data = nullptr;
  indices->Lock(0, 8, &data, 0);
  const uint16_t strip[4] = {0, 1, 2, 3};
  std::memcpy(data, strip, sizeof strip);
  indices->Unlock();
  g_device->SetIndices(indices, 4);
  g_device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 4, 0, 2);
  EXPECT_EQ(Pixel(25, 5), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(5, 5), (Rgba{10, 20, 30, 255}));
  indices->Release();
}

TEST_F(DevicePixelTest, SkippedDrawsLeaveTheFrameButKeepTheStateTheySet) {
  g_device->SetTexture(0, nullptr);
  DrawRect(0, 0, 10, 10, 0.5f, 0xFFFF0000);
  g_renderSwitches.skipDrawing = true;
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
  g_device->SetTexture(0, Texture(1, 1, {0xFF0000FF}));
  Stage0(D3DTOP_SELECTARG1);
  DrawRect(20, 0, 30, 10, 0.5f, 0xFFFF0000);
  g_renderSwitches.skipDrawing = false;
  EXPECT_EQ(Pixel(5, 5), (Rgba{255, 0, 0, 255})) << "the skipped clear cleared nothing";
  EXPECT_EQ(Pixel(25, 5), (Rgba{10, 20, 30, 255})) << "the skipped draw drew nothing";
  DrawRect(40, 0, 50, 10, 0.5f, 0xFFFF0000);
  EXPECT_EQ(Pixel(45, 5), (Rgba{0, 0, 255, 255})) << "texture and stage set while skipping";
}

// --- Textures ---------------------------------------------------------------------------

TEST_F(DevicePixelTest, WrapAddressingRepeatsTheImage) {
  g_device->SetTexture(0, Texture(2, 1, {0xFFFF0000, 0xFF00FF00}));
  Stage0(D3DTOP_SELECTARG1);
  DrawRect(0, 0, 8, 1, 0.5f, kDiffuse, 4, 1);  // u runs 0..4 over 8 pixels: R G R G ...
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(Pixel(x, 0), (x % 2 ? Rgba{0, 255, 0, 255} : Rgba{255, 0, 0, 255})) << x;
}

TEST_F(DevicePixelTest, LinearFilteringBlendsNeighbouringTexels) {
  g_device->SetTexture(0, Texture(2, 1, {0xFF000000, 0xFFFFFFFF}));
  Stage0(D3DTOP_SELECTARG1);
  g_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  g_device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  DrawRect(0, 0, 64, 16);  // clearly magnified in both directions
  const int middle = Pixel(32, 0).r;
  EXPECT_GT(middle, 100);
  EXPECT_LT(middle, 155);
  EXPECT_LT(Pixel(2, 0).r, 5);
  EXPECT_GT(Pixel(61, 0).r, 250);
}

// --- Lighting ---------------------------------------------------------------------------

TEST_F(DevicePixelTest, LightingLeftOnIsReportedOnceAndDrawsUnlit) {
  g_device->SetTexture(0, nullptr);
  g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
  testing::internal::CaptureStderr();
  DrawRect(0, 0, 20, 20);
  DrawRect(20, 0, 40, 20);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "emberhall: lighting is not supported; drawing unlit\n");
  EXPECT_PRED3(Near, Pixel(10, 10), Colour(kDiffuse), 1);
}

}  // namespace
