#include "render/render_scale.h"

#include <cstring>

#include "render/gl_profile.h"
#include "render/tool_switches.h"

namespace {

// The bound framebuffer's width x height pixels, bottom row first.
void ReadPixelsBottomUp(int width, int height, std::vector<uint8_t>& rgba) {
  rgba.resize(size_t(width) * size_t(height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

}  // namespace

int RenderScale() {
  return g_renderSwitches.renderScale < 1 ? 1 : g_renderSwitches.renderScale;
}

void OutputSize(int& width, int& height) {
  const bool valid = g_renderSwitches.outputWidth > 0 && g_renderSwitches.outputHeight > 0;
  width = valid ? g_renderSwitches.outputWidth : 0;
  height = valid ? g_renderSwitches.outputHeight : 0;
}

void ReadPixelsTopDown(int width, int height, std::vector<uint8_t>& rgba) {
  std::vector<uint8_t> rendered;
  ReadPixelsBottomUp(width, height, rendered);
  rgba.resize(rendered.size());
  FilterDown(rendered.data(), width, height, 1, rgba.data());
}

void FilterDown(const uint8_t* rendered, int width, int height, int scale, uint8_t* rgba) {
  const size_t row = size_t(width) * 4;
  if (scale == 1) {
    for (int y = 0; y < height; ++y)
      std::memcpy(rgba + size_t(y) * row, rendered + size_t(height - 1 - y) * row, row);
    return;
  }
  const size_t renderedRow = row * size_t(scale);
  const unsigned samples = unsigned(scale * scale);
  for (int y = 0; y < height; ++y) {
    // The rendered rows of output row y, counted from the bottom.
    const size_t firstRow = size_t(height - 1 - y) * size_t(scale);
    uint8_t* out = rgba + size_t(y) * row;
    for (int x = 0; x < width; ++x) {
      unsigned sum[4] = {};
      for (int dy = 0; dy < scale; ++dy) {
        const uint8_t* p = rendered + (firstRow + size_t(dy)) * renderedRow + size_t(x * scale) * 4;
        for (int dx = 0; dx < scale * 4; ++dx) sum[dx % 4] += p[dx];
      }
      for (int c = 0; c < 4; ++c) out[x * 4 + c] = uint8_t((sum[c] + samples / 2) / samples);
    }
  }
}

ScaledTarget::ScaledTarget(int backWidth, int backHeight, int frameWidth, int frameHeight,
                           int scale)
    : width_(frameWidth), height_(frameHeight), scale_(scale) {
  const FrameRect picture = LetterboxRect(backWidth, backHeight, frameWidth, frameHeight);
  picture_ = {picture.x * scale, picture.y * scale, picture.width * scale, picture.height * scale};
  const int renderedWidth = frameWidth * scale, renderedHeight = frameHeight * scale;
  glGenRenderbuffers(1, &color_);
  glBindRenderbuffer(GL_RENDERBUFFER, color_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, renderedWidth, renderedHeight);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, renderedWidth, renderedHeight);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
  // The bars are cleared black once; from then on every clear and draw stays inside the
  // picture. GL counts rows from the bottom.
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  BindForDrawing();
}

void ScaledTarget::BindForDrawing() const {
  const int bottom = height_ * scale_ - picture_.y - picture_.height;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glViewport(picture_.x, bottom, picture_.width, picture_.height);
  glScissor(picture_.x, bottom, picture_.width, picture_.height);
  glEnable(GL_SCISSOR_TEST);
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
  const int bottom = height_ * scale_ - picture_.y - picture_.height;
  const FrameRect shown = LetterboxRect(picture_.width, picture_.height, windowWidth, windowHeight);
  glDisable(GL_SCISSOR_TEST);  // the scissor limits a blit's writes and clears too
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  // The device sets its own clear colour at every Clear, so black here disturbs nothing.
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  // GL counts rows from the bottom.
  const int shownBottom = windowHeight - shown.y - shown.height;
  glBlitFramebuffer(picture_.x, bottom, picture_.x + picture_.width, bottom + picture_.height,
                    shown.x, shownBottom, shown.x + shown.width, shownBottom + shown.height,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glEnable(GL_SCISSOR_TEST);
}

void ScaledTarget::Read(std::vector<uint8_t>& rgba) const {
  std::vector<uint8_t> rendered;
  ReadPixelsBottomUp(width_ * scale_, height_ * scale_, rendered);
  rgba.resize(size_t(width_) * size_t(height_) * 4);
  FilterDown(rendered.data(), width_, height_, scale_, rgba.data());
}
