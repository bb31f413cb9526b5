// The Direct3D object: display modes and device creation on a window's GL context.
//
// CreateDevice maps the present parameters and behaviour flags onto a GL context of the
// window (render/gl_surface.h). A full-screen request needs a display mode of exactly the
// asked size, refresh rate and colour depth; hardware and mixed vertex processing need an
// accelerated context (a software rasteriser refuses them); software vertex processing
// takes any.
#include "render/d3d8.h"
#include "render/gl_surface.h"
#include "render/tool_switches.h"

namespace {

std::vector<D3DDISPLAYMODE> DisplayModes() {
  return g_renderSwitches.displayModeSource ? g_renderSwitches.displayModeSource()
                                            : SystemDisplayModes();
}

bool SixteenBit(D3DFORMAT format) {
  return format == D3DFMT_R5G6B5;
}

}  // namespace

// Without a display the object is still made: it lists no modes and makes no device, so
// the caller meets the failure where it reports a missing device.
IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  InitDisplay();
  return new IDirect3D8();
}

HRESULT IDirect3D8::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
  return DesktopDisplayMode(*mode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT IDirect3D8::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                 DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                 IDirect3DDevice8** device) {
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("CreateDevice", behaviorFlags, parameters ? parameters->BackBufferWidth : 0,
                     parameters ? parameters->BackBufferHeight : 0,
                     parameters ? DWORD(parameters->BackBufferFormat) : 0,
                     parameters ? DWORD(parameters->AutoDepthStencilFormat) : 0,
                     parameters ? parameters->FullScreen_RefreshRateInHz : 0,
                     parameters ? parameters->Windowed : 0);
  if (!device) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL || !focusWindow || !parameters)
    return D3DERR_INVALIDCALL;

  const D3DPRESENT_PARAMETERS& pp = *parameters;
  D3DDISPLAYMODE fullScreenMode{};
  if (!pp.Windowed) {
    bool found = false;
    for (const D3DDISPLAYMODE& mode : DisplayModes()) {
      if (mode.Width == pp.BackBufferWidth && mode.Height == pp.BackBufferHeight &&
          mode.RefreshRate == pp.FullScreen_RefreshRateInHz &&
          SixteenBit(mode.Format) == SixteenBit(pp.BackBufferFormat)) {
        found = true;
        fullScreenMode = mode;
      }
    }
    if (!found) return D3DERR_NOTAVAILABLE;
  }

  SurfaceRequest request;
  request.sixteenBitColor = SixteenBit(pp.BackBufferFormat);
  request.depthBits = pp.AutoDepthStencilFormat == D3DFMT_D16 ? 16 : 24;
  request.stencilBits = pp.AutoDepthStencilFormat == D3DFMT_D24S8 ? 8 : 0;
  request.needsAcceleration =
      behaviorFlags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  request.fullScreenMode = pp.Windowed ? nullptr : &fullScreenMode;
  GlSurface* surface = CreateGlSurface(focusWindow, request);
  if (!surface) return D3DERR_NOTAVAILABLE;

  int width = int(pp.BackBufferWidth), height = int(pp.BackBufferHeight);
  // A windowed back buffer takes the client area in window units, never the HiDPI drawable's
  // pixels: the frame is scaled to those when presented.
  if (width == 0 || height == 0) SurfaceWindowSize(*surface, width, height);
  *device = new IDirect3DDevice8(surface, width, height);
  return D3D_OK;
}
