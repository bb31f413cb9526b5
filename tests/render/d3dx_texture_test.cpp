// Textures from BMP files through the data lookup, drawn on the real device.
#include "render/d3dx_texture.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/gl_test.h"
#include "tests/test_files.h"

namespace {

class TextureFileTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0A141E, 1.0f, 0);
    char pattern[] = "/tmp/emberhall_tex_XXXXXX";
    root_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    std::filesystem::create_directory("Data");
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(root_);
    DeviceTest::TearDown();
  }
  static void Write(const char* path, const std::string& bytes) {
    FILE* file = std::fopen(path, "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }

  // Draws `texture` point-sampled and unmodulated over the screen rectangle given.
  void DrawTexture(IDirect3DTexture8* texture, float left, float top, float right, float bottom) {
    struct Vertex {
      float x, y, z, rhw, u, v;
    } corners[4] = {{left, top, 0.5f, 1, 0, 0},
                    {right, top, 0.5f, 1, 1, 0},
                    {left, bottom, 0.5f, 1, 0, 1},
                    {right, bottom, 0.5f, 1, 1, 1}};
    IDirect3DVertexBuffer8* buffer = nullptr;
    g_device->CreateVertexBuffer(sizeof corners, 0, 0, D3DPOOL_DEFAULT, &buffer);
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, corners, sizeof corners);
    buffer->Unlock();
    g_device->SetTexture(0, texture);
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_TEX1);
    g_device->SetStreamSource(0, buffer, sizeof(Vertex));
    g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    buffer->Release();
  }

  std::string root_;
  std::filesystem::path previous_;
};

TEST_F(TextureFileTest, TopRowOfTheFileLandsAtVZero) {
  Write("Data/Quad.bmp", Bmp24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}));
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileA(g_device, "data\\QUAD.bmp", &texture), D3D_OK);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->Width(), 2);
  DrawTexture(texture, 0, 0, 2, 2);
  EXPECT_EQ(Pixel(0, 0), (Rgba{255, 0, 0, 255})) << "24-bit images sample alpha 1";
  EXPECT_EQ(Pixel(1, 0), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(0, 1), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(1, 1), (Rgba{255, 255, 255, 255}));
  texture->Release();
}

TEST_F(TextureFileTest, NonPowerOfTwoImagesKeepTheirSize) {
  Write("Data/odd.bmp", Bmp24(3, 5, std::vector<uint32_t>(15, 0x808080)));
  IDirect3DTexture8* texture = nullptr;
  D3DXCreateTextureFromFileA(g_device, "Data\\odd.bmp", &texture);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->Width(), 3);
  EXPECT_EQ(texture->Height(), 5);
  texture->Release();
}

TEST_F(TextureFileTest, MissingTruncatedOrForeignFilesLeaveTheTextureNull) {
  const std::string good = Bmp24(2, 2, {1, 2, 3, 4});
  Write("Data/short.bmp", good.substr(0, good.size() - 3));
  Write("Data/text.bmp", "this is not a picture");
  for (const char* path : {"Data\\none.bmp", "Data\\short.bmp", "Data\\text.bmp"}) {
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(g_device, path, &texture))) << path;
    EXPECT_EQ(texture, nullptr) << path;
  }
}

TEST_F(TextureFileTest, PictureLargerThanTheGlLimitLeavesTheTextureNull) {
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  ASSERT_GT(maxSide, 0);
  Write("Data/edge.bmp", Bmp24(maxSide, 1, std::vector<uint32_t>(maxSide, 0x804020)));
  Write("Data/over.bmp", Bmp24(1, maxSide + 1, std::vector<uint32_t>(maxSide + 1, 0x804020)));
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileA(g_device, "Data\\edge.bmp", &texture), D3D_OK);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->Width(), maxSide);
  texture->Release();
  texture = reinterpret_cast<IDirect3DTexture8*>(1);
  EXPECT_EQ(D3DXCreateTextureFromFileA(g_device, "Data\\over.bmp", &texture), D3DXERR_INVALIDDATA);
  EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureFileTest, MipLevelsAreSampledOnlyWhenAskedFor) {
  // A black and white checkerboard drawn into one pixel: the top level gives one texel,
  // the mip chain gives their average.
  std::vector<uint32_t> checker(64);
  for (int i = 0; i < 64; ++i) checker[size_t(i)] = ((i % 8) + (i / 8)) % 2 ? 0xFFFFFF : 0;
  Write("Data/checker.bmp", Bmp24(8, 8, checker));
  IDirect3DTexture8* texture = nullptr;
  D3DXCreateTextureFromFileA(g_device, "Data\\checker.bmp", &texture);
  ASSERT_NE(texture, nullptr);
  DrawTexture(texture, 10, 10, 11, 11);
  const int top = Pixel(10, 10).r;
  EXPECT_TRUE(top == 0 || top == 255) << top;
  g_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
  DrawTexture(texture, 20, 10, 21, 11);
  EXPECT_NEAR(Pixel(20, 10).r, 128, 3);
  texture->Release();
}

}  // namespace
