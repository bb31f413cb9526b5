// emberhall-capture: renders the demo frame by frame at a fixed rate, headless or not.
//
//   emberhall-capture --video demo.mp4                 the whole demo with its sound track
//   emberhall-capture --at 35 --at 80                  stills at those demo times
//   emberhall-capture --png out --from 40 --to 45      every frame of a range into out/
//   emberhall-capture --video hd.mp4 --size 1920x1080  the whole demo for a 1080p video site
//   emberhall-capture --video 4k.mp4 --size 3840x2160 --upscale 3
//                                                      the 800x600 frame 3 times, for 4K
//   emberhall-capture --video part2.mp4 --chunk 2/4    the second of four parts, and then
//   emberhall-capture --join demo.mp4 part1.mp4 part2.mp4 part3.mp4 part4.mp4
//
// It runs the demo from the current directory's Data, like the demo itself.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "timeline/timeline.h"
#include "tools/capture/capture.h"
#include "tools/capture/disk_space.h"
#include "tools/capture/join.h"
#include "tools/capture/video_pipe.h"
#include "tools/common/tool_cli.h"

namespace {

constexpr const char* kUsage =
    "usage: emberhall-capture [--video FILE] [--png DIR] [--at T]... [--from S] [--to S]\n"
    "                         [--fps N] [--size WxH] [--scale N | --upscale N] [--uptime S]\n"
    "                         [--lossless] [--chunk K/N | --chunks N] [--trace FILE]\n"
    "                         [--render-all] [--bench] [--quiet] [--help] [--version]\n"
    "       emberhall-capture --join FILE PART...\n"
    "  --video FILE   MP4 (H.264 + AAC) of the range, with the sound track\n"
    "  --png DIR      the stills into DIR; with no --at, or with --from or --to, every frame\n"
    "                 of the range as DIR/frame-NNNNNN.png too\n"
    "  --at T         the frame at demo time T as frame-NNNNNN.png (repeatable)\n"
    "  --from, --to   the range in seconds of demo time (default: the whole demo)\n"
    "  --fps N        frames per second from 1 to 240, whole or a fraction such as 60000/1001\n"
    "                 or 29.97 (default 60)\n"
    "  --size WxH     frame size (default 800x600); the 4:3 picture is centred, with black\n"
    "                 bars at the sides of a wider frame (1920x1080 for 1080p video)\n"
    "  --scale N      render at N times the frame size and filter down (default 1)\n"
    "  --upscale N    render the 800x600 frame and enlarge it N times pixel for pixel (no\n"
    "                 filtering), centred in the --size frame: --size 3840x2160 --upscale 3\n"
    "                 gives a 2400x1800 picture for 4K video\n"
    "  --uptime S     system uptime the demo's motion takes its phase from (default 1000)\n"
    "  --lossless     the video at constant quantiser 0: the frames exactly, files ~30x larger\n"
    "  --chunk K/N    only the K-th of N parts of the range, cut on whole seconds (keyframe\n"
    "                 intervals), as a video without sound for --join; without --chunk, a\n"
    "                 --video capture takes K and N from a Slurm job array\n"
    "                 (SLURM_ARRAY_TASK_ID counted from SLURM_ARRAY_TASK_MIN, of\n"
    "                 SLURM_ARRAY_TASK_COUNT) or a Kubernetes Indexed Job\n"
    "                 (JOB_COMPLETION_INDEX + 1, of --chunks N)\n"
    "  --chunks N     the number of parts when a Kubernetes Indexed Job gives the index\n"
    "  --join FILE PART...\n"
    "                 the parts, in order, as one video FILE: the picture copied, the sound\n"
    "                 track of the whole range added (run where the capture's Data is)\n"
    "  --trace FILE   the device calls of every captured frame, one per line\n"
    "  --render-all   also draw the frames before and between those written (slower; the\n"
    "                 output is the same: for checking)\n"
    "  --bench        report frames per second of the range rendered only, rendered and\n"
    "                 read back, and captured in full (three runs)\n"
    "  --quiet        no progress report\n"
    "  --help         this list; --version: the tool's version\n";

// The latest demo time a range or still may name: the demo runs one frame past its end (the
// frame that quits), and a time up to a second past the end reaches that last frame.
constexpr double kLatestTime = kDemoEndSeconds + 1;

// Frame sizes: even (video's colour planes are half size), at least 160x120, and at most
// 7680x4320 rendered, supersampling included.
constexpr int kMinWidth = 160, kMinHeight = 120, kMaxWidth = 7680, kMaxHeight = 4320;

// True when `path` can be created or overwritten (it is left as it was found).
bool CanWriteFile(const std::string& path) {
  const bool existed = access(path.c_str(), F_OK) == 0;
  FILE* file = std::fopen(path.c_str(), existed ? "ab" : "wb");
  if (!file) return false;
  std::fclose(file);
  if (!existed) std::remove(path.c_str());
  return true;
}

// "1920x1080" as width and height; false unless it is exactly that form.
bool ParseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos || x == 0 || x + 1 == text.size() || x > 5 || text.size() - x > 6)
    return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (i != x && !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  width = std::stoi(text.substr(0, x));
  height = std::stoi(text.substr(x + 1));
  return true;
}

// Runs the capture once per stage, the first two in child processes (the demo runs once
// per process), and reports each one's rate.
int Bench(CaptureOptions options) {
  std::printf(
      "the frames asked for, from the first one's present to the last one's end:\n"
      "%-32s %7s %9s %9s %9s\n",
      "", "frames", "seconds", "fps", "CPU s");
  for (auto stages : {CaptureOptions::Stages::kRender, CaptureOptions::Stages::kReadBack}) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
      options.stages = stages;
      options.quiet = true;
      std::exit(RunCapture(options));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 3))
      return Fail("the measuring run failed");
  }
  return RunCapture(options);
}

// Sets the option that takes `value`; -1 when it was good, otherwise 2 with the reason on
// stderr.
int SetValue(const std::string& option, const std::string& value, CaptureOptions& options) {
  double number = 0;
  const bool numeric = ParseNumber(value, number);
  auto bad = [&](const char* expected) {
    return Fail("bad value for " + option + ": '" + value + "' (" + expected + ")");
  };
  if (option == "--video") {
    options.videoPath = value;
  } else if (option == "--png") {
    options.pngDir = value;
  } else if (option == "--trace") {
    options.tracePath = value;
  } else if (option == "--at" || option == "--from" || option == "--to") {
    if (!numeric || number < 0 || number > kLatestTime)
      return bad(("seconds from 0 to " + std::to_string(int(kLatestTime))).c_str());
    if (option == "--at")
      options.at.push_back(number);
    else if (option == "--from")
      options.from = number;
    else
      options.to = number;
  } else if (option == "--chunk") {
    if (!ParseChunk(value, options.chunk)) return bad("K/N, part K of N from 1 to 10000");
  } else if (option == "--chunks") {
    if (!numeric || number < 1 || number > 10000 || number != std::floor(number))
      return bad("a whole number from 1 to 10000");
    options.chunk = {0, int(number), "--chunks"};  // the part's index comes from the engine
  } else if (option == "--fps") {
    FrameRate& fps = options.fps;
    if (!ParseFrameRate(value, fps) || fps.num < fps.den || fps.num > 240 * fps.den)
      return bad("frames per second from 1 to 240, such as 50 or 60000/1001");
  } else if (option == "--uptime") {
    if (!numeric || number < 0 || number > kMaxUptimeSeconds) return bad("seconds, 0 or more");
    options.uptime = number;
  } else if (option == "--scale") {
    if (!numeric || number < 1 || number > 4 || number != std::floor(number))
      return bad("a whole number from 1 to 4");
    options.scale = int(number);
  } else if (option == "--upscale") {
    if (!numeric || number < 1 || number > 8 || number != std::floor(number))
      return bad("a whole number from 1 to 8");
    options.upscale = int(number);
  } else if (option == "--size") {
    if (!ParseSize(value, options.width, options.height) || options.width % 2 ||
        options.height % 2 || options.width < kMinWidth || options.height < kMinHeight ||
        options.width > kMaxWidth || options.height > kMaxHeight)
      return bad("even width and height from 160x120 to 7680x4320, such as 1920x1080");
  } else {
    return Fail("unknown option " + option + "\n" + kUsage);
  }
  return -1;
}

// Reads the command line into `options`; -1 when the capture should go on, otherwise the
// exit status (0 after --help, 2 for a bad option, with the reason on stderr).
int ParseOptions(int argc, char** argv, CaptureOptions& options) {
  bool rangeGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    bool* flag = option == "--quiet"        ? &options.quiet
                 : option == "--render-all" ? &options.renderAll
                 : option == "--bench"      ? &options.bench
                 : option == "--lossless"   ? &options.lossless
                                            : nullptr;
    if (flag) {
      *flag = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      Chunk chunk;
      const std::string wrong = ChunkFromEnvironment(std::getenv, 0, chunk);
      if (chunk.n)
        std::printf("here, a --video capture without --chunk is part %d/%d (from %s)\n", chunk.k,
                    chunk.n, chunk.source.c_str());
      else if (!wrong.empty())
        std::printf("here: %s\n", wrong.c_str());
      return 0;
    }
    if (option == "--join")
      return Fail("--join goes with no other options: emberhall-capture --join FILE PART...");
    if (option == "--version") {
      std::puts("emberhall-capture " EMBERHALL_VERSION);
      return 0;
    }
    if (i + 1 >= argc) return Fail("missing value after " + option + "\n" + kUsage);
    if (const int status = SetValue(option, argv[++i], options); status >= 0) return status;
    rangeGiven = rangeGiven || option == "--from" || option == "--to";
  }
  options.pngRange = options.at.empty() || rangeGiven;
  return -1;
}

// Refuses options that cannot go together and outputs that cannot be written: the exit
// status 2 with the reason, or -1 when the capture can go on.
int CheckOptions(CaptureOptions& options) {
  if (options.at.empty() && options.pngDir.empty() && options.videoPath.empty())
    return Fail(std::string("nothing to write: give --video, --png or --at\n") + kUsage);
  if (options.to >= 0 && options.to < options.from) return Fail("--to must not come before --from");
  if (options.upscale) {
    if (options.scale != 1)
      return Fail(
          "--upscale and --scale do not go together: --upscale shows the frame's own "
          "pixels");
    const int width = options.upscale * kDemoFrameWidth;
    const int height = options.upscale * kDemoFrameHeight;
    if (width > (options.width ? options.width : kDemoFrameWidth) ||
        height > (options.height ? options.height : kDemoFrameHeight))
      return Fail("--upscale " + std::to_string(options.upscale) + " makes a " +
                  std::to_string(width) + "x" + std::to_string(height) +
                  " picture, larger than the frame; give --size " + std::to_string(width) + "x" +
                  std::to_string(height) + " or larger");
  }
  const int renderedWidth = (options.width ? options.width : kDemoFrameWidth) * options.scale;
  const int renderedHeight = (options.height ? options.height : kDemoFrameHeight) * options.scale;
  if (renderedWidth > kMaxWidth || renderedHeight > kMaxHeight)
    return Fail("--scale " + std::to_string(options.scale) + " would render " +
                std::to_string(renderedWidth) + "x" + std::to_string(renderedHeight) +
                " pixels, more than 7680x4320; choose a smaller --size or --scale");

  if (!options.videoPath.empty() && FindProgram("ffmpeg").empty())
    return Fail(
        "ffmpeg is not installed; install it (sudo apt-get install ffmpeg) or drop --video");
  if (!options.videoPath.empty() && !CanWriteFile(options.videoPath))
    return Fail("cannot write " + options.videoPath + "; choose a writable path for --video");
  if (!options.tracePath.empty() && !CanWriteFile(options.tracePath))
    return Fail("cannot write " + options.tracePath + "; choose a writable path for --trace");
  if (!options.pngDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.pngDir, error);
    if (!std::filesystem::is_directory(options.pngDir, error) ||
        access(options.pngDir.c_str(), W_OK) != 0)
      return Fail("cannot write into " + options.pngDir + "; choose a writable folder for --png");
  }
  if (const std::string why = CheckFreeSpace(PlannedOutputs(options)); !why.empty())
    return Fail(why);
  return -1;
}

// Settles which part of the range the capture writes, from --chunk or the job engine's
// variables, and refuses a part that cannot be: the exit status 2 with the reason, or -1.
int CheckChunk(CaptureOptions& options) {
  if (options.videoPath.empty()) {
    if (options.chunk.n)
      return Fail("a part is a video: give --video with " + options.chunk.source);
    return -1;
  }
  if (options.chunk.k == 0) {
    const int count = options.chunk.n;
    options.chunk = {};
    if (const std::string why = ChunkFromEnvironment(std::getenv, count, options.chunk);
        !why.empty())
      return Fail(why);
    if (count && !options.chunk.n)
      return Fail("--chunks N takes the part's index from JOB_COMPLETION_INDEX, which is not set");
  }
  if (!options.chunk.n) return -1;
  if (!options.pngDir.empty() || !options.at.empty() || !options.tracePath.empty())
    return Fail("a part (" + options.chunk.source +
                ") is video only: --png, --at and --trace go with a capture in one piece");
  const FrameSpan range = RangeFrames(options);
  const int64_t interval = KeyframeInterval(options.fps);
  const int64_t intervals = (range.Count() + interval - 1) / interval;
  if (intervals < options.chunk.n)
    return Fail("the range has " + std::to_string(intervals) + " keyframe intervals, too few for " +
                std::to_string(options.chunk.n) + " parts; cut it into at most that many");
  options.build = "emberhall-capture " EMBERHALL_VERSION " " + ProgramChecksum();
  if (!options.quiet) {
    const FrameSpan part = WrittenFrames(options);
    std::fprintf(stderr, "emberhall-capture: part %d/%d (from %s), frames %lld to %lld\n",
                 options.chunk.k, options.chunk.n, options.chunk.source.c_str(),
                 static_cast<long long>(part.begin), static_cast<long long>(part.end - 1));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  // The join, after nothing but --quiet (it reports no progress).
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--quiet") continue;
    if (std::string(argv[i]) != "--join") break;
    if (argc < i + 3)
      return Fail("--join needs the output file and the parts: --join FILE PART...");
    return RunJoin(argv[i + 1], std::vector<std::string>(argv + i + 2, argv + argc));
  }
  CaptureOptions options;
  if (const int status = ParseOptions(argc, argv, options); status >= 0) return status;
  if (const int status = CheckChunk(options); status >= 0) return status;
  if (const int status = CheckOptions(options); status >= 0) return status;

  // Headless where no display is named; where one is named but cannot be reached, the
  // offscreen driver all the same, since a capture needs no window that anyone sees.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
  else
    setenv("SDL_VIDEODRIVER", "x11,wayland,offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // the sound track goes into the video, not the speakers
  signal(SIGPIPE, SIG_IGN);               // a failed ffmpeg is reported, not fatal
  return options.bench ? Bench(options) : RunCapture(options);
}
