// The audio library's browser backend: the page's Web Audio.
//
// BASS_Init opens an AudioContext, but only once the viewer has interacted with the page
// (browsers keep a page silent until then; the page starts the demo from a click): before
// that it fails as a machine without a sound device does. The stream's file is decoded
// whole by the browser when the stream is made, so BASS_StreamPlay starts the sound at
// once. The state lives in the page, as Module.demoSound: { context, buffer, source }.
#include "platform/bass.h"

#include <emscripten.h>

#include <string>

#include "platform/data_path.h"

namespace {

EM_JS(int, OpenSound, (), {
  if (Module['demoSound']) return 0;
  var activation = navigator['userActivation'];
  if (activation && !activation['hasBeenActive']) return 0;
  var Context = window['AudioContext'] || window['webkitAudioContext'];
  if (!Context) return 0;
  Module['demoSound'] = {context : new Context(), buffer : null, source : null};
  return 1;
});

// Waits for the browser to decode `length` bytes at `data`; false when it cannot.
EM_ASYNC_JS(int, DecodeSound, (const char* data, int length), {
  var sound = Module['demoSound'];
  var bytes = HEAPU8.slice(data, data + length).buffer;
  try {
    sound.buffer = await new Promise(
        function(resolve, reject) { sound.context.decodeAudioData(bytes, resolve, reject); });
  } catch (e) {
    return 0;
  }
  return 1;
});

EM_JS(void, ResumeSound, (), { Module['demoSound'].context.resume(); });

EM_JS(void, PlaySound, (int loop), {
  var sound = Module['demoSound'];
  if (sound.source) sound.source.stop();
  sound.source = sound.context.createBufferSource();
  sound.source.buffer = sound.buffer;
  sound.source.loop = !!loop;
  sound.source.connect(sound.context.destination);
  sound.source.start();
});

EM_JS(void, CloseSound, (), {
  var sound = Module['demoSound'];
  if (sound.source) sound.source.stop();
  sound.context.close();
  delete Module['demoSound'];
});

// The library's state; only these functions touch it.
struct AudioLibrary {
  bool open = false;
  bool hasStream = false;  // the one stream; its handle is 1
};
AudioLibrary g_audio;

}  // namespace

BOOL BASS_Init(int, DWORD, DWORD, HWND) {
  if (g_audio.open) return FALSE;
  g_audio.open = OpenSound() != 0;
  return g_audio.open ? TRUE : FALSE;
}

HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, DWORD, DWORD, DWORD) {
  if (!g_audio.open || memory || !file || g_audio.hasStream) return 0;
  std::string contents;
  if (!ReadDataFile(static_cast<const char*>(file), contents)) return 0;
  g_audio.hasStream = DecodeSound(contents.data(), int(contents.size())) != 0;
  return g_audio.hasStream ? 1 : 0;
}

BOOL BASS_Start() {
  if (!g_audio.open) return FALSE;
  ResumeSound();
  return TRUE;
}

BOOL BASS_StreamPlay(HSTREAM stream, BOOL, DWORD flags) {
  if (stream != 1 || !g_audio.hasStream) return FALSE;
  PlaySound((flags & BASS_SAMPLE_LOOP) ? 1 : 0);
  return TRUE;
}

// The page's sound has no transport of its own yet: the tools' calls do nothing.
BOOL BASS_ChannelPause(DWORD) {
  return FALSE;
}

BOOL BASS_ChannelPlay(DWORD, BOOL) {
  return FALSE;
}

BOOL BASS_ChannelSetPosition(DWORD, double) {
  return FALSE;
}

double BASS_ChannelGetPosition(DWORD) {
  return -1;
}

double BASS_ChannelGetLength(DWORD) {
  return -1;
}

BOOL BASS_Free() {
  if (!g_audio.open) return FALSE;
  CloseSound();
  g_audio = AudioLibrary{};
  return TRUE;
}
