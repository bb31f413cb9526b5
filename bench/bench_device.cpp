#include "bench/bench_device.h"

void EnsureBenchDevice() {
  if (g_device) return;
  InitDevice(CreateDemoWindow());
}
