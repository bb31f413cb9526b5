// The frame bracket.
#include "core/frame.h"

#include "core/device_globals.h"

void BeginFrame() {
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0A141E, 1.0f, 0);
  g_device->BeginScene();
}

void EndFrame() {
  g_device->EndScene();
  g_device->Present(nullptr, nullptr, nullptr, nullptr);
}
