// Frames as the capture tool reads them: later than they were drawn, and at a size of its
// choosing, supersampled or not.
#include "render/frame_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/tool_switches.h"
#include "tests/gl_test.h"

namespace {

struct ScreenVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
};

// A rectangle of one colour in back-buffer pixels.
void DrawRect(float left, float top, float right, float bottom, D3DCOLOR colour) {
  const ScreenVertex vertices[4] = {{left, top, 0.5f, 1, colour},
                                    {right, top, 0.5f, 1, colour},
                                    {left, bottom, 0.5f, 1, colour},
                                    {right, bottom, 0.5f, 1, colour}};
  IDirect3DVertexBuffer8* buffer = nullptr;
  g_device->CreateVertexBuffer(sizeof vertices, 0, 0, D3DPOOL_MANAGED, &buffer);
  BYTE* data = nullptr;
  buffer->Lock(0, sizeof vertices, &data, 0);
  std::memcpy(data, vertices, sizeof vertices);
  buffer->Unlock();
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  g_device->SetTexture(0, nullptr);
  g_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  g_device->SetStreamSource(0, buffer, sizeof(ScreenVertex));
  g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  g_device->SetStreamSource(0, nullptr, 0);
  buffer->Release();
}

Rgba At(const std::vector<uint8_t>& rgba, int width, int x, int y) {
  const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 4;
  return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

constexpr Rgba kBlack{0, 0, 0, 255}, kBackground{10, 20, 30, 255}, kWhite{255, 255, 255, 255};

void Background() {
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0A141E, 1.0f, 0);
}

using FrameReaderTest = DeviceTest;

TEST_F(FrameReaderTest, TakesEachFrameAsItWasWhenQueuedOldestFirst) {
  FrameReader reader(*g_device);
  Background();
  DrawRect(0, 0, 100, 50, 0xFFFFFFFF);  // top left: the rows come top row first
  const std::vector<uint8_t> first = ReadBack();
  reader.Queue();
  Background();
  DrawRect(700, 550, 800, 600, 0xFFFFFFFF);
  const std::vector<uint8_t> second = ReadBack();
  reader.Queue();
  Background();  // drawing goes on before the frames are taken
  ASSERT_EQ(reader.Queued(), 2u);
  std::vector<uint8_t> taken;
  reader.Take(taken);
  EXPECT_TRUE(taken == first);
  EXPECT_EQ(At(taken, 800, 10, 10), kWhite);
  reader.Take(taken);
  EXPECT_TRUE(taken == second);
  EXPECT_EQ(reader.Queued(), 0u);
}

// A device made for a 1000x500 frame, supersampled twice over.
class OutputSizeTest : public DeviceTest {
 protected:
  void SetUp() override {
    g_renderSwitches.outputWidth = 1000;
    g_renderSwitches.outputHeight = 500;
    g_renderSwitches.renderScale = 2;
    DeviceTest::SetUp();
  }
  void TearDown() override {
    DeviceTest::TearDown();
    g_renderSwitches = RenderSwitches{};
  }
};

TEST_F(OutputSizeTest, ThePictureFillsTheFramesMiddleBetweenBlackBars) {
  ASSERT_EQ(g_device->FrameWidth(), 1000);
  ASSERT_EQ(g_device->FrameHeight(), 500);
  EXPECT_EQ(g_device->Width(), 800) << "the demo still draws in back-buffer coordinates";
  Background();
  DrawRect(0, 0, 400, 600, 0xFFFFFFFF);  // the picture's left half
  FrameReader reader(*g_device);
  reader.Queue();
  std::vector<uint8_t> frame;
  reader.Take(frame);
  ASSERT_EQ(frame.size(), 1000u * 500u * 4u);
  EXPECT_TRUE(frame == ReadBack());
  // The picture is 667x500 from x = 166: white to x = 499, background after it. (Its
  // outer pixels on the left and at the top are half covered: supersampled, the rectangle's
  // edge runs through them, as it runs through the pixel centres of a Direct3D screen.)
  for (int y : {1, 250, 499}) {
    EXPECT_EQ(At(frame, 1000, 165, y), kBlack) << y;
    EXPECT_EQ(At(frame, 1000, 167, y), kWhite) << y;
    EXPECT_EQ(At(frame, 1000, 497, y), kWhite) << y;
    EXPECT_EQ(At(frame, 1000, 502, y), kBackground) << y;
    EXPECT_EQ(At(frame, 1000, 831, y), kBackground) << y;
    EXPECT_EQ(At(frame, 1000, 834, y), kBlack) << y;
  }
}

}  // namespace
