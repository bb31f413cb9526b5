// The demo's window and a windowed device for benchmarks (800x600, offscreen).
#pragma once

#include "app/app.h"

// Creates the window and g_device once per process; later calls return at once.
void EnsureBenchDevice();
