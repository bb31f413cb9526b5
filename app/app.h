// The application shell: entry point, window procedure, device set-up, the frame
// bracket, start-up loading and shutdown.
//
// WinMain registers the window class, creates the demo window, has the device created
// and the demo loaded, then renders one frame whenever no window message is waiting,
// until WM_QUIT. A key press or the window's destruction posts WM_QUIT.
#pragma once

#include "core/device_globals.h"
#include "core/frame.h"
#include "platform/bass.h"
#include "platform/win32.h"

// The sound track, looked up in the data folder like every other data file.
constexpr const char* kSoundTrackPath = "data/solen.mp3";

// The sound track's stream, 0 when none could be made (the demo then plays silent).
extern HSTREAM g_musicStream;

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, const char* commandLine,
            int showCommand);
LRESULT DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Registers the demo's window class and creates its window, not yet shown, as WinMain
// does; the tools and tests that need the demo's window make it here too.
HWND CreateDemoWindow();

// Creates g_d3d and g_device for the window; 0 when the device exists, E_FAIL when not.
// The build chooses its configuration: full screen (the default) or windowed.
HRESULT InitDevice(HWND window);

// Loads everything the demo shows; runs once, after the device exists.
void LoadDemo();
// Frees the audio library and releases the device and the Direct3D object, if they exist.
void ShutdownDemo();
