// Window classes, windows and the message queue of platform/win32.h: the half that is the
// same on every backend (platform/window_system.h).
//
// State: one struct, g_windowSystem, owned by this file alone. Windows are never freed
// while the program runs (the demo never destroys its window explicitly); a destroyed
// window is hidden and ignores further messages.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/tick.h"
#include "platform/win32.h"
#include "platform/window_system.h"

struct ModuleHandle {};

namespace {

struct WindowSystem {
  std::vector<WNDCLASSEXA> classes;
  std::vector<std::string> classNames;  // owned copies of lpszClassName
  std::vector<std::unique_ptr<Window>> windows;
  // Each message with whether Shift was held when it was posted (key messages only).
  std::deque<std::pair<MSG, bool>> queue;
  bool shiftHeld = false;  // as of the last key message taken from the queue
  bool quitPosted = false;
  int quitCode = 0;
};

WindowSystem g_windowSystem;
ModuleHandle g_module;
Window g_desktop;

HWND FirstLiveWindow() {
  for (auto& w : g_windowSystem.windows)
    if (!w->destroyed) return w.get();
  return nullptr;
}

void DestroyWindow(HWND window) {
  if (window->destroyed) return;
  window->destroyed = true;
  if (window->native) HideNativeWindow(window->native);
  if (window->proc) window->proc(window, WM_DESTROY, 0, 0);
}

}  // namespace

HWND WindowOfNative(const void* native) {
  for (auto& w : g_windowSystem.windows)
    if (native && w->native == native) return w.get();
  return FirstLiveWindow();
}

void PostKeyDown(HWND window, WPARAM virtualKey, bool altHeld, bool repeat, bool shiftHeld) {
  const bool system = altHeld || virtualKey == VK_MENU || virtualKey == VK_F10;
  const LPARAM lParam = 1 | (altHeld ? LPARAM(1) << 29 : 0) | (repeat ? LPARAM(1) << 30 : 0);
  PostMessageA(window, system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, lParam);
  g_windowSystem.queue.back().second = shiftHeld;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || !windowClass->lpszClassName) return 0;
  g_windowSystem.classNames.emplace_back(windowClass->lpszClassName);
  g_windowSystem.classes.push_back(*windowClass);
  return ATOM(g_windowSystem.classes.size());
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
  for (size_t i = 0; i < g_windowSystem.classNames.size(); ++i) {
    if (g_windowSystem.classNames[i] == className) {
      g_windowSystem.classNames.erase(g_windowSystem.classNames.begin() + long(i));
      g_windowSystem.classes.erase(g_windowSystem.classes.begin() + long(i));
      return TRUE;
    }
  }
  return FALSE;
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*) {
  const WNDCLASSEXA* windowClass = nullptr;
  for (size_t i = 0; i < g_windowSystem.classNames.size(); ++i)
    if (className && g_windowSystem.classNames[i] == className)
      windowClass = &g_windowSystem.classes[i];
  if (!windowClass) return nullptr;
  void* native =
      CreateNativeWindow(title ? title : "", x, y, width, height, (style & WS_THICKFRAME) != 0);
  if (!native) return nullptr;
  auto window = std::make_unique<Window>();
  window->native = native;
  window->proc = windowClass->lpfnWndProc;
  g_windowSystem.windows.push_back(std::move(window));
  return g_windowSystem.windows.back().get();
}

BOOL ShowWindow(HWND window, int) {
  if (!window || !window->native || window->destroyed) return FALSE;
  return ShowNativeWindow(window->native) ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
  return window && !window->destroyed ? TRUE : FALSE;
}

HINSTANCE GetModuleHandleA(const char*) {
  return &g_module;
}

HWND GetDesktopWindow() {
  return &g_desktop;
}

HWND GetForegroundWindow() {
  for (auto& w : g_windowSystem.windows)
    if (!w->destroyed && w->native && NativeWindowHasFocus(w->native)) return w.get();
  return nullptr;
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
  PumpNativeEvents();
  auto& queue = g_windowSystem.queue;
  if (!queue.empty()) {
    *msg = queue.front().first;
    if (removeFlags & PM_REMOVE) {
      if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)
        g_windowSystem.shiftHeld = queue.front().second;
      queue.pop_front();
    }
    return TRUE;
  }
  if (g_windowSystem.quitPosted) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = WPARAM(g_windowSystem.quitCode);
    if (removeFlags & PM_REMOVE) g_windowSystem.quitPosted = false;
    return TRUE;
  }
  return FALSE;
}

BOOL TranslateMessage(const MSG*) {
  return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  HWND window = msg->hwnd;
  if (!window || window->destroyed || !window->proc) return 0;
  return window->proc(window, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || window->destroyed) return 0;
  const bool altHeld = (lParam & (LPARAM(1) << 29)) != 0;
  if (message == WM_CLOSE) {
    DestroyWindow(window);
  } else if (message == WM_SYSKEYDOWN && wParam == VK_F4 && altHeld && window->proc) {
    window->proc(window, WM_CLOSE, 0, 0);
  }
  return 0;
}

void PostQuitMessage(int exitCode) {
  g_windowSystem.quitPosted = true;
  g_windowSystem.quitCode = exitCode;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT) {
  ShowNativeMessage(owner ? owner->native : nullptr, text ? text : "", caption ? caption : "Error");
  return IDOK;
}

void PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = DWORD(GetTickCount());
  g_windowSystem.queue.emplace_back(msg, false);
}

SHORT GetKeyState(int virtualKey) {
  return WPARAM(virtualKey) == VK_SHIFT && g_windowSystem.shiftHeld ? SHORT(0x8000) : SHORT(0);
}

void ResetWindowSystem() {
  for (auto& w : g_windowSystem.windows)
    if (w->native) DestroyNativeWindow(w->native);
  g_windowSystem = WindowSystem{};
  DiscardNativeEvents();
}
