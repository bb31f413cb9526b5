// The Direct3D object: display modes and device creation on a window's GL context.
//
// CreateDevice maps the present parameters and behaviour flags onto an OpenGL 3.3 core
// context. A full-screen request needs a display mode of exactly the asked size, refresh
// rate and colour depth; hardware and mixed vertex processing need an accelerated
// context (a software rasteriser refuses them); software vertex processing takes any.
#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cstring>

#include "render/d3d8.h"
#include "render/tool_hooks.h"

namespace {

std::function<std::vector<D3DDISPLAYMODE>()> g_displayModeSource;

D3DFORMAT FormatOfPixels(Uint32 sdlFormat) {
  return SDL_BITSPERPIXEL(sdlFormat) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
}

std::vector<D3DDISPLAYMODE> DisplayModes() {
  if (g_displayModeSource) return g_displayModeSource();
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

bool SixteenBit(D3DFORMAT format) {
  return format == D3DFMT_R5G6B5;
}

bool IsSoftwareRenderer() {
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer) return true;
  return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
         std::strstr(renderer, "Software");
}

}  // namespace

void SetDisplayModeSource(std::function<std::vector<D3DDISPLAYMODE>()> source) {
  g_displayModeSource = std::move(source);
}

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
  return new IDirect3D8();
}

HRESULT IDirect3D8::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return D3DERR_NOTAVAILABLE;
  *mode = {UINT(desktop.w), UINT(desktop.h), UINT(desktop.refresh_rate),
           FormatOfPixels(desktop.format)};
  return D3D_OK;
}

HRESULT IDirect3D8::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                 DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                 IDirect3DDevice8** device) {
  if (CallRecorder* recorder = ActiveCallRecorder())
    recorder->Record("CreateDevice", behaviorFlags, parameters ? parameters->BackBufferWidth : 0,
                     parameters ? parameters->BackBufferHeight : 0,
                     parameters ? DWORD(parameters->BackBufferFormat) : 0,
                     parameters ? DWORD(parameters->AutoDepthStencilFormat) : 0,
                     parameters ? parameters->FullScreen_RefreshRateInHz : 0,
                     parameters ? parameters->Windowed : 0);
  if (!device) return D3DERR_INVALIDCALL;
  *device = nullptr;
  SDL_Window* window = SdlWindowOf(focusWindow);
  if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL || !window || !parameters)
    return D3DERR_INVALIDCALL;

  const D3DPRESENT_PARAMETERS& pp = *parameters;
  SDL_DisplayMode fullScreenMode{};
  if (!pp.Windowed) {
    bool found = false;
    for (const D3DDISPLAYMODE& mode : DisplayModes()) {
      if (mode.Width == pp.BackBufferWidth && mode.Height == pp.BackBufferHeight &&
          mode.RefreshRate == pp.FullScreen_RefreshRateInHz &&
          SixteenBit(mode.Format) == SixteenBit(pp.BackBufferFormat)) {
        found = true;
        fullScreenMode.w = int(mode.Width);
        fullScreenMode.h = int(mode.Height);
        fullScreenMode.refresh_rate = int(mode.RefreshRate);
      }
    }
    if (!found) return D3DERR_NOTAVAILABLE;
  }

  const bool sixteen = SixteenBit(pp.BackBufferFormat);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sixteen ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sixteen ? 6 : 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sixteen ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, pp.AutoDepthStencilFormat == D3DFMT_D16 ? 16 : 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, pp.AutoDepthStencilFormat == D3DFMT_D24S8 ? 8 : 0);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return D3DERR_NOTAVAILABLE;
  const bool needsAcceleration =
      behaviorFlags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  if (needsAcceleration && IsSoftwareRenderer()) {
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    return D3DERR_NOTAVAILABLE;
  }

  if (!pp.Windowed) {
    SDL_SetWindowDisplayMode(window, &fullScreenMode);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
  }
  SDL_GL_SetSwapInterval(1);
  int width = int(pp.BackBufferWidth), height = int(pp.BackBufferHeight);
  // A windowed back buffer takes the client area in window units, never the HiDPI drawable's
  // pixels: the frame is scaled to those when presented.
  if (width == 0 || height == 0) SDL_GetWindowSize(window, &width, &height);
  *device = new IDirect3DDevice8(context, window, width, height);
  return D3D_OK;
}
