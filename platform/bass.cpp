#include "platform/bass.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <string>

#include "platform/data_path.h"
#include "platform/quietly.h"

namespace {

// The library's state; only these functions touch it.
struct AudioLibrary {
  bool open = false;
  Mix_Music* music = nullptr;  // the one stream; its handle is 1
};
AudioLibrary g_audio;

}  // namespace

BOOL BASS_Init(int, DWORD frequency, DWORD, HWND) {
  if (g_audio.open) return FALSE;
  g_audio.open = Quietly([frequency] {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(int(frequency), AUDIO_S16SYS, 2, 2048) == 0) return true;
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  });
  return g_audio.open ? TRUE : FALSE;
}

HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, DWORD, DWORD, DWORD) {
  if (!g_audio.open || memory || !file || g_audio.music) return 0;
  const std::string path = ResolveDataPath(static_cast<const char*>(file));
  if (path.empty()) return 0;
  // The format is told from the file's contents, not from its name.
  g_audio.music = Mix_LoadMUS_RW(SDL_RWFromFile(path.c_str(), "rb"), SDL_TRUE);
  return g_audio.music ? 1 : 0;
}

BOOL BASS_Start() {
  return g_audio.open ? TRUE : FALSE;
}

BOOL BASS_StreamPlay(HSTREAM stream, BOOL, DWORD flags) {
  if (stream != 1 || !g_audio.music) return FALSE;
  return Mix_PlayMusic(g_audio.music, (flags & BASS_SAMPLE_LOOP) ? -1 : 1) == 0 ? TRUE : FALSE;
}

BOOL BASS_ChannelPause(DWORD handle) {
  if (handle != 1 || !g_audio.music) return FALSE;
  Mix_PauseMusic();
  return TRUE;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
  if (handle != 1 || !g_audio.music) return FALSE;
  if (restart || !Mix_PlayingMusic()) return Mix_PlayMusic(g_audio.music, 1) == 0 ? TRUE : FALSE;
  Mix_ResumeMusic();
  return TRUE;
}

BOOL BASS_ChannelSetPosition(DWORD handle, double seconds) {
  if (handle != 1 || !g_audio.music || seconds < 0) return FALSE;
  return Mix_SetMusicPosition(seconds) == 0 ? TRUE : FALSE;
}

double BASS_ChannelGetPosition(DWORD handle) {
  if (handle != 1 || !g_audio.music) return -1;
  return Mix_GetMusicPosition(g_audio.music);
}

double BASS_ChannelGetLength(DWORD handle) {
  if (handle != 1 || !g_audio.music) return -1;
  return Mix_MusicDuration(g_audio.music);
}

BOOL BASS_Free() {
  if (!g_audio.open) return FALSE;
  Mix_HaltMusic();
  if (g_audio.music) Mix_FreeMusic(g_audio.music);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_audio = AudioLibrary{};
  return TRUE;
}
