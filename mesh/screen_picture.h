// A screen picture: a textured rectangle given directly in screen pixels.
//
// Four pre-transformed corners drawn as a two-triangle strip, with no world, view or
// projection. The texture coordinates are fixed at the corners when the picture is
// created, so the whole image always stretches over the rectangle, and a rectangle given
// right to left or bottom to top shows it mirrored. The timeline moves a picture by
// SetRect every frame. In blend mode 1 Draw adds the picture to the screen: a black
// texel leaves the screen unchanged, a white one turns it white; a picture whose buffer
// or image is missing draws nothing. Draw sets the cull mode to 0 before and to
// D3DCULL_NONE after, whatever it was.
//
// Not here: depth states (the device shows these depths over the frame), filtering,
// any blend mode but additive. Buffer and texture are never released.
#pragma once

#include "render/d3d8.h"

// D3DFVF_XYZRHW | D3DFVF_TEX1.
constexpr DWORD kScreenVertexFormat = 0x104;

struct ScreenVertex {
  float x, y;  // pixels, y downward
  float z;
  float rhw;  // always 1
  float u, v;
};
static_assert(sizeof(ScreenVertex) == 24);

class ScreenPicture {
 public:
  // Makes the vertex buffer, loads the texture and sets the rectangle; blend mode 0.
  void Create(float left, float top, float right, float bottom, float z, const char* texturePath);
  // Moves the corners; the texture coordinates stay where they are.
  void SetRect(float left, float top, float right, float bottom, float z);
  // 1: additive. Every picture is set to 1 before it is first drawn.
  void SetBlendMode(BYTE mode);
  void Draw();

  BYTE blendMode = 0;
  // Strip order: top-left, top-right, bottom-left, bottom-right.
  ScreenVertex corners[4] = {};
  IDirect3DVertexBuffer8* vertexBuffer = nullptr;  // a copy of `corners`
  IDirect3DTexture8* texture = nullptr;

 private:
  void SetCorners(float left, float top, float right, float bottom, float z);
  void Upload();
};

extern ScreenPicture g_titlePicture;
extern ScreenPicture g_presentsPicture;
extern ScreenPicture g_wherePicture;
extern ScreenPicture g_finishPicture;
extern ScreenPicture g_codePicture;
extern ScreenPicture g_greetsPicture;
