// sound_sync: the demo played through a PulseAudio server that this program starts itself
// (a null sink, a runtime folder of its own, an unprivileged user: tests/sound_server.h),
// heard as a listener hears it: how often the sound ran dry, and how far each hit heard
// lies from the picture of its cue.
//
//   sound_sync [--seconds S] [--busy N] [--at T]
//
//   --seconds S   how long to play (default 200, the whole demo)
//   --busy N      N processes spinning beside it, a loaded machine (default 0)
//   --at T        start as the studio does after a seek to T seconds (tools/common/playback.h:
//                 the demo loaded again, the frames before T skipped, the music moved to T),
//                 its clock counting from the moment the seek returns
//
// The demo runs in this process, headless, every frame drawn as fast as it can, its sound
// through SDL's PulseAudio output. Underruns are the server's own count for the stream
// between the first frame and the last (each a gap of silence). Meanwhile a recorder reads
// the null sink's monitor: the sink hands its monitor each block of sound as it starts to
// play it, so the first sample of each delivery is timed by its arrival, and every sample
// by its place after that. For each hit of the score within the run, it reports the time
// the hit was heard minus the time the demo clock reached its cue, and minus the present of
// the first frame at or after its cue. Run it from build/ (the demo reads ./Data).
#include <pulse/simple.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "bench/percentile.h"
#include "core/demo_clock.h"
#include "render/tool_switches.h"
#include "tests/audio_hits.h"
#include "tests/headless.h"
#include "tests/sound_server.h"
#include "timeline/timeline.h"
#include "tools/common/demo_session.h"
#include "tools/common/playback.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr double kHits[] = {30, 44, 124};

double Seconds(Clock::time_point t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

// What the monitor played, and when: each delivery's first frame and the steady-clock time
// it came. The sink hands its monitor a block as it starts to play it, so that time is when
// the frame was heard. (A sink may render ahead and take it back: a frame's time is read off
// the deliveries around it, not off the recording's start.)
struct Recording {
  struct Delivery {
    size_t frame;
    double at;
  };
  std::vector<int16_t> stereo;
  std::vector<Delivery> deliveries;

  // When `frame` was heard: the earliest the deliveries within half a second of it allow.
  double TimeOf(size_t frame) const {
    double best = INFINITY;
    for (const Delivery& d : deliveries)
      if (std::abs(double(d.frame) - double(frame)) < kRate / 2)
        best = std::min(best, d.at + (double(frame) - double(d.frame)) / kRate);
    return best;
  }
  // The frame heard at `time`, in seconds from the recording's start; NaN before it.
  double FrameSecondsAt(double time) const {
    const auto after = std::upper_bound(deliveries.begin(), deliveries.end(), time,
                                        [](double t, const Delivery& d) { return t < d.at; });
    if (after == deliveries.begin()) return NAN;
    const Delivery& d = *(after - 1);
    return double(d.frame) / kRate + (time - d.at);
  }
};

// Reads the monitor in small pieces until `stop`. A piece that had to be waited for (it came
// over half a millisecond after the one before) starts a delivery.
Recording Record(const std::string& server, std::atomic<bool>& started,
                 const std::atomic<bool>& stop) {
  Recording recording;
  const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 2};
  constexpr int kPiece = 32;
  // Fragments of exactly 10 ms: the sink then plays blocks a whole number of microseconds
  // long (the server counts a block's length in whole microseconds; with blocks of a length
  // that it rounds, its null sink's clock drifts from the system's).
  const pa_buffer_attr attr{uint32_t(-1), uint32_t(-1), uint32_t(-1), uint32_t(-1),
                            kRate / 100 * 4};
  pa_simple* stream =
      pa_simple_new(server.c_str(), "sound_sync", PA_STREAM_RECORD, SoundServer::Monitor(),
                    "monitor", &format, nullptr, &attr, nullptr);
  if (!stream) return recording;
  int16_t piece[kPiece * 2];
  double previous = 0;
  while (!stop) {
    if (pa_simple_read(stream, piece, sizeof piece, nullptr) < 0) break;
    const double now = Seconds(Clock::now());
    if (now - previous > 0.0005) recording.deliveries.push_back({recording.stereo.size() / 2, now});
    previous = now;
    started = true;
    recording.stereo.insert(recording.stereo.end(), piece, piece + kPiece * 2);
  }
  pa_simple_free(stream);
  return recording;
}

// What the demo showed: each present's steady-clock time and demo time.
struct Presents {
  std::vector<double> at, demo;
  std::string logAtStart, logAtEnd;
};

Presents Play(const SoundServer& server, double seconds) {
  Presents presents;
  g_renderSwitches.presentHook = [&](IDirect3DDevice8&) {
    presents.at.push_back(Seconds(Clock::now()));
    presents.demo.push_back(g_demoClock.Elapsed());
    if (presents.at.size() == 1) presents.logAtStart = server.Log();
    // The log as the last frame left it (the demo may end on its own before `seconds`).
    if (presents.demo.back() > std::min(seconds, kDemoEndSeconds) - 1)
      presents.logAtEnd = server.Log();
    if (presents.demo.back() > seconds) PostQuitMessage(0);
  };
  WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
  g_renderSwitches.presentHook = nullptr;
  return presents;
}

// The studio's play after a seek to `at`: once the seek returns (the music heard from T), the
// demo time runs with the steady clock from T.
Presents PlayAfterSeek(const SoundServer& server, double at, double seconds) {
  Presents presents;
  DemoSession session(1000);
  Playback playback(session);
  const int64_t from = FrameMilliseconds(FrameAt(at, kToolFrameRate), kToolFrameRate);
  if (!session.Start() || !playback.Seek(from, true)) return presents;
  const Clock::time_point anchor = Clock::now();
  presents.logAtStart = server.Log();
  for (int64_t now = from; double(now) * 0.001 <= std::min(at + seconds, kDemoEndSeconds);) {
    session.SetDemoTime(now);
    session.RunFrame([&](IDirect3DDevice8&) {
      presents.at.push_back(Seconds(Clock::now()));
      presents.demo.push_back(g_demoClock.Elapsed());
    });
    now =
        from + std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - anchor).count();
  }
  presents.logAtEnd = server.Log();
  return presents;
}

void ReportOffsets(const Presents& presents, const Recording& recording) {
  std::vector<double> origins;
  for (size_t i = 0; i < presents.at.size(); ++i)
    origins.push_back(presents.at[i] - presents.demo[i]);
  std::sort(origins.begin(), origins.end());
  const double origin = Percentile(origins, 0.5);  // the demo clock's 0 on the steady clock
  for (double cue : kHits) {
    if (presents.demo.empty() || presents.demo.front() > cue || presents.demo.back() < cue + 1)
      continue;
    const double expected = recording.FrameSecondsAt(origin + cue);
    const double hit = HitNear(recording.stereo, kRate, expected);
    const size_t frame = size_t(std::lower_bound(presents.demo.begin(), presents.demo.end(), cue) -
                                presents.demo.begin());
    if (std::isnan(hit)) {
      std::printf("  hit at %.0f s: not found in the recording\n", cue);
      continue;
    }
    const double heard = recording.TimeOf(size_t(std::lround(hit * kRate)));
    std::printf(
        "  hit at %3.0f s: heard %+6.1f ms from the clock's cue, %+6.1f ms from the "
        "present of its frame\n",
        cue, (heard - origin - cue) * 1000, (heard - presents.at[frame]) * 1000);
  }
}

std::vector<pid_t> StartBusy(int count) {
  std::vector<pid_t> busy;
  for (int i = 0; i < count; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      std::atomic<unsigned> spin{0};
      for (;;) spin.fetch_add(1, std::memory_order_relaxed);
    }
    busy.push_back(pid);
  }
  return busy;
}

void StopBusy(const std::vector<pid_t>& busy) {
  for (pid_t pid : busy) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 200, at = -1;
  int busyCount = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    if (option == "--busy") busyCount = std::atoi(argv[i + 1]);
    if (option == "--at") at = std::atof(argv[i + 1]);
  }
  if (argc % 2 == 0 || !(seconds > 0) || busyCount < 0 || at > kDemoEndSeconds) {
    std::fprintf(stderr, "usage: sound_sync [--seconds S] [--busy N] [--at T]\n");
    return 2;
  }
  RunHeadless();
  SoundServer server;
  if (!server.Ready()) {
    std::fprintf(stderr, "sound_sync: no PulseAudio server could be started\n");
    return 1;
  }
  setenv("PULSE_SERVER", server.Address().c_str(), 1);
  setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  std::atomic<bool> stop{false};
  Recording recording;
  std::atomic<bool> started{false};
  std::thread recorder([&] { recording = Record(server.Address(), started, stop); });
  // The demo starts once the recording runs, so that it covers the music's start.
  for (int i = 0; i < 500 && !started; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::vector<pid_t> busy = StartBusy(busyCount);
  const Presents presents = at < 0 ? Play(server, seconds) : PlayAfterSeek(server, at, seconds);
  StopBusy(busy);
  stop = true;
  recorder.join();

  const std::string log =
      presents.logAtEnd.substr(std::min(presents.logAtStart.size(), presents.logAtEnd.size()));
  const double played = presents.demo.empty() ? 0 : presents.demo.back();
  if (at < 0)
    std::printf("%.0f s of the demo with %d busy processes beside it, %zu frames drawn\n", played,
                busyCount, presents.at.size());
  else
    std::printf(
        "the demo from %.0f s to %.0f s after a seek, with %d busy processes beside it, "
        "%zu frames drawn\n",
        at, played, busyCount, presents.at.size());
  std::printf("  the server's buffer for the stream: %s\n", StreamBuffer(server.Log()).c_str());
  std::printf("  underruns the server reported between the first frame and the last: %d\n",
              CountUnderruns(log));
  if (recording.stereo.empty()) {
    std::printf("  nothing recorded from the monitor\n");
    return 1;
  }
  ReportOffsets(presents, recording);
  return 0;
}
