#include "app/app.h"

void LoadDemo() {}

void ShutdownDemo() {
  if (g_device) {
    g_device->Release();
    g_device = nullptr;
  }
  if (g_d3d) {
    g_d3d->Release();
    g_d3d = nullptr;
  }
}
