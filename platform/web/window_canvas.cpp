// The window system's browser backend (platform/window_system.h): a window is the page's
// canvas (#canvas; the page has one, so every window shares it), key presses come from the
// page's keyboard events, a message box is a message shown in the page.
//
// Keys are taken only while a window exists: the page keeps its own keys (reload, full
// screen) before the demo starts and after ResetWindowSystem. While the demo runs, every
// key is the demo's, F-keys included, and the browser does not act on it.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <deque>

#include "platform/win32.h"
#include "platform/window_system.h"

namespace {

struct PendingKey {
  WPARAM virtualKey;
  bool altHeld, repeat;
};

// The canvas as a native window, and the key presses not yet pumped into the queue.
struct Canvas {
  bool exists = false;
  std::deque<PendingKey> keys;
};
Canvas g_canvas;

// The page's key codes are the platform's virtual-key codes; the keys the desktop knows
// keep their code, every other key is 0xFF there and here.
WPARAM VirtualKey(unsigned long keyCode) {
  const bool known = (keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9') ||
                     (keyCode >= 0x70 && keyCode <= 0x7B) ||  // F1 to F12
                     (keyCode >= 0x25 && keyCode <= 0x28) ||  // arrows
                     keyCode == VK_ESCAPE || keyCode == VK_RETURN || keyCode == VK_SPACE ||
                     keyCode == VK_TAB || keyCode == 0x08 || keyCode == 0x10 || keyCode == 0x11 ||
                     keyCode == VK_MENU;
  return known ? WPARAM(keyCode) : 0xFF;
}

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
  g_canvas.keys.push_back({VirtualKey(event->keyCode), event->altKey != 0, event->repeat != 0});
  return EM_TRUE;  // the browser does nothing with it
}

EM_JS(int, SetCanvasVisible, (int visible), {
  var canvas = Module['canvas'];
  var wasVisible = canvas.style.visibility != 'hidden';
  canvas.style.visibility = visible ? 'visible' : 'hidden';
  if (visible && Module['onWindowShown']) Module['onWindowShown']();
  return wasVisible;
});

EM_JS(int, PageHasFocus, (), { return document.hasFocus(); });

EM_JS(void, ShowPageMessage, (const char* text, const char* caption), {
  if (Module['onMessageBox'])
    Module['onMessageBox'](UTF8ToString(text), UTF8ToString(caption));
  else
    console.error(UTF8ToString(text));
});

}  // namespace

// The canvas's pixels are the client area; the page scales them to fit.
void* CreateNativeWindow(const char*, int, int, int width, int height, bool) {
  if (!g_canvas.exists) {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKeyDown);
    g_canvas.exists = true;
  }
  emscripten_set_canvas_element_size("#canvas", width, height);
  SetCanvasVisible(0);
  return &g_canvas;
}

bool ShowNativeWindow(void*) {
  return SetCanvasVisible(1) != 0;
}

void HideNativeWindow(void*) {
  SetCanvasVisible(0);
}

void DestroyNativeWindow(void*) {
  if (!g_canvas.exists) return;
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
  g_canvas = Canvas{};
}

bool NativeWindowHasFocus(const void*) {
  return PageHasFocus() != 0;
}

void PumpNativeEvents() {
  while (!g_canvas.keys.empty()) {
    const PendingKey key = g_canvas.keys.front();
    g_canvas.keys.pop_front();
    PostKeyDown(WindowOfNative(&g_canvas), key.virtualKey, key.altHeld, key.repeat);
  }
}

void DiscardNativeEvents() {
  g_canvas.keys.clear();
}

void ShowNativeMessage(void*, const char* text, const char* caption) {
  ShowPageMessage(text, caption);
}
