// Reference counting, buffers and textures of the device.
//
// GL objects are created and uploaded on the device's context. Uploads use the copy-write
// target and a spare texture unit so that they never disturb the bindings the device
// applies. An index buffer is first bound as one, since WebGL fixes a buffer's kind at its
// first binding and would refuse one that began as a copy target.
#include <algorithm>
#include <cstring>

#include "render/d3d8.h"
#include "render/gl_profile.h"
#include "render/render_internal.h"

namespace {
constexpr GLenum kUploadUnit = GL_TEXTURE0 + 7;
}

ULONG RefCounted::Release() {
  if (CallRecorder* recorder = g_renderSwitches.recorder) recorder->Record("Release", RecordName());
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

BufferBase::BufferBase(IDirect3DDevice8* device, UINT length, std::string name, bool indices)
    : device_(device),
      contextAlive_(RenderInternals::ContextAlive(*device)),
      memory_(length, 0),
      name_(std::move(name)) {
  glGenBuffers(1, &glName_);
  if (indices) {
    RenderInternals::ForgetGlBindings(*device);  // the draw's index buffer binding changes
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, glName_);
  }
  glBindBuffer(GL_COPY_WRITE_BUFFER, glName_);
  glBufferData(GL_COPY_WRITE_BUFFER, length, memory_.data(), GL_DYNAMIC_DRAW);
}

BufferBase::~BufferBase() {
  if (!*contextAlive_) return;
  RenderInternals::ForgetGlBindings(*device_);
  glDeleteBuffers(1, &glName_);
}

HRESULT BufferBase::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("Lock", name_, offset, size, flags);
  if (!data) return D3DERR_INVALIDCALL;
  *data = nullptr;
  if (size == 0 && offset <= memory_.size()) size = UINT(memory_.size() - offset);
  if (locked_ || uint64_t(offset) + size > memory_.size()) return D3DERR_INVALIDCALL;
  locked_ = true;
  lockOffset_ = offset;
  lockSize_ = size;
  *data = memory_.data() + offset;
  return D3D_OK;
}

HRESULT BufferBase::Unlock() {
  if (CallRecorder* recorder = g_renderSwitches.recorder) recorder->Record("Unlock", name_);
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (lockSize_ > 0) {
    const UINT end = lockOffset_ + lockSize_;
    dirtyBegin_ = dirtyBegin_ == dirtyEnd_ ? lockOffset_ : std::min(dirtyBegin_, lockOffset_);
    dirtyEnd_ = std::max(dirtyEnd_, end);
    indexRangeKnown_ = false;
  }
  return D3D_OK;
}

void RenderInternals::Upload(BufferBase& buffer) {
  if (buffer.dirtyBegin_ == buffer.dirtyEnd_ || !*buffer.contextAlive_) return;
  glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.glName_);
  const BYTE* memory = buffer.memory_.data();
  if (buffer.dirtyBegin_ == 0 && buffer.dirtyEnd_ == buffer.memory_.size())
    glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(buffer.memory_.size()), memory, GL_DYNAMIC_DRAW);
  else
    glBufferSubData(GL_COPY_WRITE_BUFFER, buffer.dirtyBegin_, buffer.dirtyEnd_ - buffer.dirtyBegin_,
                    memory + buffer.dirtyBegin_);
  buffer.dirtyBegin_ = buffer.dirtyEnd_ = 0;
}

WORD RenderInternals::MaxIndex(BufferBase& indices) {
  if (!indices.indexRangeKnown_) {
    WORD highest = 0;
    for (size_t i = 0; i + 1 < indices.memory_.size(); i += 2) {
      WORD index;
      std::memcpy(&index, indices.memory_.data() + i, 2);
      highest = std::max(highest, index);
    }
    indices.maxIndex_ = highest;
    indices.indexRangeKnown_ = true;
  }
  return indices.maxIndex_;
}

IDirect3DTexture8::IDirect3DTexture8(IDirect3DDevice8* device, int width, int height,
                                     const uint8_t* rgba, std::string name)
    : device_(device),
      contextAlive_(RenderInternals::ContextAlive(*device)),
      width_(width),
      height_(height),
      name_(std::move(name)) {
  // GL's rows run bottom-up in memory order, but texture coordinates follow the rows as
  // given: row 0 of `rgba` (the image's top) sits at v = 0, as Direct3D samples it.
  glGenTextures(1, &glName_);
  glActiveTexture(kUploadUnit);
  glBindTexture(GL_TEXTURE_2D, glName_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glGenerateMipmap(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
}

IDirect3DTexture8::~IDirect3DTexture8() {
  if (!*contextAlive_) return;
  RenderInternals::ForgetGlBindings(*device_);
  glDeleteTextures(1, &glName_);
}
