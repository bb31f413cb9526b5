// The device's state, for the render layer's own files only.
//
// DeviceState has two halves. `d3d` is the state as the caller set it: only the device's
// Set* calls write it. `gl` is what OpenGL has now: only the Apply* functions below write
// it, each issuing just the GL calls that make GL match `d3d` where the two differ. A draw
// runs them in the order program and transforms, raster state, texture stages, vertex
// layout; Clear and resource deletion go through the same cache.
#pragma once

#include <memory>

#include "render/d3d8.h"
#include "render/fixed_function.h"
#include "render/gl_profile.h"

struct DeviceState {
  struct D3D {
    DWORD render[kRenderStateCount] = {};
    DWORD stage[kStageCount][kStageStateCount] = {};
    IDirect3DTexture8* textures[kStageCount] = {};
    D3DMATRIX world{}, view{}, projection{};
    DWORD fvf = 0;
    IDirect3DVertexBuffer8* stream = nullptr;
    UINT stride = 0;
    IDirect3DIndexBuffer8* indices = nullptr;
    UINT baseVertex = 0;
  } d3d;

  // What GL has now; -1 or ~0 where nothing is known yet.
  struct GL {
    int depthTest = -1, depthWrite = -1, blend = -1, cull = -1;
    GLenum depthFunc = 0, cullFace = 0, srcBlend = 0, dstBlend = 0;
    unsigned program = ~0u;
    unsigned textures[kStageCount] = {~0u, ~0u};
    GLint minFilter[kStageCount] = {-1, -1}, magFilter[kStageCount] = {-1, -1};
    GLint wrapS[kStageCount] = {-1, -1}, wrapT[kStageCount] = {-1, -1};
    unsigned arrayBuffer = ~0u, elementBuffer = ~0u;
    DWORD layoutFvf = ~0u;
    UINT layoutStride = ~0u, layoutBaseVertex = ~0u;
  } gl;

  // Bumped by every transform change; each program remembers the one it was given, so a
  // transform is uploaded only to programs that draw with it, as a plain uniform (which
  // the driver copies per draw, where rewriting a shared buffer would wait for the GPU).
  uint64_t transformVersion = 0;
  D3DMATRIX worldViewProjection{};
  uint64_t productVersion = ~0ull;
  bool lightingWarned = false;
  std::unique_ptr<ProgramCache> programs;
  GLuint vao = 0, samplers[kStageCount] = {};
};

// The draw's program, made current, with the world-view-projection product uploaded if it
// changed since this program last drew; null when the program could not be built.
Program* ApplyProgramAndTransforms(DeviceState& state);
// Depth test and writes, culling, blending. An overlay draw skips the depth test.
void ApplyRasterState(DeviceState& state, bool overlay);
// Both stages' textures and their samplers' filters and addressing.
void ApplyTextureStages(DeviceState& state);
// The stream's buffer and the attribute pointers of the vertex format, starting at vertex
// `baseVertex` of the stream (an indexed draw's base; OpenGL ES has no base-vertex draws).
void ApplyVertexLayout(DeviceState& state, UINT baseVertex);
// The index buffer of an indexed draw.
void ApplyIndexBuffer(DeviceState& state);
// Depth writes on or off (a depth clear needs them on).
void ApplyDepthWrite(DeviceState::GL& gl, bool on);
// Forgets which buffers and textures GL has bound (one of them is being deleted).
void ForgetBindings(DeviceState::GL& gl);
