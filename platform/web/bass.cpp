// The audio library's browser backend: the page's Web Audio.
//
// BASS_Init opens an AudioContext at the asked rate, but only once the viewer has
// interacted with the page (browsers keep a page silent until then; the page starts the
// demo from a click): before that it fails as a machine without a sound device does. A
// stream's file is decoded whole by the browser, which takes it most of a second, so the
// page starts the sound track's decoding while it loads (PreloadSoundFile) and the stream
// takes the decoded sound. BASS_StreamPlay schedules the sound a little ahead on the
// context's clock and returns when the context says its first sample is heard, so that the
// demo clock started next runs with the sound. The state lives in the page: the one
// playing sound as Module.demoSound ({ context, buffer, source, startTime, offset,
// clockStart }),
// the decodings started early as Module.soundFiles (path: a promise of the decoded sound).
// The tools' transport calls (pause, play, position, length) move that one sound.
#include "platform/bass.h"

#include <emscripten.h>

#include <string>

#include "platform/data_path.h"
#include "platform/web/preload_sound.h"

namespace {

// Early decodings are made at this rate, the sound track's and the demo's output rate; an
// output opened at another rate decodes its file again.
constexpr int kPreloadRate = 44100;

EM_JS(void, StartDecoding, (const char* path, const char* data, int length, int rate), {
  var files = Module['soundFiles'] = Module['soundFiles'] || {};
  var bytes = HEAPU8.slice(data, data + length).buffer;
  // A browser without an offline context (or with only the prefixed one, or one that refuses
  // these arguments) leaves the decoding to the stream, after the click.
  var Offline = window['OfflineAudioContext'] || window['webkitOfflineAudioContext'];
  var context;
  try {
    context = new Offline(2, 1, rate);
  } catch (e) {
    return;
  }
  files[UTF8ToString(path)] = new Promise(function(resolve) {
    context.decodeAudioData(
        bytes, resolve, function() { resolve(null); });
  });
});

EM_JS(int, OpenSound, (int rate), {
  if (Module['demoSound']) return 0;
  var activation = navigator['userActivation'];
  if (activation && !activation['hasBeenActive']) return 0;
  var Context = window['AudioContext'] || window['webkitAudioContext'];
  if (!Context) return 0;
  var context;
  try {
    context = new Context({sampleRate : rate});
  } catch (e) {
    context = new Context();
  }
  Module['demoSound'] = {context : context, buffer : null, source : null};
  return 1;
});

// Waits for the decoding of the file at `path` (`length` bytes at `data`): the one started
// early when there is one at the context's rate, else one of its own. False when the
// browser cannot decode it.
EM_ASYNC_JS(int, DecodeSound, (const char* path, const char* data, int length), {
  var sound = Module['demoSound'];
  var files = Module['soundFiles'] || {};
  var early = files[UTF8ToString(path)];
  var buffer = early ? await early : null;
  if (!buffer || buffer.sampleRate != sound.context.sampleRate) {
    var bytes = HEAPU8.slice(data, data + length).buffer;
    buffer = await new Promise(function(resolve) {
      sound.context.decodeAudioData(
          bytes, resolve, function() { resolve(null); });
    });
  }
  sound.buffer = buffer;
  return buffer ? 1 : 0;
});

EM_JS(void, ResumeSound, (), { Module['demoSound'].context.resume(); });

// Starts the sound a little ahead of the context's clock, then waits until the context
// says that moment is heard: its output timestamp maps its clock onto performance.now(),
// the page's clock, output latency included. Until the output runs it has no timestamp;
// then the latency it reports stands in.
EM_ASYNC_JS(void, PlaySound, (int loop), {
  var sound = Module['demoSound'];
  var context = sound.context;
  if (sound.source) sound.source.stop();
  sound.source = context.createBufferSource();
  sound.source.buffer = sound.buffer;
  sound.source.loop = !!loop;
  sound.source.connect(context.destination);
  var heard = function() {
    var stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : {};
    if (stamp.contextTime > 0 && stamp.performanceTime > 0)
      return stamp.performanceTime + (sound.startTime - stamp.contextTime) * 1000;
    var latency = context.outputLatency || context.baseLatency || 0;
    return performance.now() + (sound.startTime - context.currentTime + latency) * 1000;
  };
  // Two of the audio thread's renderings ahead, so that the start is not already past.
  sound.startTime = context.currentTime + 2 * (context.baseLatency || 0.01);
  sound.offset = 0;
  sound.source.start(sound.startTime);
  // Timers are coarse (4 ms and more, later when the page is busy): the last 8 ms are waited
  // out on the spot. The estimate is renewed all the while, as the output's timestamps
  // come. An output that never starts is given up on after a second.
  var deadline = performance.now() + 1000;
  var left = heard() - performance.now();
  for (; left > 8 && performance.now() < deadline; left = heard() - performance.now())
    await new Promise(function(resolve) { setTimeout(resolve, left - 8); });
  while (performance.now() < Math.min(heard(), deadline)) {
  }
  sound.clockStart = performance.now();
});

EM_JS(void, CloseSound, (), {
  var sound = Module['demoSound'];
  if (sound.source) sound.source.stop();
  sound.context.close();
  delete Module['demoSound'];
});

// The stream's transport. The sound plays from `offset` seconds of the track, started at
// `startTime` on the context's clock; paused, `source` is null and `offset` is where it
// stands. (BASS_StreamPlay starts it at offset 0.)
EM_JS(double, SoundPosition, (), {
  var sound = Module['demoSound'];
  var offset = sound.offset || 0;
  if (!sound.source) return offset;
  return offset + Math.max(0, sound.context.currentTime - sound.startTime);
});

EM_JS(double, SoundLength, (), { return Module['demoSound'].buffer.duration; });

EM_JS(void, PauseSound, (), {
  var sound = Module['demoSound'];
  if (!sound.source) return;
  var offset = sound.offset || 0;
  sound.offset = offset + Math.max(0, sound.context.currentTime - sound.startTime);
  sound.source.stop();
  sound.source = null;
});

// Plays on from where the sound stands, or from `from` seconds when that is 0 or more.
EM_JS(void, ResumeSoundAt, (double from), {
  var sound = Module['demoSound'];
  if (from >= 0) sound.offset = from;
  if (sound.source) sound.source.stop();
  sound.source = null;
  if ((sound.offset || 0) >= sound.buffer.duration) return;
  sound.source = sound.context.createBufferSource();
  sound.source.buffer = sound.buffer;
  sound.source.connect(sound.context.destination);
  sound.startTime = sound.context.currentTime;
  sound.source.start(sound.startTime, sound.offset || 0);
});

EM_JS(int, SoundPlaying, (), { return Module['demoSound'].source ? 1 : 0; });

EM_JS(void, SetSoundOffset, (double seconds), { Module['demoSound'].offset = seconds; });

// The library's state; only these functions touch it.
struct AudioLibrary {
  bool open = false;
  bool hasStream = false;  // the one stream; its handle is 1
};
AudioLibrary g_audio;

}  // namespace

void PreloadSoundFile(const char* file) {
  std::string contents;
  if (!ReadDataFile(file, contents)) return;
  StartDecoding(ResolveDataPath(file).c_str(), contents.data(), int(contents.size()), kPreloadRate);
}

BOOL BASS_Init(int, DWORD frequency, DWORD, HWND) {
  if (g_audio.open) return FALSE;
  g_audio.open = OpenSound(int(frequency)) != 0;
  return g_audio.open ? TRUE : FALSE;
}

HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, DWORD, DWORD, DWORD) {
  if (!g_audio.open || memory || !file || g_audio.hasStream) return 0;
  const char* path = static_cast<const char*>(file);
  std::string contents;
  if (!ReadDataFile(path, contents)) return 0;
  g_audio.hasStream =
      DecodeSound(ResolveDataPath(path).c_str(), contents.data(), int(contents.size())) != 0;
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

BOOL BASS_ChannelPause(DWORD handle) {
  if (handle != 1 || !g_audio.hasStream) return FALSE;
  PauseSound();
  return TRUE;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
  if (handle != 1 || !g_audio.hasStream) return FALSE;
  ResumeSoundAt(restart ? 0 : -1);
  return TRUE;
}

BOOL BASS_ChannelSetPosition(DWORD handle, double seconds) {
  if (handle != 1 || !g_audio.hasStream || seconds < 0) return FALSE;
  const bool playing = SoundPlaying() != 0;
  PauseSound();
  if (playing)
    ResumeSoundAt(seconds);
  else
    SetSoundOffset(seconds);
  return TRUE;
}

double BASS_ChannelGetPosition(DWORD handle) {
  return handle == 1 && g_audio.hasStream ? SoundPosition() : -1;
}

double BASS_ChannelGetLength(DWORD handle) {
  return handle == 1 && g_audio.hasStream ? SoundLength() : -1;
}

BOOL BASS_Free() {
  if (!g_audio.open) return FALSE;
  CloseSound();
  g_audio = AudioLibrary{};
  return TRUE;
}
