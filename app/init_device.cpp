// InitDevice in the build's configuration: EMBERHALL_WINDOWED selects the windowed body,
// otherwise the full-screen cascade is built. This file is compiled into each program,
// not into the library, so that the two configurations share everything else.
#include <cstring>

#include "app/app.h"

namespace {
constexpr const char* kNoDeviceMessage = "D3D ERROR: You probably need a better 3D accelerator";
}

#ifdef EMBERHALL_WINDOWED

// One attempt on the desktop's display mode. The window is shown later, by WinMain.
// When that attempt fails the same message as the full-screen cascade's is shown and
// nothing is loaded or drawn, rather than drawing through a device that is not there.
HRESULT InitDevice(HWND window) {
  g_d3d = Direct3DCreate8(D3D_SDK_VERSION);
  D3DDISPLAYMODE displayMode{};
  if (g_d3d) g_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode);

  D3DPRESENT_PARAMETERS parameters;
  std::memset(&parameters, 0, sizeof parameters);
  parameters.Windowed = TRUE;
  parameters.SwapEffect = D3DSWAPEFFECT_COPY_VSYNC;
  parameters.BackBufferFormat = displayMode.Format;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;

  if (!g_d3d ||
      FAILED(g_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &g_device))) {
    MessageBoxA(nullptr, kNoDeviceMessage, nullptr, MB_OK);
    return E_FAIL;
  }
  g_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  return 0;
}

#else

// Five attempts at 800x600, 85 Hz: hardware, mixed, then software vertex processing with
// 32-bit formats, then twice with 16-bit formats.
HRESULT InitDevice(HWND window) {
  ShowWindow(window, SW_SHOWDEFAULT);
  UpdateWindow(window);

  g_d3d = Direct3DCreate8(D3D_SDK_VERSION);
  if (!g_d3d) return E_FAIL;

  D3DPRESENT_PARAMETERS parameters;
  std::memset(&parameters, 0, sizeof parameters);
  parameters.BackBufferWidth = 800;
  parameters.BackBufferHeight = 600;
  parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  parameters.BackBufferCount = 0;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = FALSE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
  parameters.FullScreen_RefreshRateInHz = 85;
  parameters.FullScreen_PresentationInterval = 0;

  auto attempt = [&](DWORD flags) {
    return g_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, flags, &parameters,
                               &g_device) >= 0;
  };
  bool created = attempt(D3DCREATE_HARDWARE_VERTEXPROCESSING) ||
                 attempt(D3DCREATE_MIXED_VERTEXPROCESSING) ||
                 attempt(D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  if (!created) {
    parameters.BackBufferFormat = D3DFMT_R5G6B5;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    created = attempt(D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  }
  if (!created) {
    parameters.BackBufferWidth = 800;
    parameters.BackBufferHeight = 600;
    created = attempt(D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  }
  if (!created) {
    MessageBoxA(nullptr, kNoDeviceMessage, nullptr, MB_OK);
    return E_FAIL;
  }

  g_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  return 0;
}

#endif
