// The Direct3D 8 objects the demo draws through, implemented over OpenGL 3.3 core (OpenGL
// ES 3.0 in the browser).
//
// IDirect3D8 makes the one device on a window's GL context. The device keeps the whole
// Direct3D 8 state the demo uses (render states, two texture stages, three transforms,
// textures, stream, indices, vertex format), starting from Direct3D 8's initial values,
// and applies it to OpenGL at each draw, issuing only what changed. State set by one draw
// stays for the next. Buffers keep a system-memory copy: Lock hands out a pointer into
// it, Unlock marks the locked range, and the first draw that uses the buffer uploads what
// changed, so write-only buffers stay readable.
//
// Not here: lighting (always off in this program), fog, stencil, point and line
// primitives, more than one texture coordinate set, device loss.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/call_recorder.h"
#include "render/d3d8_types.h"

class IDirect3DDevice8;
class ScaledTarget;
struct DeviceState;
struct GlSurface;

// Reference counting common to every object; Release deletes at zero.
class RefCounted {
 public:
  RefCounted() { ++live_; }
  RefCounted(const RefCounted&) { ++live_; }
  virtual ~RefCounted() { --live_; }
  // How many objects exist (devices, buffers, textures, ...): tests check that loading the
  // demo again released everything the load before made.
  static int Live() { return live_; }
  ULONG AddRef() { return ++refs_; }
  ULONG Release();
  // How the call record names this object.
  virtual std::string RecordName() const = 0;

 private:
  friend struct RenderInternals;
  ULONG refs_ = 1;
  static inline int live_ = 0;
};

// A vertex or index buffer: GL buffer plus system-memory copy. Unlock only marks the
// locked range as changed; the GL buffer is brought up to date when a draw next uses it
// (a buffer that is only read is never sent again), by orphaning its storage when the
// whole buffer changed, so that a frame still reading the old contents never waits.
class BufferBase : public RefCounted {
 public:
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags);
  HRESULT Unlock();
  UINT Length() const { return UINT(memory_.size()); }
  // Read access to the system-memory copy (the data as last written).
  const BYTE* Memory() const { return memory_.data(); }
  const std::string& Name() const { return name_; }
  std::string RecordName() const override { return name_; }

 protected:
  // `indices`: an index buffer, which OpenGL ES must see bound as one before anything else.
  BufferBase(IDirect3DDevice8* device, UINT length, std::string name, bool indices);
  ~BufferBase() override;

 private:
  friend struct RenderInternals;
  IDirect3DDevice8* device_;
  std::shared_ptr<bool> contextAlive_;
  std::vector<BYTE> memory_;
  std::string name_;
  unsigned glName_ = 0;
  UINT lockOffset_ = 0, lockSize_ = 0;
  bool locked_ = false;
  UINT dirtyBegin_ = 0, dirtyEnd_ = 0;  // the bytes GL does not have yet; empty when equal
  bool indexRangeKnown_ = false;        // maxIndex_ holds for the memory as it is
  WORD maxIndex_ = 0;
};

class IDirect3DVertexBuffer8 : public BufferBase {
 public:
  IDirect3DVertexBuffer8(IDirect3DDevice8* device, UINT length, std::string name)
      : BufferBase(device, length, std::move(name), false) {}
};

class IDirect3DIndexBuffer8 : public BufferBase {
 public:
  IDirect3DIndexBuffer8(IDirect3DDevice8* device, UINT length, std::string name)
      : BufferBase(device, length, std::move(name), true) {}
};

// A 2D texture with a full mip chain.
class IDirect3DTexture8 : public RefCounted {
 public:
  // rgba: width * height * 4 bytes, top row first.
  IDirect3DTexture8(IDirect3DDevice8* device, int width, int height, const uint8_t* rgba,
                    std::string name);
  ~IDirect3DTexture8() override;
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::string& Name() const { return name_; }
  std::string RecordName() const override { return name_; }

 private:
  friend struct RenderInternals;
  IDirect3DDevice8* device_;
  std::shared_ptr<bool> contextAlive_;
  int width_, height_;
  std::string name_;
  unsigned glName_ = 0;
};

class IDirect3DDevice8 : public RefCounted {
 public:
  // Made by IDirect3D8::CreateDevice on a current GL surface, which the device then owns.
  IDirect3DDevice8(GlSurface* surface, int width, int height);
  ~IDirect3DDevice8() override;
  std::string RecordName() const override { return "device"; }

  HRESULT Clear(DWORD rectCount, const void* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil);
  HRESULT BeginScene();
  HRESULT EndScene();
  HRESULT Present(const void* sourceRect, const void* destRect, HWND overrideWindow,
                  const void* dirtyRegion);

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix);
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) const;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) const;
  HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture);

  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer8** buffer);
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer8** buffer);
  HRESULT SetVertexShader(DWORD fvf);
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride);
  HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex);
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount);
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount);

  // --- Beyond Direct3D 8: what tests, tools and the rest of this layer need. ---

  // The frame as RGBA, top row first (FrameWidth() * FrameHeight() * 4 bytes), filtered
  // down from the supersampled frame when rendering at a scale (render/render_scale.h).
  void ReadBackBuffer(std::vector<uint8_t>& rgba) const;
  // The back buffer's size: the coordinates the demo draws in.
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The frame's size: the back buffer's, unless a tool set an output size.
  int FrameWidth() const;
  int FrameHeight() const;

 private:
  friend struct RenderInternals;
  HRESULT Draw(D3DPRIMITIVETYPE type, UINT firstIndexOrVertex, UINT primitiveCount, bool indexed,
               UINT minIndex, UINT vertexCount);

  GlSurface* surface_;
  int width_, height_;
  std::unique_ptr<DeviceState> state_;
  std::unique_ptr<ScaledTarget> scaledTarget_;  // only while supersampling
  unsigned nameCounter_ = 0;
  std::shared_ptr<bool> contextAlive_;
};

class IDirect3D8 : public RefCounted {
 public:
  std::string RecordName() const override { return "d3d"; }
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode);
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device);
};

// Null unless sdkVersion is D3D_SDK_VERSION.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);
