// The capture: a demo session stepped at the capture's rate, whose frames are read back
// and written out (tools/capture/capture.h says what and how).
#include "tools/capture/capture.h"

#include <sys/resource.h>
#include <zlib.h>

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
#include <sstream>

#include "app/app.h"
#include "platform/data_path.h"
#include "render/frame_reader.h"
#include "render/tool_switches.h"
#include "timeline/timeline.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/upscale.h"
#include "tools/capture/video_pipe.h"
#include "tools/common/demo_session.h"
#include "tools/common/frame_clock.h"
#include "tools/common/png_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The frames of the demo's whole run at `fps`: it quits in the first frame past its end.
int64_t DemoFrames(FrameRate fps) {
  return int64_t(std::floor(kDemoEndSeconds * fps.PerSecond())) + 2;
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
      : range(!options.videoPath.empty() || (!options.pngDir.empty() && options.pngRange)),
        written(WrittenFrames(options)),
        probe(options.chunk.n ? RangeFrames(options).begin : -1) {
    for (double t : options.at) stills.insert(FrameAt(t, options.fps));
    const int64_t asked = range ? written.end - 1 : (stills.empty() ? 0 : *stills.rbegin());
    stop = std::min(asked, DemoFrames(options.fps) - 1);
  }
  bool InRange(int64_t n) const { return range && n >= written.begin && n < written.end; }
  bool Still(int64_t n) const { return stills.count(n) > 0; }
  bool Wanted(int64_t n) const { return InRange(n) || Still(n) || n == probe; }

  bool range;         // a video or numbered PNG files of the frames written
  FrameSpan written;  // the range's frames, or its part's
  int64_t probe;      // a part's probe frame (the range's first, which every part runs), or -1
  std::set<int64_t> stills;
  int64_t stop;  // the last frame the capture runs
};

// The files the demo asked for and did not find, keyed without case or separator
// differences (the demo names some files two ways).
class MissingFiles {
 public:
  MissingFiles() {
    g_platformSwitches.lookupObserver = [this](const char* path, const std::string& resolved) {
      if (!resolved.empty()) return;
      std::string key = path;
      for (char& c : key) c = c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
      missing_.emplace(key, path);
    };
  }
  bool None() const { return missing_.empty(); }
  void Report() const {
    if (missing_.empty()) return;
    std::string list;
    for (const auto& [key, path] : missing_) list += (list.empty() ? "" : ", ") + path;
    std::fprintf(stderr,
                 "emberhall-capture: the data set is incomplete, missing %s; the capture goes on "
                 "without them (emberhall-assets generate Data makes the default set)\n",
                 list.c_str());
  }

 private:
  std::map<std::string, std::string> missing_;
};

// The outputs a frame goes to, on the writer thread: the video, PNG files, stills.
class Outputs {
 public:
  Outputs(const CaptureOptions& options, const Schedule& schedule)
      : options_(options),
        schedule_(schedule),
        audioPath_(
            options.videoPath.empty() || options.chunk.n ? "" : ResolveDataPath(kSoundTrackPath)) {}
  // The size of the frames read back.
  void SetFrameSize(int width, int height);
  bool Write(int64_t n, const std::vector<uint8_t>& pixels);
  // Ends the video; false when ffmpeg failed.
  bool Close();

 private:
  const CaptureOptions& options_;
  const Schedule& schedule_;
  // Starts the video; false, said on stderr, when ffmpeg cannot start.
  bool OpenVideo();

  const std::string audioPath_;  // the sound track for the video, "" when there is none
  int readWidth_ = 0, readHeight_ = 0;
  int width_ = 0, height_ = 0;     // the frames written
  std::vector<uint8_t> upscaled_;  // the frame written when it is enlarged
  VideoPipe video_;
  bool videoOpen_ = false;
  uint32_t probe_ = 0;  // the checksum of a part's probe frame
};

void Outputs::SetFrameSize(int width, int height) {
  readWidth_ = width_ = width;
  readHeight_ = height_ = height;
  if (options_.upscale == 0) return;
  width_ = options_.width ? options_.width : width;
  height_ = options_.height ? options_.height : height;
  upscaled_.resize(size_t(width_) * size_t(height_) * 4);
}

bool Outputs::Write(int64_t n, const std::vector<uint8_t>& readBack) {
  const uint8_t* pixels = readBack.data();
  if (!upscaled_.empty()) {
    UpscaleCentred(pixels, readWidth_, readHeight_, options_.upscale, width_, height_,
                   upscaled_.data());
    pixels = upscaled_.data();
  }
  if (n == schedule_.probe) probe_ = uint32_t(crc32(0, readBack.data(), uInt(readBack.size())));
  if (schedule_.InRange(n) && !options_.videoPath.empty()) {
    if (!videoOpen_ && !(videoOpen_ = OpenVideo())) return false;
    if (!video_.Write(pixels)) {
      std::fprintf(stderr, "emberhall-capture: ffmpeg stopped taking frames for %s\n",
                   options_.videoPath.c_str());
      return false;
    }
  }
  if ((schedule_.InRange(n) && !options_.pngDir.empty() && options_.pngRange) ||
      schedule_.Still(n)) {
    const std::string dir = options_.pngDir.empty() ? "" : options_.pngDir + "/";
    const std::string path = dir + FrameFileName(n);
    std::string why;
    if (!WritePng(path, width_, height_, pixels, &why)) {
      std::fprintf(stderr, "emberhall-capture: cannot write %s (%s)\n", path.c_str(), why.c_str());
      return false;
    }
  }
  return true;
}

bool Outputs::OpenVideo() {
  const FrameRate fps = options_.fps;
  VideoFormat format{width_, height_, fps, options_.lossless, ""};
  if (options_.chunk.n) format.comment = PartRecordOf(options_, probe_).Text();
  const std::string sound =
      audioPath_.empty()
          ? ""
          : SoundArguments(audioPath_, double(schedule_.written.begin * fps.den) / double(fps.num),
                           double(schedule_.written.Count() * fps.den) / double(fps.num));
  if (video_.Open(options_.videoPath, format, sound)) return true;
  std::fprintf(stderr, "emberhall-capture: cannot start ffmpeg (is it installed?) for %s\n",
               options_.videoPath.c_str());
  return false;
}

bool Outputs::Close() {
  if (!videoOpen_ || video_.Close()) return true;
  std::fprintf(stderr, "emberhall-capture: ffmpeg could not finish %s\n",
               options_.videoPath.c_str());
  return false;
}

// Frames read back while the next one renders, then handed to the writer thread.
class ReadBack {
 public:
  ReadBack(const CaptureOptions& options, Outputs& outputs)
      : writing_(options.stages == CaptureOptions::Stages::kAll), outputs_(outputs) {}
  // Queues frame n, presented now; hands on the frames before it (all of them after the last).
  void Queue(int64_t n, IDirect3DDevice8& device);
  void HandOn(bool last);
  bool Failed() { return writer_ && writer_->Failed(); }
  // Waits for the writer; false when a write failed.
  bool Finish() { return !writer_ || writer_->Finish(); }

 private:
  const bool writing_;
  Outputs& outputs_;
  std::unique_ptr<FrameReader> reader_;
  std::deque<int64_t> held_;  // the frames the reader holds, oldest first
  std::unique_ptr<FrameWriter> writer_;
  std::vector<uint8_t> scratch_;  // where frames read back but not written go
};

void ReadBack::Queue(int64_t n, IDirect3DDevice8& device) {
  if (!reader_) {
    reader_ = std::make_unique<FrameReader>(device);
    outputs_.SetFrameSize(device.FrameWidth(), device.FrameHeight());
    if (writing_) {
      writer_ = std::make_unique<FrameWriter>(
          kFramesWriting, [this](int64_t frame, const std::vector<uint8_t>& pixels) {
            return outputs_.Write(frame, pixels);
          });
    }
  }
  reader_->Queue();
  held_.push_back(n);
}

void ReadBack::HandOn(bool last) {
  while (reader_ && reader_->Queued() > (last ? 0 : kFramesReading)) {
    std::vector<uint8_t> pixels = writer_ ? writer_->Buffer() : std::move(scratch_);
    reader_->Take(pixels);
    if (writer_)
      writer_->Push(held_.front(), std::move(pixels));
    else
      scratch_ = std::move(pixels);
    held_.pop_front();
  }
  if (last) reader_.reset();  // before the device goes
}

// The progress line on stderr and the measurement --bench reports.
class Progress {
 public:
  Progress(const CaptureOptions& options, int64_t total) : options_(options), total_(total) {}
  // Frame n has been presented; `wanted` when it was asked for.
  void Frame(int64_t n, bool wanted);
  void Report(int64_t frames) const;

 private:
  const CaptureOptions& options_;
  const int64_t total_;
  const Clock::time_point started_ = Clock::now();
  Clock::time_point lastReport_ = started_, measureStart_ = started_;
  double measureCpu_ = 0;
  int64_t measured_ = -1;  // frames asked for after the first one
};

void Progress::Frame(int64_t n, bool wanted) {
  if (wanted && ++measured_ == 0) {
    measureStart_ = Clock::now();
    measureCpu_ = CpuSeconds();
  }
  const Clock::time_point now = Clock::now();
  if (options_.quiet || now - lastReport_ < std::chrono::seconds(1)) return;
  lastReport_ = now;
  const double rate = double(n + 1) / std::chrono::duration<double>(now - started_).count();
  std::fprintf(stderr, "\rframe %lld/%lld  t %.2f s  %.1f fps  %s left   ",
               static_cast<long long>(n + 1), static_cast<long long>(total_),
               double(FrameMilliseconds(n, options_.fps)) / 1000, rate,
               Minutes(double(total_ - n - 1) / rate).c_str());
}

void Progress::Report(int64_t frames) const {
  const Clock::time_point ended = Clock::now();
  if (!options_.quiet) {
    const double elapsed = std::chrono::duration<double>(ended - started_).count();
    std::fprintf(stderr, "\r%lld frames in %s (%.1f fps)%40s\n", static_cast<long long>(frames),
                 Minutes(elapsed).c_str(), double(frames) / elapsed, "");
  }
  if (!options_.bench) return;
  static const char* const kStageNames[] = {"rendered", "rendered and read back",
                                            "rendered, read back and written"};
  const double elapsed = std::chrono::duration<double>(ended - measureStart_).count();
  std::printf("%-32s %7lld %9.2f %9.1f %9.2f\n", kStageNames[int(options_.stages)],
              static_cast<long long>(measured_), elapsed, double(measured_) / elapsed,
              CpuSeconds() - measureCpu_);
}

// The calls of frame n since its Clear (loading is not part of any frame), to the trace.
void WriteTrace(const CallRecorder& recorder, int64_t n, std::ofstream& trace) {
  const auto& calls = recorder.Calls();
  size_t begin = calls.size();
  while (begin > 0 && calls[begin - 1].rfind("Clear(", 0) != 0) --begin;
  trace << "# frame " << n << '\n';
  for (size_t i = begin ? begin - 1 : 0; i < calls.size(); ++i) trace << calls[i] << '\n';
}

// Closes the trace, whose last bytes only reach the disk then; false when they did not.
bool CloseTrace(std::ofstream& trace, const std::string& path) {
  trace.close();
  if (trace) return true;
  std::fprintf(stderr, "emberhall-capture: cannot write %s (%s)\n", path.c_str(),
               std::strerror(errno));
  return false;
}

}  // namespace

FrameSpan RangeFrames(const CaptureOptions& options) {
  const int64_t last = DemoFrames(options.fps) - 1;
  const int64_t end =
      (options.to < 0 ? last : std::min(last, FrameAt(options.to, options.fps))) + 1;
  return {std::min(end, FrameAt(options.from, options.fps)), end};
}

FrameSpan WrittenFrames(const CaptureOptions& options) {
  const FrameSpan range = RangeFrames(options);
  if (options.chunk.n == 0) return range;
  return ChunkFrames(range, KeyframeInterval(options.fps), options.chunk.k, options.chunk.n);
}

PartRecord PartRecordOf(const CaptureOptions& options, uint32_t probe) {
  char probeText[16];
  std::snprintf(probeText, sizeof probeText, "%08x", probe);
  PartRecord record;
  record.k = options.chunk.k;
  record.n = options.chunk.n;
  record.frames = WrittenFrames(options);
  record.range = RangeFrames(options);
  record.fps = options.fps.Text();
  std::ostringstream settings;
  settings.precision(17);
  settings << "size " << options.width << 'x' << options.height << " scale " << options.scale
           << " upscale " << options.upscale << " uptime " << options.uptime
           << (options.lossless ? " lossless" : "");
  record.options = settings.str();
  record.build = options.build;
  record.probe = probeText;
  return record;
}

std::string FrameFileName(int64_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(n));
  return name;
}

int RunCapture(const CaptureOptions& options) {
  DemoSession session(options.uptime);
  g_renderSwitches.renderScale = options.scale;
  if (options.upscale == 0) {  // otherwise the back buffer's frame, enlarged when written
    g_renderSwitches.outputWidth = options.width;
    g_renderSwitches.outputHeight = options.height;
  }
  g_renderSwitches.noDisplayWait = true;
  const MissingFiles missing;
  CallRecorder recorder;
  std::ofstream trace;
  const bool writing = options.stages == CaptureOptions::Stages::kAll;
  if (writing && !options.tracePath.empty()) {
    trace.open(options.tracePath);
    g_renderSwitches.recorder = &recorder;
  }
  const Schedule schedule(options);
  Outputs outputs(options, schedule);
  ReadBack readBack(options, outputs);
  Progress progress(options, schedule.stop + 1);

  if (!session.Start()) {
    std::fprintf(stderr, "emberhall-capture: the demo could not start, so nothing was captured\n");
    return 1;
  }
  missing.Report();
  int64_t n = 0;
  for (; n <= schedule.stop && !readBack.Failed(); ++n) {
    const bool wanted = schedule.Wanted(n);
    session.SetDemoTime(FrameMilliseconds(n, options.fps));
    g_renderSwitches.skipDrawing = !options.renderAll && !wanted;
    const bool ran = session.RunFrame([&](IDirect3DDevice8& device) {
      if (wanted && options.stages != CaptureOptions::Stages::kRender) readBack.Queue(n, device);
      readBack.HandOn(n == schedule.stop);
      if (trace.is_open()) {
        if (wanted) WriteTrace(recorder, n, trace);
        recorder.Clear();
      }
      progress.Frame(n, wanted);
    });
    if (!ran) break;
  }
  readBack.HandOn(true);
  bool failed = !readBack.Finish();
  failed = !outputs.Close() || failed;
  progress.Report(n);
  if (trace.is_open()) failed = !CloseTrace(trace, options.tracePath) || failed;
  if (failed) return 1;
  return missing.None() ? 0 : 3;
}
