#include "render/present.h"

#include <cstdint>

#include "render/gl_profile.h"
#include "render/gl_surface.h"
#include "render/render_scale.h"
#include "render/tool_switches.h"

FrameRect LetterboxRect(int frameWidth, int frameHeight, int windowWidth, int windowHeight) {
  FrameRect rect{0, 0, windowWidth, windowHeight};
  // Products in 64 bits: compare the shapes exactly, round the scaled side to nearest.
  const int64_t wide = int64_t(windowWidth) * frameHeight;
  const int64_t tall = int64_t(windowHeight) * frameWidth;
  if (wide > tall)
    rect.width = int((tall * 2 + frameHeight) / (int64_t(frameHeight) * 2));
  else if (wide < tall)
    rect.height = int((wide * 2 + frameWidth) / (int64_t(frameWidth) * 2));
  rect.x = (windowWidth - rect.width) / 2;
  rect.y = (windowHeight - rect.height) / 2;
  return rect;
}

void PresentToWindow(GlSurface& surface, int width, int height,
                     std::unique_ptr<ScaledTarget>& target) {
  int windowWidth = 0, windowHeight = 0;
  SurfaceDrawableSize(surface, windowWidth, windowHeight);
  const bool fits = windowWidth == width && windowHeight == height;
  if (!target && !fits) {
    // The window changed size while this frame was drawn into it: take the frame over.
    target = std::make_unique<ScaledTarget>(width, height, width, height, 1);
    target->CopyFromWindow();
  }
  if (target) target->BlitToWindow(windowWidth, windowHeight);
  if (g_renderSwitches.overlayHook) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, windowWidth, windowHeight);
    g_renderSwitches.overlayHook(windowWidth, windowHeight);
  }
  PresentSurface(surface);
  const bool windowSized =
      target && target->Scale() == 1 && target->Width() == width && target->Height() == height;
  if (windowSized && fits) target.reset();
}
