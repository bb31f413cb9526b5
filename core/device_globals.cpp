#include "core/device_globals.h"

int32_t g_screenWidth = 800;
int32_t g_screenHeight = 600;

IDirect3D8* g_d3d = nullptr;
IDirect3DDevice8* g_device = nullptr;
