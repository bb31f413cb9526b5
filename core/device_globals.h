// The device and screen size that every subsystem draws with, at the bottom of the demo so
// that every folder of it may include them (CONTRIBUTING.md has the table of who includes
// what).
//
// InitDevice (app/init_device.cpp) makes g_d3d and g_device; ShutdownDemo releases them.
// Nothing else assigns any of these.
#pragma once

#include <cstdint>

#include "render/d3d8.h"

// The screen size: the window's size, the back buffer's, the camera's aspect ratio.
extern int32_t g_screenWidth;
extern int32_t g_screenHeight;

// The Direct3D object and the one device, null until InitDevice makes them.
extern IDirect3D8* g_d3d;
extern IDirect3DDevice8* g_device;
