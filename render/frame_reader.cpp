#include "render/frame_reader.h"

#include "render/d3d8.h"
#include "render/gl_profile.h"
#include "render/render_internal.h"
#include "render/render_scale.h"

FrameReader::FrameReader(IDirect3DDevice8& device)
    : contextAlive_(RenderInternals::ContextAlive(device)),
      width_(device.FrameWidth()),
      height_(device.FrameHeight()),
      scale_(RenderInternals::FrameScale(device)) {}

FrameReader::~FrameReader() {
  if (!*contextAlive_) return;
  for (unsigned buffer : queued_) glDeleteBuffers(1, &buffer);
  for (unsigned buffer : spare_) glDeleteBuffers(1, &buffer);
}

void FrameReader::Queue() {
  const GLsizei width = width_ * scale_, height = height_ * scale_;
  unsigned buffer = 0;
  if (spare_.empty()) {
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
    glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(width) * height * 4, nullptr, GL_STREAM_READ);
  } else {
    buffer = spare_.back();
    spare_.pop_back();
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  queued_.push_back(buffer);
}

void FrameReader::Take(std::vector<uint8_t>& rgba) {
  const unsigned buffer = queued_.front();
  queued_.pop_front();
  spare_.push_back(buffer);
  const GLsizeiptr size = GLsizeiptr(width_) * scale_ * height_ * scale_ * 4;
  rgba.resize(size_t(width_) * size_t(height_) * 4);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
  const void* rendered = glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, size, GL_MAP_READ_BIT);
  if (rendered)
    FilterDown(static_cast<const uint8_t*>(rendered), width_, height_, scale_, rgba.data());
  glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}
