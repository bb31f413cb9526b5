#include "platform/sdl_video.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "platform/quietly.h"

namespace {

bool g_glLibraryLoaded = false;

}  // namespace

bool StartVideo() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (!Quietly([] { return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; })) return false;
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") == 0 &&
        !(asked && std::strstr(asked, "offscreen"))) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      return false;
    }
    g_glLibraryLoaded = false;  // a fresh subsystem holds no GL library yet
  }
  if (!g_glLibraryLoaded) g_glLibraryLoaded = SDL_GL_LoadLibrary(nullptr) == 0;
  return true;
}
