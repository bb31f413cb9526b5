// The Apply* half of the device: Direct3D 8 state turned into GL calls, by difference.
#include "render/d3dx_math.h"
#include "render/device_state.h"
#include "render/gl_profile.h"
#include "render/render_internal.h"
#include "render/vertex_layout.h"

namespace {

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
      return kClampToBorder;
    default:
      return GL_REPEAT;
  }
}

void SetCapability(GLenum capability, int on, int& applied) {
  if (applied == on) return;
  on ? glEnable(capability) : glDisable(capability);
  applied = on;
}

}  // namespace

Program* ApplyProgramAndTransforms(DeviceState& state) {
  const auto& d3d = state.d3d;
  const bool hasTexture[kStageCount] = {d3d.textures[0] != nullptr, d3d.textures[1] != nullptr};
  Program& program = state.programs->Get(MakePipelineKey(d3d.fvf, d3d.stage, hasTexture));
  if (!program.id) return nullptr;
  if (state.gl.program != program.id) {
    glUseProgram(program.id);
    state.gl.program = program.id;
  }
  if (!(d3d.fvf & D3DFVF_XYZRHW) && program.transformVersion != state.transformVersion) {
    if (state.productVersion != state.transformVersion) {
      D3DMATRIX worldView;
      D3DXMatrixMultiply(&worldView, &d3d.world, &d3d.view);
      D3DXMatrixMultiply(&state.worldViewProjection, &worldView, &d3d.projection);
      state.productVersion = state.transformVersion;
    }
    glUniformMatrix4fv(program.worldViewProjection, 1, GL_FALSE,
                       &state.worldViewProjection.m[0][0]);
    program.transformVersion = state.transformVersion;
  }
  return &program;
}

void ApplyRasterState(DeviceState& state, bool overlay) {
  auto& gl = state.gl;
  const DWORD* rs = state.d3d.render;
  const int depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE && !overlay;
  SetCapability(GL_DEPTH_TEST, depthTest, gl.depthTest);
  if (depthTest) {
    ApplyDepthWrite(gl, rs[D3DRS_ZWRITEENABLE] != FALSE);
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
}

void ApplyTextureStages(DeviceState& state) {
  auto& gl = state.gl;
  for (uint32_t s = 0; s < kStageCount; ++s) {
    const IDirect3DTexture8* bound = state.d3d.textures[s];
    const unsigned texture = bound ? RenderInternals::GlName(*bound) : 0;
    if (gl.textures[s] != texture) {
      glActiveTexture(GL_TEXTURE0 + s);
      glBindTexture(GL_TEXTURE_2D, texture);
      gl.textures[s] = texture;
    }
    if (!texture) continue;
    const DWORD* st = state.d3d.stage[s];
    const GLuint sampler = state.samplers[s];
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
}

void ApplyVertexLayout(DeviceState& state, UINT baseVertex) {
  auto& gl = state.gl;
  const auto& d3d = state.d3d;
  const unsigned arrayBuffer = RenderInternals::GlName(*d3d.stream);
  if (gl.arrayBuffer == arrayBuffer && gl.layoutFvf == d3d.fvf && gl.layoutStride == d3d.stride &&
      gl.layoutBaseVertex == baseVertex)
    return;
  glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer);
  const VertexLayout layout = LayoutOf(d3d.fvf);
  const GLsizei stride = GLsizei(d3d.stride);
  const uintptr_t base = uintptr_t(baseVertex) * d3d.stride;
  auto at = [base](int offset) { return reinterpret_cast<const void*>(base + uintptr_t(offset)); };
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, layout.positionFloats, GL_FLOAT, GL_FALSE, stride, at(0));
  if (layout.diffuse >= 0) {
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(layout.diffuse));
  } else {
    glDisableVertexAttribArray(1);
  }
  if (layout.texture >= 0) {
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, at(layout.texture));
  } else {
    glDisableVertexAttribArray(2);
  }
  gl.arrayBuffer = arrayBuffer;
  gl.layoutFvf = d3d.fvf;
  gl.layoutStride = d3d.stride;
  gl.layoutBaseVertex = baseVertex;
}

void ApplyIndexBuffer(DeviceState& state) {
  const unsigned elementBuffer = RenderInternals::GlName(*state.d3d.indices);
  if (state.gl.elementBuffer != elementBuffer) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    state.gl.elementBuffer = elementBuffer;
  }
}

void ApplyDepthWrite(DeviceState::GL& gl, bool on) {
  if (gl.depthWrite == int(on)) return;
  glDepthMask(on ? GL_TRUE : GL_FALSE);
  gl.depthWrite = on;
}

void ForgetBindings(DeviceState::GL& gl) {
  gl.textures[0] = gl.textures[1] = ~0u;
  gl.arrayBuffer = gl.elementBuffer = ~0u;
}
