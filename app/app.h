// The application shell: entry point, window procedure, device set-up, the frame
// bracket, start-up loading and shutdown.
//
// WinMain registers the window class, creates the demo window, has the device created
// and the demo loaded, then renders one frame whenever no window message is waiting,
// until WM_QUIT. A key press or the window's destruction posts WM_QUIT.
#pragma once

#include "platform/bass.h"
#include "platform/win32.h"
#include "render/d3d8.h"

// The screen size: the window's size, the back buffer's, the camera's aspect ratio.
extern int32_t g_screenWidth;
extern int32_t g_screenHeight;

// The sound track's stream, 0 when none could be made (the demo then plays silent).
extern HSTREAM g_musicStream;

// The Direct3D object and the one device, null until InitDevice makes them.
extern IDirect3D8* g_d3d;
extern IDirect3DDevice8* g_device;

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, const char* commandLine,
            int showCommand);
LRESULT DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates g_d3d and g_device for the window; 0 when the device exists, E_FAIL when not.
// The build chooses its configuration: full screen (the default) or windowed.
HRESULT InitDevice(HWND window);

// Clear to the background colour and depth 1, then begin the scene.
void BeginFrame();
// End the scene and present it.
void EndFrame();

// Loads everything the demo shows; runs once, after the device exists.
void LoadDemo();
// Frees the audio library and releases the device and the Direct3D object, if they exist.
void ShutdownDemo();
