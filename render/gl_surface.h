// Where a device's GL context comes from and where its frames go: the one place where this
// layer differs between the desktop (an SDL2 window, gl_surface_sdl.cpp) and the browser
// (the page's canvas, web/gl_surface_canvas.cpp). The Direct3D object and the device are
// the same code on both and reach the display only through these functions.
#pragma once

#include <vector>

#include "render/d3d8_types.h"

// A window's GL context, current from creation until destruction.
struct GlSurface;

// What the device asks of the surface's framebuffer.
struct SurfaceRequest {
  bool sixteenBitColor = false;
  int depthBits = 24;
  int stencilBits = 8;
  // Hardware and mixed vertex processing: a software rasteriser is refused.
  bool needsAcceleration = false;
  // The display mode to switch the window to, or null for a window on the desktop.
  const D3DDISPLAYMODE* fullScreenMode = nullptr;
};

// Brings up the display system when there is one.
void InitDisplay();
// The display's full-screen modes.
std::vector<D3DDISPLAYMODE> SystemDisplayModes();
// The desktop's current mode; false when it cannot be told.
bool DesktopDisplayMode(D3DDISPLAYMODE& mode);

// A GL context on `window`, made current, with its swap waiting for the display's refresh;
// null when none fits the request.
GlSurface* CreateGlSurface(HWND window, const SurfaceRequest& request);
void DestroyGlSurface(GlSurface* surface);
// The size of the window's framebuffer in pixels.
void SurfaceDrawableSize(const GlSurface& surface, int& width, int& height);
// The size of the window's client area in window units: on a HiDPI display the
// framebuffer has more pixels than that.
void SurfaceWindowSize(const GlSurface& surface, int& width, int& height);
// Shows the frame drawn into the window's framebuffer. On the desktop it returns once the
// frame presented before it is finished, so that no more than one frame is in flight behind
// the caller; the browser paces frames itself.
void PresentSurface(GlSurface& surface);
