// IDirect3DDevice8: Direct3D 8 state kept on the CPU (render/device_state.h), applied to
// OpenGL by difference at each draw through the Apply* steps of render/device_apply.cpp.
#include <cstdio>
#include <cstring>

#include "render/d3dx_math.h"
#include "render/device_state.h"
#include "render/gl_profile.h"
#include "render/gl_surface.h"
#include "render/present.h"
#include "render/render_internal.h"
#include "render/render_scale.h"
#include "render/tool_switches.h"
#include "render/vertex_layout.h"

namespace {

// GL's own report of an error, the moment a call makes one: to the hook tests set, or in
// builds with assertions to standard error; release builds stay quiet.
void ReportGlError(const char* message) {
  if (g_renderSwitches.glErrorHook) {
    g_renderSwitches.glErrorHook(message);
  } else {
#ifndef NDEBUG
    std::fprintf(stderr, "emberhall: GL error: %s\n", message);
#endif
  }
}

// A pre-transformed draw whose depth leaves 0..1 is an overlay: no depth test, no writes.
bool IsOverlay(const BufferBase* stream, UINT stride, UINT first, UINT count) {
  const BYTE* memory = stream->Memory();
  for (UINT i = 0; i < count; ++i) {
    const uint64_t offset = uint64_t(first + i) * stride + 8;
    if (offset + 4 > stream->Length()) break;
    float z;
    std::memcpy(&z, memory + offset, 4);
    if (!(z >= 0.0f && z <= 1.0f)) return true;
  }
  return false;
}

// After a tool has drawn over the window (g_renderSwitches.overlayHook), GL's state is
// unknown: bind the device's own objects and target again and forget what was applied.
void TakeGlBack(DeviceState& state, const ScaledTarget* target, int width, int height) {
  state.gl = DeviceState::GL{};
  glUseProgram(0);
  glBindVertexArray(state.vao);
  for (uint32_t s = 0; s < kStageCount; ++s) glBindSampler(s, state.samplers[s]);
  glFrontFace(GL_CCW);
  if (target) {
    target->BindForDrawing();
  } else {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, width, height);
  }
}

// Binding takes a reference and unbinding or rebinding drops it, as Direct3D 8 does, so a
// bound object the caller releases lives on until the device lets go of it.
template <typename T>
void Rebind(T*& slot, T* object) {
  if (object) object->AddRef();
  if (slot) RenderInternals::DropReference(*slot);
  slot = object;
}

}  // namespace

IDirect3DDevice8::IDirect3DDevice8(GlSurface* surface, int width, int height)
    : surface_(surface),
      width_(width),
      height_(height),
      state_(std::make_unique<DeviceState>()),
      contextAlive_(std::make_shared<bool>(true)) {
  auto& d3d = state_->d3d;
  DWORD* rs = d3d.render;
  rs[D3DRS_ZENABLE] = D3DZB_TRUE;
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_LIGHTING] = TRUE;
  for (uint32_t s = 0; s < kStageCount; ++s) {
    DWORD* st = d3d.stage[s];
    st[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    st[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    st[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    st[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    st[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    st[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    st[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    st[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    st[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    st[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    st[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
  }
  D3DXMatrixIdentity(&d3d.world);
  D3DXMatrixIdentity(&d3d.view);
  D3DXMatrixIdentity(&d3d.projection);

  // Direct3D puts pixel centres on integer coordinates, GL half a pixel further on: draws
  // move right and down by 31/64 of a pixel rather than a whole half. With exactly half,
  // an edge on a Direct3D pixel centre would land exactly on a GL sample point, where GL's
  // tie rule differs from Direct3D's top-left rule; 1/64 short puts it clearly on one
  // side (GL snaps to at least 1/16 pixel, Mesa to 1/256) while moving texel lookups by
  // far less than a texel, so images and grids still land texel-exact. A frame of another
  // size (render/render_scale.h) moves by 31/64 of its own pixels, as a device with a back
  // buffer of the picture's size would, so that edges on the screen's border still cover
  // the picture's outer pixels.
  int frameWidth = 0, frameHeight = 0;
  OutputSize(frameWidth, frameHeight);
  if (frameWidth == 0) frameWidth = width, frameHeight = height;
  const FrameRect picture = LetterboxRect(width, height, frameWidth, frameHeight);
  const float shift = 0.5f - 1.0f / 64.0f;
  const float screen[4] = {2.0f / width, 2.0f / height, 2.0f * shift / picture.width,
                           2.0f * shift / picture.height};
  state_->programs = std::make_unique<ProgramCache>(screen);
  state_->programs->BuildDemoPrograms();
  ReportErrorsTo(ReportGlError);
  glGenVertexArrays(1, &state_->vao);
  glBindVertexArray(state_->vao);
  glGenSamplers(kStageCount, state_->samplers);
  for (uint32_t s = 0; s < kStageCount; ++s) glBindSampler(s, state_->samplers[s]);
  glFrontFace(GL_CCW);
  glViewport(0, 0, width, height);
  if (RenderScale() > 1 || frameWidth != width || frameHeight != height)
    scaledTarget_ =
        std::make_unique<ScaledTarget>(width, height, frameWidth, frameHeight, RenderScale());
}

IDirect3DDevice8::~IDirect3DDevice8() {
  auto& d3d = state_->d3d;
  for (IDirect3DTexture8*& texture : d3d.textures)
    Rebind(texture, static_cast<IDirect3DTexture8*>(nullptr));
  Rebind(d3d.stream, static_cast<IDirect3DVertexBuffer8*>(nullptr));
  Rebind(d3d.indices, static_cast<IDirect3DIndexBuffer8*>(nullptr));
  scaledTarget_.reset();
  *contextAlive_ = false;
  DestroyGlSurface(surface_);
}

void RenderInternals::ForgetGlBindings(IDirect3DDevice8& device) {
  ForgetBindings(device.state_->gl);
}

int RenderInternals::FrameScale(const IDirect3DDevice8& device) {
  return device.scaledTarget_ ? device.scaledTarget_->Scale() : 1;
}

HRESULT IDirect3DDevice8::Clear(DWORD rectCount, const void*, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("Clear", rectCount, flags, color, z, stencil);
  if (g_renderSwitches.skipDrawing) return D3D_OK;
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) {
    glClearColor(((color >> 16) & 255) / 255.0f, ((color >> 8) & 255) / 255.0f,
                 (color & 255) / 255.0f, (color >> 24) / 255.0f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (flags & D3DCLEAR_ZBUFFER) {
    // GL's clear honours the depth mask; Direct3D's does not.
    ApplyDepthWrite(state_->gl, true);
    ClearDepthTo(z);
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (flags & D3DCLEAR_STENCIL) {
    glClearStencil(GLint(stencil));
    mask |= GL_STENCIL_BUFFER_BIT;
  }
  if (mask) glClear(mask);
  return D3D_OK;
}

HRESULT IDirect3DDevice8::BeginScene() {
  if (CallRecorder* recorder = g_renderSwitches.recorder) recorder->Record("BeginScene");
  return D3D_OK;
}

HRESULT IDirect3DDevice8::EndScene() {
  if (CallRecorder* recorder = g_renderSwitches.recorder) recorder->Record("EndScene");
  return D3D_OK;
}

HRESULT IDirect3DDevice8::Present(const void*, const void*, HWND, const void*) {
  if (CallRecorder* recorder = g_renderSwitches.recorder) recorder->Record("Present");
  if (g_renderSwitches.presentHook) g_renderSwitches.presentHook(*this);
  PresentToWindow(*surface_, width_, height_, scaledTarget_);
  if (g_renderSwitches.overlayHook) TakeGlBack(*state_, scaledTarget_.get(), width_, height_);
  return D3D_OK;
}

int IDirect3DDevice8::FrameWidth() const {
  return scaledTarget_ ? scaledTarget_->Width() : width_;
}

int IDirect3DDevice8::FrameHeight() const {
  return scaledTarget_ ? scaledTarget_->Height() : height_;
}

void IDirect3DDevice8::ReadBackBuffer(std::vector<uint8_t>& rgba) const {
  if (scaledTarget_)
    scaledTarget_->Read(rgba);
  else
    ReadPixelsTopDown(width_, height_, rgba);
}

HRESULT IDirect3DDevice8::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  if (CallRecorder* recorder = g_renderSwitches.recorder) {
    const float(&m)[4][4] = matrix->m;
    recorder->Record("SetTransform", type, m[0][0], m[0][1], m[0][2], m[0][3], m[1][0], m[1][1],
                     m[1][2], m[1][3], m[2][0], m[2][1], m[2][2], m[2][3], m[3][0], m[3][1],
                     m[3][2], m[3][3]);
  }
  auto& d3d = state_->d3d;
  D3DMATRIX* target = type == D3DTS_WORLD        ? &d3d.world
                      : type == D3DTS_VIEW       ? &d3d.view
                      : type == D3DTS_PROJECTION ? &d3d.projection
                                                 : nullptr;
  if (!target) return D3DERR_INVALIDCALL;
  *target = *matrix;
  ++state_->transformVersion;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) const {
  const auto& d3d = state_->d3d;
  if (!matrix) return D3DERR_INVALIDCALL;
  if (type == D3DTS_WORLD)
    *matrix = d3d.world;
  else if (type == D3DTS_VIEW)
    *matrix = d3d.view;
  else if (type == D3DTS_PROJECTION)
    *matrix = d3d.projection;
  else
    return D3DERR_INVALIDCALL;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("SetRenderState", state, value);
  if (state >= kRenderStateCount) return D3DERR_INVALIDCALL;
  state_->d3d.render[state] = value;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const {
  if (state >= kRenderStateCount || !value) return D3DERR_INVALIDCALL;
  *value = state_->d3d.render[state];
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                               DWORD value) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("SetTextureStageState", stage, type, value);
  if (stage >= kStageCount || type >= kStageStateCount) return D3DERR_INVALIDCALL;
  state_->d3d.stage[stage][type] = value;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                               DWORD* value) const {
  if (stage >= kStageCount || type >= kStageStateCount || !value) return D3DERR_INVALIDCALL;
  *value = state_->d3d.stage[stage][type];
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetTexture(DWORD stage, IDirect3DTexture8* texture) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("SetTexture", stage, texture ? texture->Name() : "null");
  if (stage >= kStageCount) return D3DERR_INVALIDCALL;
  Rebind(state_->d3d.textures[stage], texture);
  return D3D_OK;
}

HRESULT IDirect3DDevice8::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = length
                ? new IDirect3DVertexBuffer8(this, length, RenderInternals::NextName(*this, "vb"))
                : nullptr;
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("CreateVertexBuffer", length, usage, fvf, pool,
                     *buffer ? (*buffer)->Name() : "null");
  return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice8::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, IDirect3DIndexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = length && format == D3DFMT_INDEX16
                ? new IDirect3DIndexBuffer8(this, length, RenderInternals::NextName(*this, "ib"))
                : nullptr;
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("CreateIndexBuffer", length, usage, format, pool,
                     *buffer ? (*buffer)->Name() : "null");
  return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice8::SetVertexShader(DWORD fvf) {
  if (CallRecorder* recorder = g_renderSwitches.recorder) recorder->Record("SetVertexShader", fvf);
  state_->d3d.fvf = fvf;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer,
                                          UINT stride) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("SetStreamSource", stream, buffer ? buffer->Name() : "null", stride);
  if (stream != 0) return D3DERR_INVALIDCALL;
  Rebind(state_->d3d.stream, buffer);
  state_->d3d.stride = stride;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("SetIndices", buffer ? buffer->Name() : "null", baseVertexIndex);
  Rebind(state_->d3d.indices, buffer);
  state_->d3d.baseVertex = baseVertexIndex;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex,
                                        UINT primitiveCount) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("DrawPrimitive", type, startVertex, primitiveCount);
  return Draw(type, startVertex, primitiveCount, false, startVertex, 0);
}

HRESULT IDirect3DDevice8::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex,
                                               UINT vertexCount, UINT startIndex,
                                               UINT primitiveCount) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("DrawIndexedPrimitive", type, minIndex, vertexCount, startIndex,
                     primitiveCount);
  return Draw(type, startIndex, primitiveCount, true, minIndex, vertexCount);
}

HRESULT IDirect3DDevice8::Draw(D3DPRIMITIVETYPE type, UINT first, UINT primitiveCount, bool indexed,
                               UINT minIndex, UINT vertexCount) {
  const auto& d3d = state_->d3d;
  if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP) return D3DERR_INVALIDCALL;
  const UINT elementCount = type == D3DPT_TRIANGLELIST ? primitiveCount * 3 : primitiveCount + 2;
  const UINT vertexSize = LayoutOf(d3d.fvf).size;
  if (!d3d.stream || primitiveCount == 0 || vertexSize == 0 || d3d.stride < vertexSize)
    return D3DERR_INVALIDCALL;
  if (indexed && (!d3d.indices || (uint64_t(first) + elementCount) * 2 > d3d.indices->Length()))
    return D3DERR_INVALIDCALL;
  if (!indexed && (uint64_t(first) + elementCount) * d3d.stride > d3d.stream->Length())
    return D3DERR_INVALIDCALL;
  // Every index must name a vertex the stream holds.
  if (indexed && uint64_t(d3d.baseVertex) + RenderInternals::MaxIndex(*d3d.indices) >=
                     d3d.stream->Length() / d3d.stride)
    return D3DERR_INVALIDCALL;

  // This device draws unlit only; the program turns lighting off before its first draw.
  if (d3d.render[D3DRS_LIGHTING] != FALSE && !state_->lightingWarned) {
    std::fprintf(stderr, "emberhall: lighting is not supported; drawing unlit\n");
    state_->lightingWarned = true;
  }

  if (g_renderSwitches.skipDrawing) return D3D_OK;
  if (!ApplyProgramAndTransforms(*state_)) return D3DERR_INVALIDCALL;
  RenderInternals::Upload(*d3d.stream);
  if (indexed) RenderInternals::Upload(*d3d.indices);
  const bool overlay =
      (d3d.fvf & D3DFVF_XYZRHW) &&
      IsOverlay(d3d.stream, d3d.stride, indexed ? d3d.baseVertex + minIndex : first,
                indexed ? vertexCount : elementCount);
  ApplyRasterState(*state_, overlay);
  ApplyTextureStages(*state_);
  ApplyVertexLayout(*state_, indexed ? d3d.baseVertex : 0);

  const GLenum mode = type == D3DPT_TRIANGLELIST ? GL_TRIANGLES : GL_TRIANGLE_STRIP;
  if (indexed) {
    ApplyIndexBuffer(*state_);
    glDrawElements(mode, GLsizei(elementCount), GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(uintptr_t(first) * 2));
  } else {
    glDrawArrays(mode, GLint(first), GLsizei(elementCount));
  }
  return D3D_OK;
}
