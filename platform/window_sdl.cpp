// The window system's desktop backend (platform/window_system.h): SDL2 windows, SDL's
// keyboard and window events, SDL message boxes.
#include <SDL2/SDL.h>

#include <cstdio>

#include "platform/quietly.h"
#include "platform/sdl_video.h"
#include "platform/win32.h"
#include "platform/window_system.h"

namespace {

bool EnsureVideo() {
  // The demo is ended by WM_QUIT alone: closing the last window must not end SDL's event flow.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  return StartVideo();
}

WPARAM VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return WPARAM('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return WPARAM(key);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + WPARAM(key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_PAGEUP:
      return VK_PRIOR;
    case SDLK_PAGEDOWN:
      return VK_NEXT;
    case SDLK_HOME:
      return VK_HOME;
    case SDLK_COMMA:
      return VK_OEM_COMMA;
    case SDLK_PERIOD:
      return VK_OEM_PERIOD;
    case SDLK_RETURN:
      return VK_RETURN;
    case SDLK_SPACE:
      return VK_SPACE;
    case SDLK_TAB:
      return VK_TAB;
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

SDL_Window* SdlWindow(void* native) {
  return static_cast<SDL_Window*>(native);
}

// Alt+Enter: a resizable window goes to desktop full screen (no mode change) and back. A
// window in an exclusive display mode of its own stays as it is.
void ToggleDesktopFullScreen(SDL_Window* window) {
  if (!window) return;
  const Uint32 flags = SDL_GetWindowFlags(window);
  if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_ShowCursor(SDL_ENABLE);
  } else if (!(flags & SDL_WINDOW_FULLSCREEN) && (flags & SDL_WINDOW_RESIZABLE) &&
             SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
    SDL_ShowCursor(SDL_DISABLE);
  }
}

}  // namespace

void* CreateNativeWindow(const char* title, int x, int y, int width, int height, bool resizable) {
  if (!EnsureVideo()) return nullptr;
  // The GL context is made later, by the device; the window must already carry a
  // GL-capable surface of the richest format the device will ask for.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  return SDL_CreateWindow(title, x, y, width, height,
                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI |
                              (resizable ? SDL_WINDOW_RESIZABLE : 0));
}

bool ShowNativeWindow(void* native) {
  const bool wasVisible = (SDL_GetWindowFlags(SdlWindow(native)) & SDL_WINDOW_SHOWN) != 0;
  SDL_ShowWindow(SdlWindow(native));
  SDL_RaiseWindow(SdlWindow(native));
  return wasVisible;
}

void HideNativeWindow(void* native) {
  SDL_HideWindow(SdlWindow(native));
}

void DestroyNativeWindow(void* native) {
  SDL_DestroyWindow(SdlWindow(native));
}

bool NativeWindowHasFocus(const void* native) {
  return (SDL_GetWindowFlags(SdlWindow(const_cast<void*>(native))) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void PumpNativeEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_KEYDOWN: {
        const SDL_Keycode key = event.key.keysym.sym;
        const bool altHeld = (event.key.keysym.mod & KMOD_ALT) != 0;
        const bool shiftHeld = (event.key.keysym.mod & KMOD_SHIFT) != 0;
        SDL_Window* window = SDL_GetWindowFromID(event.key.windowID);
        PostKeyDown(WindowOfNative(window), VirtualKey(key), altHeld, event.key.repeat != 0,
                    shiftHeld);
        if (altHeld && key == SDLK_RETURN && !event.key.repeat) ToggleDesktopFullScreen(window);
        break;
      }
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
          PostMessageA(WindowOfNative(SDL_GetWindowFromID(event.window.windowID)), WM_CLOSE, 0, 0);
        break;
      case SDL_QUIT:  // Ctrl+C or SIGTERM
        if (HWND window = WindowOfNative(nullptr)) PostMessageA(window, WM_CLOSE, 0, 0);
        break;
      default:
        break;
    }
  }
}

void DiscardNativeEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
  }
}

void ShowNativeMessage(void* owner, const char* text, const char* caption) {
  // Without a display the message goes to stderr, in place of the box and of the display
  // back end's own complaints.
  if (!Quietly([&] { return SDL_ShowSimpleMessageBox(0, caption, text, SdlWindow(owner)) == 0; }))
    std::fprintf(stderr, "%s\n", text);
}

SDL_Window* SdlWindowOf(HWND window) {
  return window ? SdlWindow(window->native) : nullptr;
}
