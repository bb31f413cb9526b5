// IDirect3DDevice8: Direct3D 8 state kept on the CPU, applied to OpenGL by difference at
// each draw.
//
// DeviceState holds two halves: `d3d`, the state as the caller set it (the only thing the
// Set* calls touch), and `gl`, what OpenGL currently has (touched only by Apply* below).
// A draw works out the GL state its D3D state implies and issues just the differences.
#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstring>

#include "render/d3d8.h"
#include "render/d3dx_math.h"
#include "render/fixed_function.h"
#include "render/render_scale.h"

struct DeviceState {
  struct {
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
  struct {
    int depthTest = -1, depthWrite = -1, blend = -1, cull = -1;
    GLenum depthFunc = 0, cullFace = 0, srcBlend = 0, dstBlend = 0;
    unsigned program = ~0u;
    unsigned textures[kStageCount] = {~0u, ~0u};
    GLint minFilter[kStageCount] = {-1, -1}, magFilter[kStageCount] = {-1, -1};
    GLint wrapS[kStageCount] = {-1, -1}, wrapT[kStageCount] = {-1, -1};
    unsigned arrayBuffer = ~0u, elementBuffer = ~0u;
    DWORD layoutFvf = ~0u;
    UINT layoutStride = ~0u;
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

namespace {

std::function<void(IDirect3DDevice8&)> g_presentHook;

GLenum CompareFunction(DWORD func) {
  static const GLenum table[] = {GL_ALWAYS,  GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                 GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
  return func < 9 ? table[func] : GL_ALWAYS;
}

GLenum BlendFactor(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return GL_ONE;
  }
}

GLint MinFilter(DWORD min, DWORD mip) {
  const bool linear = min >= D3DTEXF_LINEAR;
  if (mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
  if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

GLint AddressMode(DWORD mode) {
  switch (mode) {
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
      return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_REPEAT;
  }
}

void SetCapability(GLenum capability, int on, int& applied) {
  if (applied == on) return;
  on ? glEnable(capability) : glDisable(capability);
  applied = on;
}

// Vertex size in bytes of the formats this device draws.
UINT FvfSize(DWORD fvf) {
  UINT size = (fvf & D3DFVF_XYZRHW) ? 16 : (fvf & D3DFVF_XYZ) ? 12 : 0;
  if (fvf & D3DFVF_NORMAL) size += 12;
  if (fvf & D3DFVF_DIFFUSE) size += 4;
  if (fvf & D3DFVF_TEX1) size += 8;
  return size;
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

}  // namespace

void SetPresentHook(std::function<void(IDirect3DDevice8&)> hook) {
  g_presentHook = std::move(hook);
}

IDirect3DDevice8::IDirect3DDevice8(void* glContext, SDL_Window* window, int width, int height)
    : glContext_(glContext),
      window_(window),
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
  // move right and down by just under half a pixel, so that edges falling exactly on
  // Direct3D's pixel centres keep its top-left fill rule instead of meeting GL's ties.
  const float shift = 0.5f - 1.0f / 64.0f;
  const float screen[4] = {2.0f / width, 2.0f / height, 2.0f * shift / width,
                           2.0f * shift / height};
  state_->programs = std::make_unique<ProgramCache>(screen);
  glGenVertexArrays(1, &state_->vao);
  glBindVertexArray(state_->vao);
  glGenSamplers(kStageCount, state_->samplers);
  for (uint32_t s = 0; s < kStageCount; ++s) glBindSampler(s, state_->samplers[s]);
  glFrontFace(GL_CCW);
  glViewport(0, 0, width, height);
  if (RenderScale() > 1)
    scaledTarget_ = std::make_unique<ScaledTarget>(width, height, RenderScale());
}

IDirect3DDevice8::~IDirect3DDevice8() {
  scaledTarget_.reset();
  *contextAlive_ = false;
  SDL_GL_MakeCurrent(window_, nullptr);
  SDL_GL_DeleteContext(static_cast<SDL_GLContext>(glContext_));
}

void IDirect3DDevice8::ForgetGlBindings() {
  auto& gl = state_->gl;
  gl.textures[0] = gl.textures[1] = ~0u;
  gl.arrayBuffer = gl.elementBuffer = ~0u;
}

HRESULT IDirect3DDevice8::Clear(DWORD rectCount, const void*, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil) {
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("Clear", rectCount, flags, color, z, stencil);
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) {
    glClearColor(((color >> 16) & 255) / 255.0f, ((color >> 8) & 255) / 255.0f,
                 (color & 255) / 255.0f, (color >> 24) / 255.0f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if (flags & D3DCLEAR_ZBUFFER) {
    // GL's clear honours the depth mask; Direct3D's does not.
    if (state_->gl.depthWrite != 1) {
      glDepthMask(GL_TRUE);
      state_->gl.depthWrite = 1;
    }
    glClearDepth(z);
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
  if (CallRecorder* recorder = ActiveCallRecorder()) recorder->Record("BeginScene");
  return D3D_OK;
}

HRESULT IDirect3DDevice8::EndScene() {
  if (CallRecorder* recorder = ActiveCallRecorder()) recorder->Record("EndScene");
  return D3D_OK;
}

HRESULT IDirect3DDevice8::Present(const void*, const void*, HWND, const void*) {
  if (CallRecorder* recorder = ActiveCallRecorder()) recorder->Record("Present");
  if (g_presentHook) g_presentHook(*this);
  if (scaledTarget_) {
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
    scaledTarget_->BlitToWindow(windowWidth, windowHeight);
  }
  SDL_GL_SwapWindow(window_);
  return D3D_OK;
}

void IDirect3DDevice8::ReadBackBuffer(std::vector<uint8_t>& rgba) const {
  if (scaledTarget_)
    scaledTarget_->Read(rgba);
  else
    ReadPixelsTopDown(width_, height_, rgba);
}

HRESULT IDirect3DDevice8::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  if (CallRecorder* recorder = ActiveCallRecorder()) {
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
  if (CallRecorder* recorder = ActiveCallRecorder())
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
  if (CallRecorder* recorder = ActiveCallRecorder())
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
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("SetTexture", stage, texture ? texture->Name() : "null");
  if (stage >= kStageCount) return D3DERR_INVALIDCALL;
  state_->d3d.textures[stage] = texture;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = length ? new IDirect3DVertexBuffer8(this, length, NextName("vb")) : nullptr;
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("CreateVertexBuffer", length, usage, fvf, pool,
                     *buffer ? (*buffer)->Name() : "null");
  return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice8::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, IDirect3DIndexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = length && format == D3DFMT_INDEX16
                ? new IDirect3DIndexBuffer8(this, length, NextName("ib"))
                : nullptr;
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("CreateIndexBuffer", length, usage, format, pool,
                     *buffer ? (*buffer)->Name() : "null");
  return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice8::SetVertexShader(DWORD fvf) {
  if (CallRecorder* recorder = ActiveCallRecorder()) recorder->Record("SetVertexShader", fvf);
  state_->d3d.fvf = fvf;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer,
                                          UINT stride) {
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("SetStreamSource", stream, buffer ? buffer->Name() : "null", stride);
  if (stream != 0) return D3DERR_INVALIDCALL;
  state_->d3d.stream = buffer;
  state_->d3d.stride = stride;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) {
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("SetIndices", buffer ? buffer->Name() : "null", baseVertexIndex);
  state_->d3d.indices = buffer;
  state_->d3d.baseVertex = baseVertexIndex;
  return D3D_OK;
}

HRESULT IDirect3DDevice8::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex,
                                        UINT primitiveCount) {
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("DrawPrimitive", type, startVertex, primitiveCount);
  return Draw(type, startVertex, primitiveCount, false, startVertex, 0);
}

HRESULT IDirect3DDevice8::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex,
                                               UINT vertexCount, UINT startIndex,
                                               UINT primitiveCount) {
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("DrawIndexedPrimitive", type, minIndex, vertexCount, startIndex,
                     primitiveCount);
  return Draw(type, startIndex, primitiveCount, true, minIndex, vertexCount);
}

HRESULT IDirect3DDevice8::Draw(D3DPRIMITIVETYPE type, UINT first, UINT primitiveCount, bool indexed,
                               UINT minIndex, UINT vertexCount) {
  auto& d3d = state_->d3d;
  auto& gl = state_->gl;
  if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP) return D3DERR_INVALIDCALL;
  const UINT elementCount = type == D3DPT_TRIANGLELIST ? primitiveCount * 3 : primitiveCount + 2;
  const UINT vertexSize = FvfSize(d3d.fvf);
  if (!d3d.stream || primitiveCount == 0 || vertexSize == 0 || d3d.stride < vertexSize)
    return D3DERR_INVALIDCALL;
  if (indexed && (!d3d.indices || (uint64_t(first) + elementCount) * 2 > d3d.indices->Length()))
    return D3DERR_INVALIDCALL;
  if (!indexed && (uint64_t(first) + elementCount) * d3d.stride > d3d.stream->Length())
    return D3DERR_INVALIDCALL;

  // This device draws unlit only; the program turns lighting off before its first draw.
  if (d3d.render[D3DRS_LIGHTING] != FALSE && !state_->lightingWarned) {
    std::fprintf(stderr, "emberhall: lighting is not supported; drawing unlit\n");
    state_->lightingWarned = true;
  }

  // Program.
  const bool hasTexture[kStageCount] = {d3d.textures[0] != nullptr, d3d.textures[1] != nullptr};
  Program& program = state_->programs->Get(MakePipelineKey(d3d.fvf, d3d.stage, hasTexture));
  if (!program.id) return D3DERR_INVALIDCALL;
  if (gl.program != program.id) {
    glUseProgram(program.id);
    gl.program = program.id;
  }

  // Transforms, for the programs that use them.
  if (!(d3d.fvf & D3DFVF_XYZRHW) && program.transformVersion != state_->transformVersion) {
    if (state_->productVersion != state_->transformVersion) {
      D3DMATRIX worldView;
      D3DXMatrixMultiply(&worldView, &d3d.world, &d3d.view);
      D3DXMatrixMultiply(&state_->worldViewProjection, &worldView, &d3d.projection);
      state_->productVersion = state_->transformVersion;
    }
    glUniformMatrix4fv(program.worldViewProjection, 1, GL_FALSE,
                       &state_->worldViewProjection.m[0][0]);
    program.transformVersion = state_->transformVersion;
  }

  // Depth, culling, blending.
  const DWORD* rs = d3d.render;
  const bool overlay =
      (d3d.fvf & D3DFVF_XYZRHW) &&
      IsOverlay(d3d.stream, d3d.stride, indexed ? d3d.baseVertex + minIndex : first,
                indexed ? vertexCount : elementCount);
  const int depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE && !overlay;
  SetCapability(GL_DEPTH_TEST, depthTest, gl.depthTest);
  if (depthTest) {
    const int depthWrite = rs[D3DRS_ZWRITEENABLE] != FALSE;
    if (gl.depthWrite != depthWrite) {
      glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
      gl.depthWrite = depthWrite;
    }
    const GLenum func = CompareFunction(rs[D3DRS_ZFUNC]);
    if (gl.depthFunc != func) {
      glDepthFunc(func);
      gl.depthFunc = func;
    }
  }
  // Windings as they appear on screen; GL's front faces are the counter-clockwise ones.
  // Any value other than CW and CCW culls nothing.
  const DWORD cull = rs[D3DRS_CULLMODE];
  SetCapability(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW, gl.cull);
  if (cull == D3DCULL_CW || cull == D3DCULL_CCW) {
    const GLenum face = cull == D3DCULL_CW ? GL_BACK : GL_FRONT;
    if (gl.cullFace != face) {
      glCullFace(face);
      gl.cullFace = face;
    }
  }
  const int blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
  SetCapability(GL_BLEND, blend, gl.blend);
  if (blend) {
    const GLenum src = BlendFactor(rs[D3DRS_SRCBLEND]), dst = BlendFactor(rs[D3DRS_DESTBLEND]);
    if (gl.srcBlend != src || gl.dstBlend != dst) {
      glBlendFunc(src, dst);
      gl.srcBlend = src;
      gl.dstBlend = dst;
    }
  }

  // Textures and their sampling.
  for (uint32_t s = 0; s < kStageCount; ++s) {
    const unsigned texture = d3d.textures[s] ? d3d.textures[s]->GlName() : 0;
    if (gl.textures[s] != texture) {
      glActiveTexture(GL_TEXTURE0 + s);
      glBindTexture(GL_TEXTURE_2D, texture);
      gl.textures[s] = texture;
    }
    if (!texture) continue;
    const DWORD* st = d3d.stage[s];
    const GLuint sampler = state_->samplers[s];
    const GLint minFilter = MinFilter(st[D3DTSS_MINFILTER], st[D3DTSS_MIPFILTER]);
    const GLint magFilter = st[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
    const GLint wrapS = AddressMode(st[D3DTSS_ADDRESSU]), wrapT = AddressMode(st[D3DTSS_ADDRESSV]);
    if (gl.minFilter[s] != minFilter)
      glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, gl.minFilter[s] = minFilter);
    if (gl.magFilter[s] != magFilter)
      glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, gl.magFilter[s] = magFilter);
    if (gl.wrapS[s] != wrapS) glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, gl.wrapS[s] = wrapS);
    if (gl.wrapT[s] != wrapT) glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, gl.wrapT[s] = wrapT);
  }

  // Vertex layout: position, diffuse, texture coordinates in the FVF's fixed order.
  const unsigned arrayBuffer = d3d.stream->GlName();
  if (gl.arrayBuffer != arrayBuffer || gl.layoutFvf != d3d.fvf || gl.layoutStride != d3d.stride) {
    glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
    const GLsizei stride = GLsizei(d3d.stride);
    uintptr_t offset = 0;
    const GLint positionSize = (d3d.fvf & D3DFVF_XYZRHW) ? 4 : 3;
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, positionSize, GL_FLOAT, GL_FALSE, stride, nullptr);
    offset += positionSize * 4;
    if (d3d.fvf & D3DFVF_NORMAL) offset += 12;
    if (d3d.fvf & D3DFVF_DIFFUSE) {
      glEnableVertexAttribArray(1);
      glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                            reinterpret_cast<const void*>(offset));
      offset += 4;
    } else {
      glDisableVertexAttribArray(1);
    }
    if (d3d.fvf & D3DFVF_TEX1) {
      glEnableVertexAttribArray(2);
      glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                            reinterpret_cast<const void*>(offset));
    } else {
      glDisableVertexAttribArray(2);
    }
    gl.arrayBuffer = arrayBuffer;
    gl.layoutFvf = d3d.fvf;
    gl.layoutStride = d3d.stride;
  }

  const GLenum mode = type == D3DPT_TRIANGLELIST ? GL_TRIANGLES : GL_TRIANGLE_STRIP;
  if (indexed) {
    const unsigned elementBuffer = d3d.indices->GlName();
    if (gl.elementBuffer != elementBuffer) {
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
      gl.elementBuffer = elementBuffer;
    }
    glDrawElementsBaseVertex(mode, GLsizei(elementCount), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(uintptr_t(first) * 2),
                             GLint(d3d.baseVertex));
  } else {
    glDrawArrays(mode, GLint(first), GLsizei(elementCount));
  }
  return D3D_OK;
}
