#include "tools/studio/held_frame.h"

#include <epoxy/gl.h>

void HeldFrame::Keep(int device, int width, int height) {
  GLint window = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &window);
  if (device != device_) framebuffer_ = texture_ = 0;  // gone with the old device's context
  if (device != device_ || width != width_ || height != height_) {
    if (!framebuffer_) {
      glGenFramebuffers(1, &framebuffer_);
      glGenTextures(1, &texture_);
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    device_ = device;
    width_ = width;
    height_ = height;
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(window));
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
  glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, GLuint(window));
}

bool HeldFrame::Restore(int device, int width, int height) const {
  if (device != device_ || width != width_ || height != height_ || !framebuffer_) return false;
  GLint window = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &window);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, GLuint(window));
  return true;
}
