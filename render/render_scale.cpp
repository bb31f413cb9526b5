#include "render/render_scale.h"

#include <cstring>

#include "render/gl_profile.h"
#include "render/present.h"
#include "render/tool_hooks.h"

namespace {
int g_renderScale = 1;
}

void SetRenderScale(int scale) {
  g_renderScale = scale < 1 ? 1 : scale;
}

int RenderScale() {
  return g_renderScale;
}

void ReadPixelsTopDown(int width, int height, std::vector<uint8_t>& rgba) {
  const size_t row = size_t(width) * 4;
  rgba.resize(row * size_t(height));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  std::vector<uint8_t> swap(row);
  for (int y = 0; y < height / 2; ++y) {
    uint8_t* top = rgba.data() + size_t(y) * row;
    uint8_t* bottom = rgba.data() + size_t(height - 1 - y) * row;
    std::memcpy(swap.data(), top, row);
    std::memcpy(top, bottom, row);
    std::memcpy(bottom, swap.data(), row);
  }
}

ScaledTarget::ScaledTarget(int width, int height, int scale)
    : width_(width), height_(height), scale_(scale) {
  glGenRenderbuffers(1, &color_);
  glBindRenderbuffer(GL_RENDERBUFFER, color_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width * scale, height * scale);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width * scale, height * scale);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
  glViewport(0, 0, width * scale, height * scale);
}

ScaledTarget::~ScaledTarget() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer_);
  glDeleteRenderbuffers(1, &color_);
  glDeleteRenderbuffers(1, &depth_);
}

void ScaledTarget::CopyFromWindow() const {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_ * scale_, height_ * scale_,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void ScaledTarget::BlitToWindow(int windowWidth, int windowHeight) const {
  const FrameRect shown = LetterboxRect(width_, height_, windowWidth, windowHeight);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  // The device sets its own clear colour at every Clear, so black here disturbs nothing.
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  // GL counts rows from the bottom.
  const int bottom = windowHeight - shown.y - shown.height;
  glBlitFramebuffer(0, 0, width_ * scale_, height_ * scale_, shown.x, bottom, shown.x + shown.width,
                    bottom + shown.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void ScaledTarget::Read(std::vector<uint8_t>& rgba) const {
  std::vector<uint8_t> full;
  ReadPixelsTopDown(width_ * scale_, height_ * scale_, full);
  rgba.assign(size_t(width_) * size_t(height_) * 4, 0);
  const size_t fullRow = size_t(width_ * scale_) * 4;
  const unsigned samples = unsigned(scale_ * scale_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      unsigned sum[4] = {};
      for (int dy = 0; dy < scale_; ++dy) {
        const uint8_t* p = full.data() + size_t(y * scale_ + dy) * fullRow + size_t(x * scale_) * 4;
        for (int dx = 0; dx < scale_ * 4; ++dx) sum[dx % 4] += p[dx];
      }
      uint8_t* out = rgba.data() + (size_t(y) * size_t(width_) + size_t(x)) * 4;
      for (int c = 0; c < 4; ++c) out[c] = uint8_t((sum[c] + samples / 2) / samples);
    }
  }
}
