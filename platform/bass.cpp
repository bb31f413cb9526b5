#include "platform/bass.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/data_path.h"
#include "platform/quietly.h"
#include "platform/server_latency.h"

namespace {

using Clock = std::chrono::steady_clock;

// The mixer hands the sound device this many frames at a time, and SDL asks a sound server
// for a buffer of one mix: 92.9 ms at 44.1 kHz. Through a PulseAudio server on a busy
// two-core machine drawing with llvmpipe, mixes of 512 frames ran dry about once a second,
// 1024 within a minute, and 2048 held only while the server had real-time threads; this
// size, twice that, is the margin for a server without them or a machine busier still.
// What it adds before the sound is heard costs no sync: the demo clock starts when the
// music is heard, not when it is handed over.
constexpr int kBufferFrames = 4096;
// How long a play request waits for the music's first mix: many mixes, so it runs out only
// on a device that has stopped taking sound.
constexpr std::chrono::milliseconds kStartTimeout{1000};

// The library's state; only these functions touch it, and the mixer's thread uses `server`
// between BASS_Init and BASS_Free.
struct AudioLibrary {
  bool open = false;
  int frequency = 0;
  Mix_Music* music = nullptr;  // the one stream; its handle is 1
  ServerLatency server;        // connected when SDL plays through a PulseAudio server
};
AudioLibrary g_audio;

// When the music started by the last play request is heard; the mixer sets it on its thread.
struct MusicStart {
  std::mutex mutex;
  std::condition_variable mixed;
  bool reached = false;     // a mix since the request carried music
  Clock::time_point heard;  // when that mix's first sample leaves the speaker
};
MusicStart g_start;

// The sound queued ahead of a mix about to be handed over: the server's word when there is a
// server, else the one mix a device holds while the next is made.
Clock::duration QueuedAhead() {
  const Clock::time_point asked = Clock::now();
  const double seconds = g_audio.server.Queued();
  if (seconds < 0)
    return std::chrono::microseconds(int64_t(1e6 * kBufferFrames / g_audio.frequency));
  // The server measured halfway through the question's round trip.
  return (Clock::now() - asked) / 2 + std::chrono::microseconds(int64_t(seconds * 1e6));
}

// Runs on the mixer's thread as the last step of every mix, just before the device gets it.
void AfterMix(void*, Uint8*, int) {
  if (!Mix_PlayingMusic() || Mix_PausedMusic()) return;
  {
    const std::lock_guard<std::mutex> lock(g_start.mutex);
    if (g_start.reached) return;
    const Clock::time_point now = Clock::now();
    g_start.heard = now + QueuedAhead();
    g_start.reached = true;
  }
  g_start.mixed.notify_all();
}

// Runs `start` (which makes the music sound from the next mix on), then returns once the
// first sample of that mix is heard, or once the device has had long enough to take it.
template <typename Start>
bool StartAndWaitUntilHeard(Start start) {
  std::unique_lock<std::mutex> lock(g_start.mutex);
  g_start.reached = false;
  lock.unlock();
  if (!start()) return false;
  lock.lock();
  if (!g_start.mixed.wait_for(lock, kStartTimeout, [] { return g_start.reached; })) return true;
  const Clock::time_point heard = g_start.heard;
  lock.unlock();
  std::this_thread::sleep_until(heard);
  return true;
}

}  // namespace

BOOL BASS_Init(int, DWORD frequency, DWORD, HWND) {
  if (g_audio.open) return FALSE;
  g_audio.open = Quietly([frequency] {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(int(frequency), AUDIO_S16SYS, 2, kBufferFrames) == 0) {
      const char* driver = SDL_GetCurrentAudioDriver();
      if (driver && std::string(driver) == "pulseaudio") g_audio.server.Connect();
      return true;
    }
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  });
  if (!g_audio.open) return FALSE;
  g_audio.frequency = int(frequency);
  Mix_SetPostMix(AfterMix, nullptr);
  return TRUE;
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
  const int loops = (flags & BASS_SAMPLE_LOOP) ? -1 : 1;
  return StartAndWaitUntilHeard([loops] { return Mix_PlayMusic(g_audio.music, loops) == 0; })
             ? TRUE
             : FALSE;
}

BOOL BASS_ChannelPause(DWORD handle) {
  if (handle != 1 || !g_audio.music) return FALSE;
  Mix_PauseMusic();
  return TRUE;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
  if (handle != 1 || !g_audio.music) return FALSE;
  if (restart || !Mix_PlayingMusic())
    return StartAndWaitUntilHeard([] { return Mix_PlayMusic(g_audio.music, 1) == 0; }) ? TRUE
                                                                                       : FALSE;
  if (!Mix_PausedMusic()) return TRUE;
  StartAndWaitUntilHeard([] {
    Mix_ResumeMusic();
    return true;
  });
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
  g_audio.server.Disconnect();
  g_audio.music = nullptr;
  g_audio.open = false;
  return TRUE;
}
