#include "platform/bass.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/data_path.h"
#include "platform/quietly.h"

namespace {

// The mixer hands the sound device this many frames at a time: 11.6 ms at 44.1 kHz, the
// whole of the lag the library adds between a frame and its sound.
constexpr int kBufferFrames = 512;
// How long BASS_StreamPlay waits for the music to reach the device: many buffers, so it
// runs out only on a device that has stopped taking sound.
constexpr std::chrono::milliseconds kStartTimeout{200};

// The library's state; only these functions touch it.
struct AudioLibrary {
  bool open = false;
  Mix_Music* music = nullptr;  // the one stream; its handle is 1
};
AudioLibrary g_audio;

// Whether a mix since the last play request carried music; the mixer sets it on its thread.
struct MusicStart {
  std::mutex mutex;
  std::condition_variable mixed;
  bool reached = false;
};
MusicStart g_start;

// Runs on the mixer's thread as the last step of every mix, just before the device gets it.
void AfterMix(void*, Uint8*, int) {
  if (!Mix_PlayingMusic()) return;
  {
    const std::lock_guard<std::mutex> lock(g_start.mutex);
    if (g_start.reached) return;
    g_start.reached = true;
  }
  g_start.mixed.notify_all();
}

}  // namespace

BOOL BASS_Init(int, DWORD frequency, DWORD, HWND) {
  if (g_audio.open) return FALSE;
  g_audio.open = Quietly([frequency] {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(int(frequency), AUDIO_S16SYS, 2, kBufferFrames) == 0) return true;
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  });
  if (g_audio.open) Mix_SetPostMix(AfterMix, nullptr);
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
  // Once the halt returns no mix carries music until the play below starts it again.
  Mix_HaltMusic();
  std::unique_lock<std::mutex> lock(g_start.mutex);
  g_start.reached = false;
  lock.unlock();
  if (Mix_PlayMusic(g_audio.music, (flags & BASS_SAMPLE_LOOP) ? -1 : 1) != 0) return FALSE;
  lock.lock();
  g_start.mixed.wait_for(lock, kStartTimeout, [] { return g_start.reached; });
  return TRUE;
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
  Mix_SetPostMix(nullptr, nullptr);
  Mix_HaltMusic();
  if (g_audio.music) Mix_FreeMusic(g_audio.music);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_audio = AudioLibrary{};
  return TRUE;
}
