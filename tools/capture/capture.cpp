#include "tools/capture/capture.h"

#include <SDL2/SDL.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "app/app.h"
#include "platform/data_path.h"
#include "platform/tick.h"
#include "render/tool_hooks.h"
#include "timeline/timeline.h"
#include "tools/capture/png_writer.h"
#include "tools/capture/video_pipe.h"

namespace {

using Clock = std::chrono::steady_clock;

// The frames of the demo's whole run at `fps`: it quits in the first frame past its end.
int64_t DemoFrames(double fps) {
  return int64_t(std::floor(kDemoEndSeconds * fps)) + 2;
}

std::string Minutes(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", int(seconds) / 60, int(seconds) % 60);
  return text;
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

  // What the range is and where it ends.
  std::set<int64_t> stills;
  for (double t : options.at) stills.insert(FrameAt(t, options.fps));
  const bool range = !options.pngDir.empty() || !options.videoPath.empty();
  const int64_t first = FrameAt(options.from, options.fps);
  const int64_t last = options.to < 0 ? INT64_MAX : FrameAt(options.to, options.fps);
  const int64_t stop = range ? last : (stills.empty() ? 0 : *stills.rbegin());
  const int64_t total = std::min(stop, DemoFrames(options.fps) - 1) + 1;
  const std::string stillDir = options.pngDir.empty() ? "" : options.pngDir + "/";

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
  if (!options.tracePath.empty()) {
    trace.open(options.tracePath);
    SetCallRecorder(&recorder);
  }

  VideoPipe video;
  bool videoOpen = false;
  bool failed = false;
  std::vector<uint8_t> pixels;
  const Clock::time_point started = Clock::now();
  Clock::time_point lastReport = started;

  // Frames that are neither in the range nor stills are run but not drawn.
  auto wanted = [&](int64_t n) {
    return (range && n >= first && n <= last) || stills.count(n) > 0;
  };
  SetSkipDrawing(!wanted(0));

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
    const bool inRange = range && frame >= first && frame <= last;
    const bool still = stills.count(frame) > 0;
    if (inRange || still) device.ReadBackBuffer(pixels);
    if (inRange && !options.videoPath.empty() && !failed) {
      if (!videoOpen) {
        videoOpen = video.Open(options.videoPath, device.Width(), device.Height(), options.fps,
                               ResolveDataPath(kSoundTrackPath), double(first) / options.fps);
      }
      if (!videoOpen || !video.Write(pixels.data())) {
        std::fprintf(stderr, "emberhall-capture: ffmpeg stopped taking frames for %s\n",
                     options.videoPath.c_str());
        failed = true;
      }
    }
    if ((inRange && !options.pngDir.empty()) || still) {
      const std::string path = (inRange ? options.pngDir + "/" : stillDir) + FrameFileName(frame);
      if (!WritePng(path, device.Width(), device.Height(), pixels.data())) {
        std::fprintf(stderr, "emberhall-capture: cannot write %s; check the folder is writable\n",
                     path.c_str());
        failed = true;
      }
    }
    if (trace.is_open()) {
      if (inRange || still) {
        // The calls since this frame's Clear: loading is not part of any frame.
        const auto& calls = recorder.Calls();
        size_t begin = calls.size();
        while (begin > 0 && calls[begin - 1].rfind("Clear(", 0) != 0) --begin;
        trace << "# frame " << frame << '\n';
        for (size_t i = begin ? begin - 1 : 0; i < calls.size(); ++i) trace << calls[i] << '\n';
      }
      recorder.Clear();
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
    if (failed || frame >= stop) PostQuitMessage(0);
    ++frame;
    SetSkipDrawing(!wanted(frame));
  });

  WinMain(nullptr, nullptr, "", 0);

  SetPresentHook(nullptr);
  SetSkipDrawing(false);
  SetCallRecorder(nullptr);
  SetLookupObserver(nullptr);
  SetTickSource(nullptr);
  if (!options.quiet) {
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    std::fprintf(stderr, "\r%lld frames in %s (%.1f fps)%40s\n", static_cast<long long>(frame),
                 Minutes(elapsed).c_str(), frame / elapsed, "");
  }
  if (videoOpen && !video.Close()) {
    std::fprintf(stderr, "emberhall-capture: ffmpeg could not finish %s\n",
                 options.videoPath.c_str());
    failed = true;
  }
  if (trace.is_open() && !trace) {
    std::fprintf(stderr, "emberhall-capture: cannot write %s\n", options.tracePath.c_str());
    failed = true;
  }
  if (failed) return 1;
  return missing.empty() ? 0 : 3;
}
