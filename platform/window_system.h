// What the two halves of the window system know of each other. The shared half
// (window.cpp) owns the window classes, the windows and the message queue; the backend
// (window_sdl.cpp on the desktop, web/window_canvas.cpp in the browser) makes the native
// window behind a window and turns native input into messages through PostKeyDown and
// PostMessageA. Nothing outside platform/ includes this header.
#pragma once

#include "platform/win32.h"

struct Window {
  void* native = nullptr;  // the backend's window: an SDL window, or the page's canvas
  WNDPROC proc = nullptr;
  bool destroyed = false;
};

// --- The shared half, for the backend. ---

// The window whose native window is `native`; when no window has it, the first live window
// (input for a window we do not know goes to the demo's), or null when none is live.
HWND WindowOfNative(const void* native);
// Posts a key press as WM_KEYDOWN, or WM_SYSKEYDOWN for Alt, F10 and keys pressed with Alt
// held; lParam carries a repeat count of 1, bit 29 while Alt is held, bit 30 for auto-repeat.
// GetKeyState(VK_SHIFT) reports `shiftHeld` once the message has been taken from the queue.
void PostKeyDown(HWND window, WPARAM virtualKey, bool altHeld, bool repeat, bool shiftHeld = false);

// --- The backend. ---

// A hidden native window at (x, y) with a client area of `width` by `height`; null on failure.
// A resizable one may be resized and maximised, and put in desktop full screen with Alt+Enter.
void* CreateNativeWindow(const char* title, int x, int y, int width, int height, bool resizable);
// Shows the window in front of the others; true when it was visible already.
bool ShowNativeWindow(void* native);
void HideNativeWindow(void* native);
void DestroyNativeWindow(void* native);
// True while the window has the keyboard focus.
bool NativeWindowHasFocus(const void* native);
// Moves the native input waiting now into the queue.
void PumpNativeEvents();
// Throws away whatever native input is waiting.
void DiscardNativeEvents();
// Puts `text` before the user, over `owner` when given.
void ShowNativeMessage(void* owner, const char* text, const char* caption);
