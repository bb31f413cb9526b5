// What the render layer's own files know of each other's objects and nobody else needs:
// GL names, the device's resource naming, whether its GL context still exists, and the
// binding cache that a deleted GL object has to leave.
#pragma once

#include <memory>
#include <string>

#include "render/d3d8.h"
#include "render/tool_switches.h"

struct RenderInternals {
  static unsigned GlName(const BufferBase& buffer) { return buffer.glName_; }
  static unsigned GlName(const IDirect3DTexture8& texture) { return texture.glName_; }
  // Names for new resources ("vb1", "tex2"): unique per device, stable per run.
  static std::string NextName(IDirect3DDevice8& device, const char* prefix) {
    return prefix + std::to_string(++device.nameCounter_);
  }
  // False once the device's GL context is gone; resources then have nothing to delete.
  static const std::shared_ptr<bool>& ContextAlive(const IDirect3DDevice8& device) {
    return device.contextAlive_;
  }
  // Forgets which GL buffers and textures are bound (one of them is being deleted, or a new
  // index buffer takes the index binding).
  static void ForgetGlBindings(IDirect3DDevice8& device);

  // Drops a reference the device itself held (a binding), without a Release in the record.
  static void DropReference(RefCounted& object) {
    if (--object.refs_ == 0) delete &object;
  }
  // Sends what was written since the last upload to GL; nothing when nothing changed.
  static void Upload(BufferBase& buffer);
  // The largest index an index buffer holds, worked out once per write.
  static WORD MaxIndex(BufferBase& indices);
  // The render scale of the device's frame: 1 unless it draws into a ScaledTarget.
  static int FrameScale(const IDirect3DDevice8& device);
};
