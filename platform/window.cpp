// Windows, window classes and the message queue of platform/win32.h, over SDL2.
//
// State: one struct, g_windowSystem, owned by this file alone. Windows are never freed
// while the program runs (the demo never destroys its window explicitly); a destroyed
// window is hidden and ignores further messages.
#include <SDL2/SDL.h>

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

struct Window {
  SDL_Window* sdl = nullptr;
  WNDPROC proc = nullptr;
  bool destroyed = false;
};

struct ModuleHandle {};

namespace {

struct WindowSystem {
  std::vector<WNDCLASSEXA> classes;
  std::vector<std::string> classNames;  // owned copies of lpszClassName
  std::vector<std::unique_ptr<Window>> windows;
  std::deque<MSG> queue;
  bool quitPosted = false;
  int quitCode = 0;
};

WindowSystem g_windowSystem;
ModuleHandle g_module;
Window g_desktop;

bool EnsureVideo() {
  // The demo is ended by WM_QUIT alone: closing the last window must not end SDL's event flow.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

WPARAM VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return WPARAM('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return WPARAM(key);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + WPARAM(key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_RETURN:
      return 0x0D;
    case SDLK_SPACE:
      return 0x20;
    case SDLK_TAB:
      return 0x09;
    case SDLK_BACKSPACE:
      return 0x08;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 0x10;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 0x11;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    case SDLK_LEFT:
      return 0x25;
    case SDLK_UP:
      return 0x26;
    case SDLK_RIGHT:
      return 0x27;
    case SDLK_DOWN:
      return 0x28;
    default:
      return 0xFF;
  }
}

HWND WindowOfSdlId(Uint32 id) {
  for (auto& w : g_windowSystem.windows)
    if (w->sdl && SDL_GetWindowID(w->sdl) == id) return w.get();
  return nullptr;
}

// Alt+Enter: a resizable window goes to desktop full screen (no mode change) and back. A
// window in an exclusive display mode of its own stays as it is.
void ToggleDesktopFullScreen(HWND window) {
  if (!window || window->destroyed || !window->sdl) return;
  const Uint32 flags = SDL_GetWindowFlags(window->sdl);
  if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) {
    SDL_SetWindowFullscreen(window->sdl, 0);
    SDL_ShowCursor(SDL_ENABLE);
  } else if (!(flags & SDL_WINDOW_FULLSCREEN) && (flags & SDL_WINDOW_RESIZABLE) &&
             SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
    SDL_ShowCursor(SDL_DISABLE);
  }
}

HWND FirstLiveWindow() {
  for (auto& w : g_windowSystem.windows)
    if (!w->destroyed) return w.get();
  return nullptr;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = SDL_GetTicks();
  g_windowSystem.queue.push_back(msg);
}

// Moves SDL's pending events into the queue as window messages.
void PumpEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_KEYDOWN: {
        HWND window = WindowOfSdlId(event.key.windowID);
        if (!window) window = FirstLiveWindow();
        const SDL_Keycode key = event.key.keysym.sym;
        const bool altHeld = (event.key.keysym.mod & KMOD_ALT) != 0;
        const bool system = altHeld || key == SDLK_LALT || key == SDLK_RALT || key == SDLK_F10;
        // lParam: repeat count 1, bit 29 set while Alt is held, bit 30 for auto-repeat.
        LPARAM lParam =
            1 | (altHeld ? LPARAM(1) << 29 : 0) | (event.key.repeat ? LPARAM(1) << 30 : 0);
        Post(window, system ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtualKey(key), lParam);
        if (altHeld && key == SDLK_RETURN && !event.key.repeat) ToggleDesktopFullScreen(window);
        break;
      }
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
          HWND window = WindowOfSdlId(event.window.windowID);
          Post(window ? window : FirstLiveWindow(), WM_CLOSE, 0, 0);
        }
        break;
      case SDL_QUIT:  // Ctrl+C or SIGTERM
        if (HWND window = FirstLiveWindow()) Post(window, WM_CLOSE, 0, 0);
        break;
      default:
        break;
    }
  }
}

void DestroyWindow(HWND window) {
  if (window->destroyed) return;
  window->destroyed = true;
  if (window->sdl) SDL_HideWindow(window->sdl);
  if (window->proc) window->proc(window, WM_DESTROY, 0, 0);
}

}  // namespace

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
  if (!windowClass || !EnsureVideo()) return nullptr;

  // The GL context is made later, by the device; the window must already carry a
  // GL-capable surface of the richest format the device will ask for.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  const Uint32 resizable = (style & WS_THICKFRAME) ? SDL_WINDOW_RESIZABLE : 0;
  SDL_Window* sdl = SDL_CreateWindow(
      title ? title : "", x, y, width, height,
      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | resizable);
  if (!sdl) return nullptr;
  auto window = std::make_unique<Window>();
  window->sdl = sdl;
  window->proc = windowClass->lpfnWndProc;
  g_windowSystem.windows.push_back(std::move(window));
  return g_windowSystem.windows.back().get();
}

BOOL ShowWindow(HWND window, int) {
  if (!window || !window->sdl || window->destroyed) return FALSE;
  const bool wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
  SDL_ShowWindow(window->sdl);
  SDL_RaiseWindow(window->sdl);
  return wasVisible ? TRUE : FALSE;
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
    if (!w->destroyed && w->sdl && (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_INPUT_FOCUS))
      return w.get();
  return nullptr;
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
  PumpEvents();
  auto& queue = g_windowSystem.queue;
  if (!queue.empty()) {
    *msg = queue.front();
    if (removeFlags & PM_REMOVE) queue.pop_front();
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
  SDL_Window* parent = owner ? owner->sdl : nullptr;
  if (SDL_ShowSimpleMessageBox(0, caption ? caption : "Error", text ? text : "", parent) != 0)
    std::fprintf(stderr, "%s\n", text ? text : "");
  return IDOK;
}

SDL_Window* SdlWindowOf(HWND window) {
  return window ? window->sdl : nullptr;
}

void PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Post(window, message, wParam, lParam);
}

void ResetWindowSystem() {
  for (auto& w : g_windowSystem.windows)
    if (w->sdl) SDL_DestroyWindow(w->sdl);
  g_windowSystem = WindowSystem{};
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
  }
}
