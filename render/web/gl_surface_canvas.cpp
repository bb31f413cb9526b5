// GL surfaces in the browser: a WebGL 2 (OpenGL ES 3.0) context on the page's canvas.
//
// Presenting hands the frame to the browser: the demo's loop is suspended (Asyncify) until
// the page's next animation frame, so frames follow the display's refresh and the page
// stays live. While draws are skipped (render/tool_switches.h) nothing is shown, and control
// goes back to the page only every tenth of a second, so that skipping runs at full speed.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "render/gl_profile.h"
#include "render/gl_surface.h"
#include "render/render_internal.h"

struct GlSurface {
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
};

namespace {

constexpr const char* kCanvas = "#canvas";
constexpr double kSkippingSliceMs = 100;

double g_lastYield = 0;

EM_ASYNC_JS(void, WaitForAnimationFrame, (),
            { await new Promise(function(resolve) { requestAnimationFrame(resolve); }); });

EM_JS(int, ScreenWidth, (), { return screen.width; });
EM_JS(int, ScreenHeight, (), { return screen.height; });

}  // namespace

void InitDisplay() {}

// A page cannot change the display's mode: it offers none.
std::vector<D3DDISPLAYMODE> SystemDisplayModes() {
  return {};
}

// The screen's size; the refresh rate is the display's own (0).
bool DesktopDisplayMode(D3DDISPLAYMODE& mode) {
  mode = {UINT(ScreenWidth()), UINT(ScreenHeight()), 0, D3DFMT_X8R8G8B8};
  return true;
}

// WebGL offers no choice of colour depth or of acceleration: every request gets the
// canvas's 8-bit colour, opaque, without multisampling.
GlSurface* CreateGlSurface(HWND window, const SurfaceRequest& request) {
  if (!window) return nullptr;
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = request.stencilBits > 0;
  attributes.antialias = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_FALSE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context(kCanvas, &attributes);
  if (context <= 0) return nullptr;
  if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
    emscripten_webgl_destroy_context(context);
    return nullptr;
  }
  return new GlSurface{context};
}

// The canvas keeps showing the last frame.
void DestroyGlSurface(GlSurface* surface) {
  emscripten_webgl_destroy_context(surface->context);
  delete surface;
}

void SurfaceDrawableSize(const GlSurface&, int& width, int& height) {
  emscripten_get_canvas_element_size(kCanvas, &width, &height);
}

void SurfaceWindowSize(const GlSurface& surface, int& width, int& height) {
  SurfaceDrawableSize(surface, width, height);
}

void PresentSurface(GlSurface&) {
  if (!g_renderSwitches.skipDrawing) {
    WaitForAnimationFrame();
    g_lastYield = emscripten_get_now();
  } else if (emscripten_get_now() - g_lastYield >= kSkippingSliceMs) {
    emscripten_sleep(0);
    g_lastYield = emscripten_get_now();
  }
}
