// sound_sync: how the sound track lines up with the demo's clock, and whether the mixer
// keeps the sound device fed while the demo runs, on SDL's disk audio output (each mix is
// written to /dev/null, then the driver sleeps for about a mix's length, as a device takes
// its time to play one).
//
//   sound_sync [--starts N] [--seconds S]
//
//   --starts N    how many times to measure the demo's start (default 20)
//   --seconds S   how long to play the demo itself (default 200, the whole demo)
//
// The start runs the demo's own sequence N times, at varied moments: BASS_Init,
// BASS_StreamCreateFile, BASS_Start, BASS_StreamPlay, then the demo clock would start. It
// reports how long the play request took, when the mix carrying the music's first samples
// went to the device against the clock's start, and the mix's length: together the lag the
// program adds between a frame and its sound (the sound system's own latency comes on top).
// Then the demo plays in real time, headless, every frame drawn as fast as it can, and
// every mix's time is kept: a mix that comes later than a device holding two mixes can wait
// for (its interval over the usual one by more than a mix's length) is an underrun. Beside
// it a plain thread at the mixer thread's priority sleeps a mix's length over and over; how
// often it wakes that late is the machine's share of the underruns (a busy machine keeps
// any thread waiting). Run it from build/ (the demo reads ./Data).
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "bench/percentile.h"
#include "platform/bass.h"
#include "render/tool_switches.h"
#include "tests/headless.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// What the mixer's thread saw, kept by a post-mix effect; only it writes, after the start.
struct Mixes {
  std::atomic<int> frames{0};            // the length of a mix
  std::atomic<int64_t> firstMusic{0};    // the end of the first mix with music, in ticks
  std::vector<Clock::time_point> times;  // the end of every mix, during the run
  std::atomic<size_t> count{0};
};
Mixes g_mixes;

void WatchStart(int, void*, int length, void*) {
  g_mixes.frames = length / 4;
  if (g_mixes.firstMusic == 0 && Mix_PlayingMusic())
    g_mixes.firstMusic = Clock::now().time_since_epoch().count();
}

void KeepTime(int, void*, int, void*) {
  const size_t n = g_mixes.count;
  if (n < g_mixes.times.size()) {
    g_mixes.times[n] = Clock::now();
    g_mixes.count = n + 1;
  }
}

// Sleeps `period` over and over until `stop`, at the priority SDL gives its audio thread
// (where the system allows it); returns by how much each sleep overran.
std::vector<double> SleepBeside(std::chrono::microseconds period, const std::atomic<bool>& stop) {
  setpriority(PRIO_PROCESS, 0, -20);
  std::vector<double> overruns;
  while (!stop) {
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(period);
    overruns.push_back(Milliseconds(Clock::now() - start - period));
  }
  return overruns;
}

void Summarise(const char* what, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("  %s: min %.2f, median %.2f, max %.2f ms\n", what, values.front(),
              Percentile(values, 0.5), values.back());
}

bool MeasureStarts(int starts) {
  std::vector<double> waits, reached, shares;
  double mixMs = 0;
  for (int i = 0; i < starts; ++i) {
    g_mixes.firstMusic = 0;
    if (!BASS_Init(-1, 44100, 0, nullptr)) return false;
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, kSoundTrackPath, 0, 0, 0);
    Mix_RegisterEffect(MIX_CHANNEL_POST, WatchStart, nullptr, nullptr);
    BASS_Start();
    std::this_thread::sleep_for(std::chrono::microseconds(1700 * i % 12000));
    const Clock::time_point request = Clock::now();
    const bool played = BASS_StreamPlay(stream, FALSE, 0);
    const Clock::time_point clockStart = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    BASS_Free();
    if (!played || g_mixes.firstMusic == 0) return false;
    const Clock::time_point music{Clock::duration(g_mixes.firstMusic.load())};
    mixMs = 1000.0 * g_mixes.frames / 44100.0;
    waits.push_back(Milliseconds(clockStart - request));
    reached.push_back(Milliseconds(music - clockStart));
    shares.push_back(mixMs + reached.back());
  }
  std::printf("The start, %d times: mixes of %d frames (%.1f ms)\n", starts, g_mixes.frames.load(),
              mixMs);
  Summarise("the play request took", waits);
  Summarise("the music's first mix went to the device, after the clock's start", reached);
  Summarise("the program's share of the lag (a mix, plus the above)", shares);
  return true;
}

void MeasureRun(double seconds) {
  g_mixes.times.assign(size_t(seconds * 44100 / 256) + 1000, {});
  g_mixes.count = 0;
  const double mixMs = 1000.0 * g_mixes.frames / 44100.0;
  std::atomic<bool> stop{false};
  std::vector<double> overruns;
  std::thread beside(
      [&] { overruns = SleepBeside(std::chrono::microseconds(int64_t(mixMs * 1000)), stop); });
  int64_t frames = 0;
  Clock::time_point first;
  g_renderSwitches.presentHook = [&](IDirect3DDevice8&) {
    if (frames++ == 0) {
      first = Clock::now();
      Mix_RegisterEffect(MIX_CHANNEL_POST, KeepTime, nullptr, nullptr);
    }
    if (Clock::now() - first > std::chrono::duration<double>(seconds)) PostQuitMessage(0);
  };
  WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
  g_renderSwitches.presentHook = nullptr;
  stop = true;
  beside.join();

  const size_t count = g_mixes.count;
  if (count < 3) {
    std::printf("The run: too few mixes to measure\n");
    return;
  }
  std::vector<double> intervals;
  for (size_t i = 1; i < count; ++i)
    intervals.push_back(Milliseconds(g_mixes.times[i] - g_mixes.times[i - 1]));
  std::vector<double> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  const double usual = Percentile(sorted, 0.5);
  const auto underruns = std::count_if(intervals.begin(), intervals.end(),
                                       [&](double ms) { return ms - usual > mixMs; });
  const auto late =
      std::count_if(overruns.begin(), overruns.end(), [&](double ms) { return ms > mixMs; });
  const double runSeconds = Milliseconds(g_mixes.times[count - 1] - g_mixes.times[0]) / 1000.0;
  std::printf(
      "The run, %.0f s, %lld frames drawn (%.1f per second): %zu mixes\n"
      "  interval between mixes: median %.2f, 99%% %.2f, 99.9%% %.2f, max %.2f ms\n"
      "  underruns (a mix over %.1f ms later than usual): %lld\n"
      "  a plain thread beside it woke over %.1f ms late %lld times in %zu, at worst %.2f ms\n",
      runSeconds, static_cast<long long>(frames), double(frames) / runSeconds, count, usual,
      Percentile(sorted, 0.99), Percentile(sorted, 0.999), sorted.back(), mixMs,
      static_cast<long long>(underruns), mixMs, static_cast<long long>(late), overruns.size(),
      overruns.empty() ? 0.0 : *std::max_element(overruns.begin(), overruns.end()));
}

}  // namespace

int main(int argc, char** argv) {
  int starts = 20;
  double seconds = 200;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--starts") starts = std::atoi(argv[i + 1]);
    if (option == "--seconds") seconds = std::atof(argv[i + 1]);
  }
  if (argc % 2 == 0 || starts < 1 || !(seconds > 0)) {
    std::fprintf(stderr, "usage: sound_sync [--starts N] [--seconds S]\n");
    return 2;
  }
  RunHeadless();
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  if (!MeasureStarts(starts)) {
    std::fprintf(stderr, "sound_sync: no sound track to play (run it from build/)\n");
    return 1;
  }
  MeasureRun(seconds);
  return 0;
}
