// GL surfaces on the desktop: an OpenGL 3.3 core context on the SDL window behind a window
// handle, and SDL's display modes.
#include <SDL2/SDL.h>

#include <cstring>

#include "platform/sdl_video.h"
#include "render/gl_profile.h"
#include "render/gl_surface.h"
#include "render/tool_switches.h"

struct GlSurface {
  SDL_Window* window;
  SDL_GLContext context;
  GLsync lastFrame = nullptr;  // signalled when the last presented frame is finished
};

namespace {

D3DFORMAT FormatOfPixels(Uint32 sdlFormat) {
  return SDL_BITSPERPIXEL(sdlFormat) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
}

bool IsSoftwareRenderer() {
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer) return true;
  return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
         std::strstr(renderer, "Software");
}

}  // namespace

void InitDisplay() {
  StartVideo();
}

std::vector<D3DDISPLAYMODE> SystemDisplayModes() {
  std::vector<D3DDISPLAYMODE> modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(0, i, &mode) == 0)
      modes.push_back(
          {UINT(mode.w), UINT(mode.h), UINT(mode.refresh_rate), FormatOfPixels(mode.format)});
  }
  return modes;
}

bool DesktopDisplayMode(D3DDISPLAYMODE& mode) {
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return false;
  mode = {UINT(desktop.w), UINT(desktop.h), UINT(desktop.refresh_rate),
          FormatOfPixels(desktop.format)};
  return true;
}

GlSurface* CreateGlSurface(HWND focusWindow, const SurfaceRequest& request) {
  SDL_Window* window = SdlWindowOf(focusWindow);
  if (!window) return nullptr;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, request.sixteenBitColor ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, request.sixteenBitColor ? 6 : 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, request.sixteenBitColor ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, request.stencilBits);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return nullptr;
  if (request.needsAcceleration && IsSoftwareRenderer()) {
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  if (const D3DDISPLAYMODE* mode = request.fullScreenMode) {
    SDL_DisplayMode fullScreen{};
    fullScreen.w = int(mode->Width);
    fullScreen.h = int(mode->Height);
    fullScreen.refresh_rate = int(mode->RefreshRate);
    SDL_SetWindowDisplayMode(window, &fullScreen);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
  }
  SDL_GL_SetSwapInterval(g_renderSwitches.noDisplayWait ? 0 : 1);
  return new GlSurface{window, context};
}

void DestroyGlSurface(GlSurface* surface) {
  if (surface->lastFrame) glDeleteSync(surface->lastFrame);
  SDL_GL_MakeCurrent(surface->window, nullptr);
  SDL_GL_DeleteContext(surface->context);
  delete surface;
}

void SurfaceDrawableSize(const GlSurface& surface, int& width, int& height) {
  SDL_GL_GetDrawableSize(surface.window, &width, &height);
}

void SurfaceWindowSize(const GlSurface& surface, int& width, int& height) {
  SDL_GetWindowSize(surface.window, &width, &height);
}

// A swap need not wait for the frame to be drawn: without a display to pace it (headless,
// or swaps that do not wait for the refresh) a driver would queue frame after frame, holding
// the memory of each. Every present therefore waits until the frame before it is finished,
// so at most the one just presented is in flight while the next is built.
// Frames run with drawing skipped are not shown at all: the window keeps the last frame
// drawn, and a tool racing through frames pays no swap (on an X server a copy of the whole
// window and a round trip) for each.
void PresentSurface(GlSurface& surface) {
  if (g_renderSwitches.skipDrawing) return;
  SDL_GL_SwapWindow(surface.window);
  if (surface.lastFrame) {
    glClientWaitSync(surface.lastFrame, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
    glDeleteSync(surface.lastFrame);
  }
  surface.lastFrame = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}
