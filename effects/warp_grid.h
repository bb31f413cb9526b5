// The full-screen warp grid: a texture rippled or twisted over the whole frame.
//
// A grid of pre-transformed vertices covers the 800 by 600 screen; the vertices never
// move, only their texture coordinates do. Each frame that shows a grid calls
// ResetTexCoords (the plain mapping), then any number of Wave (adds) and Swirl
// (overwrites) calls, then Draw, which copies the per-vertex table into the vertex
// buffer and draws it additively: black texels leave the frame as it is, bright ones
// lighten it. The distortions work on the table in ordinary memory only and never read
// the vertex buffer.
//
// Draw sets the blend, filter and stage-0 states it needs and restores only alpha
// blending (to off); it sets no transform and leaves depth, culling and addressing to
// the caller (the wrap default shows a swirl's shifted quarters). A grid of more than 99
// cells across or down does not fit the cell table: Init refuses it and the grid stays
// empty (no buffers, zero counts); distorting or drawing an empty grid does nothing.
// Buffers and texture are never released.
#pragma once

#include "render/d3d8.h"

// One grid vertex's current values.
struct WarpCell {
  float u, v;
  float z;         // written into the vertex at each draw
  float distance;  // from the grid's centre, in cells
};

// D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1.
constexpr DWORD kWarpVertexFormat = 0x144;

// The layout of kWarpVertexFormat.
struct WarpVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
static_assert(sizeof(WarpVertex) == 28);

class WarpGrid {
 public:
  // cols by rows cells over the whole screen (1 to 99 each), textured from texturePath.
  void Init(int cols, int rows, const char* texturePath);
  // Reaches the vertices at the next ResetTexCoords and Draw.
  void SetDepth(int depth);
  // Recomputes every cell's distance from the centre (Init ends with it).
  void MeasureFromCentre();
  // The plain mapping: the texture once over the grid; z from the depth.
  void ResetTexCoords();
  // Adds sine displacements: u by row, v by column, phase ClockNow * speed.
  void Wave(float ampU, float spanU, float ampV, float spanV, float speed);
  // Replaces the coordinates by a twist about the centre, strongest there.
  void Swirl(float strength);
  // Uploads the table into the vertex buffer and draws the grid additively.
  void Draw();

  IDirect3DVertexBuffer8* vertexBuffer = nullptr;
  IDirect3DIndexBuffer8* indexBuffer = nullptr;
  IDirect3DTexture8* texture = nullptr;
  float width = 0.0f, height = 0.0f;  // the covered area, pixels
  int cols = 0, rows = 0;
  float cellWidth = 0.0f, cellHeight = 0.0f;
  int vertexCount = 0;
  int triangleCount = 0;
  int depth = 0;
  // [row][column]; rows 0 to `rows` and columns 0 to `cols` are in use.
  WarpCell cells[100][100] = {};

 private:
  bool Built() const { return vertexBuffer && indexBuffer; }
};

extern WarpGrid g_tex3Warp;
extern WarpGrid g_tex2WarpA;
extern WarpGrid g_tex2WarpB;
extern WarpGrid g_grayWarpA;
extern WarpGrid g_grayWarpB;
