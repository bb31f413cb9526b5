#include "tools/capture/capture.h"

#include <SDL2/SDL.h>
#include <sys/resource.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "app/app.h"
#include "platform/data_path.h"
#include "platform/tick.h"
#include "render/frame_reader.h"
#include "render/tool_hooks.h"
#include "timeline/timeline.h"
#include "tools/capture/frame_clock.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/png_writer.h"
#include "tools/capture/video_pipe.h"

namespace {

using Clock = std::chrono::steady_clock;

// The frames of the demo's whole run at `fps`: it quits in the first frame past its end.
int64_t DemoFrames(double fps) {
  return int64_t(std::floor(kDemoEndSeconds * fps)) + 2;
}

// Frames read back and not yet taken: frame n is taken while frame n + 1 renders.
constexpr size_t kFramesReading = 1;
// Frames taken and waiting for the writer thread.
constexpr size_t kFramesWriting = 3;

// Seconds of CPU this process has used, with those of its children that have ended.
double CpuSeconds() {
  double seconds = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    getrusage(who, &usage);
    seconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  }
  return seconds;
}

std::string Minutes(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", int(seconds) / 60, int(seconds) % 60);
  return text;
}

// Which frames the capture writes, and where it ends.
struct Schedule {
  explicit Schedule(const CaptureOptions& options)
      : range(!options.pngDir.empty() || !options.videoPath.empty()),
        first(FrameAt(options.from, options.fps)),
        last(options.to < 0 ? INT64_MAX : FrameAt(options.to, options.fps)) {
    for (double t : options.at) stills.insert(FrameAt(t, options.fps));
    const int64_t asked = range ? last : (stills.empty() ? 0 : *stills.rbegin());
    stop = std::min(asked, DemoFrames(options.fps) - 1);
  }
  bool InRange(int64_t n) const { return range && n >= first && n <= last; }
  bool Still(int64_t n) const { return stills.count(n) > 0; }
  bool Wanted(int64_t n) const { return InRange(n) || Still(n); }

  bool range;           // a video or numbered PNG files of frames first to last
  int64_t first, last;  // last: INT64_MAX for the demo's end
  std::set<int64_t> stills;
  int64_t stop;  // the last frame the capture runs
};

// The calls of frame n since its Clear (loading is not part of any frame), to the trace.
void WriteTrace(const CallRecorder& recorder, int64_t n, std::ofstream& trace) {
  const auto& calls = recorder.Calls();
  size_t begin = calls.size();
  while (begin > 0 && calls[begin - 1].rfind("Clear(", 0) != 0) --begin;
  trace << "# frame " << n << '\n';
  for (size_t i = begin ? begin - 1 : 0; i < calls.size(); ++i) trace << calls[i] << '\n';
}

}  // namespace

std::string FrameFileName(int64_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(n));
  return name;
}

int RunCapture(const CaptureOptions& options) {
  int64_t frame = 0;
  SetTickSource([&] { return FrameTicks(frame, options.fps, options.uptime); });
  SetRenderScale(options.scale);
  SetOutputSize(options.width, options.height);

  const Schedule schedule(options);
  const int64_t total = schedule.stop + 1;
  const std::string stillDir = options.pngDir.empty() ? "" : options.pngDir + "/";
  const bool readsBack = options.stages != CaptureOptions::Stages::kRender;
  const bool writing = options.stages == CaptureOptions::Stages::kAll;

  // Files the demo asked for and did not find.
  // Keyed without case or separator differences: the demo names some files two ways.
  std::map<std::string, std::string> missing;
  SetLookupObserver([&](const char* path, const std::string& resolved) {
    if (!resolved.empty()) return;
    std::string key = path;
    for (char& c : key) c = c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
    missing.emplace(key, path);
  });

  CallRecorder recorder;
  std::ofstream trace;
  if (writing && !options.tracePath.empty()) {
    trace.open(options.tracePath);
    SetCallRecorder(&recorder);
  }

  // The outputs, written on the writer thread.
  VideoPipe video;
  bool videoOpen = false;
  std::string audioPath;
  int frameWidth = 0, frameHeight = 0;
  auto write = [&](int64_t n, const std::vector<uint8_t>& pixels) {
    if (schedule.InRange(n) && !options.videoPath.empty()) {
      if (!videoOpen) {
        videoOpen = video.Open(options.videoPath, frameWidth, frameHeight, options.fps, audioPath,
                               double(schedule.first) / options.fps);
      }
      if (!videoOpen || !video.Write(pixels.data())) {
        std::fprintf(stderr, "emberhall-capture: ffmpeg stopped taking frames for %s\n",
                     options.videoPath.c_str());
        return false;
      }
    }
    if ((schedule.InRange(n) && !options.pngDir.empty()) || schedule.Still(n)) {
      const std::string path =
          (schedule.InRange(n) ? options.pngDir + "/" : stillDir) + FrameFileName(n);
      if (!WritePng(path, frameWidth, frameHeight, pixels.data())) {
        std::fprintf(stderr, "emberhall-capture: cannot write %s (%s)\n", path.c_str(),
                     std::strerror(errno));
        return false;
      }
    }
    return true;
  };

  std::unique_ptr<FrameReader> reader;
  std::deque<int64_t> held;  // the frames the reader holds, oldest first
  std::unique_ptr<FrameWriter> writer;
  std::vector<uint8_t> scratch;  // where frames read back but not written go
  const Clock::time_point started = Clock::now();
  Clock::time_point lastReport = started, measureStart = started;
  double measureCpu = 0;
  int64_t measured = -1;  // frames asked for after the first one

  SetPresentHook([&](IDirect3DDevice8& device) {
    if (frame == 0) {
      SDL_GL_SetSwapInterval(0);  // never wait for a display's refresh
      if (!missing.empty()) {
        std::string list;
        for (const auto& [key, path] : missing) list += (list.empty() ? "" : ", ") + path;
        std::fprintf(stderr,
                     "emberhall-capture: the data set is incomplete, missing %s; the capture "
                     "goes on without them (emberhall-assets generate Data makes the default "
                     "set)\n",
                     list.c_str());
      }
    }
    if (schedule.Wanted(frame) && readsBack) {
      if (!reader) {
        reader = std::make_unique<FrameReader>(device);
        frameWidth = device.FrameWidth();
        frameHeight = device.FrameHeight();
        if (writing) {
          if (!options.videoPath.empty()) audioPath = ResolveDataPath(kSoundTrackPath);
          writer = std::make_unique<FrameWriter>(kFramesWriting, write);
        }
      }
      reader->Queue();
      held.push_back(frame);
    }
    // Frames read back go to the writer once the next one is rendering; the last waits
    // for none.
    while (reader && reader->Queued() > (frame >= schedule.stop ? 0 : kFramesReading)) {
      std::vector<uint8_t> pixels = writer ? writer->Buffer() : std::move(scratch);
      reader->Take(pixels);
      if (writer)
        writer->Push(held.front(), std::move(pixels));
      else
        scratch = std::move(pixels);
      held.pop_front();
    }
    if (trace.is_open()) {
      if (schedule.Wanted(frame)) WriteTrace(recorder, frame, trace);
      recorder.Clear();
    }
    if (schedule.Wanted(frame) && ++measured == 0) {
      measureStart = Clock::now();
      measureCpu = CpuSeconds();
    }

    const Clock::time_point now = Clock::now();
    if (!options.quiet && now - lastReport >= std::chrono::seconds(1)) {
      lastReport = now;
      const double elapsed = std::chrono::duration<double>(now - started).count();
      const double rate = (frame + 1) / elapsed;
      std::fprintf(stderr, "\rframe %lld/%lld  t %.2f s  %.1f fps  %s left   ",
                   static_cast<long long>(frame + 1), static_cast<long long>(total),
                   frame / options.fps, rate, Minutes((total - frame - 1) / rate).c_str());
    }
    if (frame >= schedule.stop || (writer && writer->Failed())) PostQuitMessage(0);
    ++frame;
    SetSkipDrawing(!options.renderAll && !schedule.Wanted(frame));
  });

  SetSkipDrawing(!options.renderAll && !schedule.Wanted(0));
  WinMain(nullptr, nullptr, "", 0);

  SetSkipDrawing(false);
  SetPresentHook(nullptr);
  SetCallRecorder(nullptr);
  SetLookupObserver(nullptr);
  SetTickSource(nullptr);
  SetOutputSize(0, 0);
  SetRenderScale(1);
  reader.reset();
  bool failed = writer && !writer->Finish();
  if (videoOpen && !video.Close()) {
    std::fprintf(stderr, "emberhall-capture: ffmpeg could not finish %s\n",
                 options.videoPath.c_str());
    failed = true;
  }
  const Clock::time_point ended = Clock::now();
  if (!options.quiet) {
    const double elapsed = std::chrono::duration<double>(ended - started).count();
    std::fprintf(stderr, "\r%lld frames in %s (%.1f fps)%40s\n", static_cast<long long>(frame),
                 Minutes(elapsed).c_str(), frame / elapsed, "");
  }
  if (options.bench) {
    static const char* const kStageNames[] = {"rendered", "rendered and read back",
                                              "rendered, read back and written"};
    const double elapsed = std::chrono::duration<double>(ended - measureStart).count();
    std::printf("%-32s %7lld %9.2f %9.1f %9.2f\n", kStageNames[int(options.stages)],
                static_cast<long long>(measured), elapsed, double(measured) / elapsed,
                CpuSeconds() - measureCpu);
  }
  if (trace.is_open()) {
    trace.close();  // the trace's last bytes only reach the disk here
    if (!trace) {
      std::fprintf(stderr, "emberhall-capture: cannot write %s (%s)\n", options.tracePath.c_str(),
                   std::strerror(errno));
      failed = true;
    }
  }
  if (frame == 0) {
    std::fprintf(stderr, "emberhall-capture: the demo could not start, so nothing was captured\n");
    return 1;
  }
  if (failed) return 1;
  return missing.empty() ? 0 : 3;
}
