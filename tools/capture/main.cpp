// emberhall-capture: renders the demo frame by frame at a fixed rate, headless or not.
//
//   emberhall-capture --video demo.mp4                 the whole demo with its sound track
//   emberhall-capture --at 35 --at 80                  stills at those demo times
//   emberhall-capture --png out --from 40 --to 45      every frame of a range into out/
//
// It runs the demo from the current directory's Data, like the demo itself.
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tools/capture/capture.h"
#include "tools/capture/video_pipe.h"

namespace {

constexpr const char* kUsage =
    "usage: emberhall-capture [--video FILE] [--png DIR] [--at T]... [--from S] [--to S]\n"
    "                         [--fps N] [--uptime S] [--scale N] [--trace FILE] [--quiet]\n"
    "  --video FILE   MP4 (H.264 + AAC) of the range, with the sound track\n"
    "  --png DIR      every frame of the range as DIR/frame-NNNNNN.png (stills go there too)\n"
    "  --at T         the frame at demo time T as frame-NNNNNN.png (repeatable)\n"
    "  --from, --to   the range in seconds of demo time (default: the whole demo)\n"
    "  --fps N        frames per second (default 60)\n"
    "  --uptime S     system uptime the demo's motion takes its phase from (default 1000)\n"
    "  --scale N      render at N times 800x600 and filter down (default 1)\n"
    "  --trace FILE   the device calls of every captured frame, one per line\n"
    "  --quiet        no progress report\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "emberhall-capture: %s\n", message.c_str());
  return 2;
}

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

// True when `path` can be created or overwritten (it is left as it was found).
bool CanWriteFile(const std::string& path) {
  const bool existed = access(path.c_str(), F_OK) == 0;
  FILE* file = std::fopen(path.c_str(), existed ? "ab" : "wb");
  if (!file) return false;
  std::fclose(file);
  if (!existed) std::remove(path.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (i + 1 >= argc) return Fail("missing value after " + option + "\n" + kUsage);
    const std::string value = argv[++i];
    double number = 0;
    const bool numeric = ParseNumber(value.c_str(), number);
    auto bad = [&](const char* expected) {
      return Fail("bad value for " + option + ": '" + value + "' (" + expected + ")");
    };
    if (option == "--video") {
      options.videoPath = value;
    } else if (option == "--png") {
      options.pngDir = value;
    } else if (option == "--trace") {
      options.tracePath = value;
    } else if (option == "--at") {
      if (!numeric || number < 0 || number > 201) return bad("seconds from 0 to 201");
      options.at.push_back(number);
    } else if (option == "--from") {
      if (!numeric || number < 0 || number > 201) return bad("seconds from 0 to 201");
      options.from = number;
    } else if (option == "--to") {
      if (!numeric || number < 0 || number > 201) return bad("seconds from 0 to 201");
      options.to = number;
    } else if (option == "--fps") {
      if (!numeric || number < 1 || number > 240) return bad("frames per second from 1 to 240");
      options.fps = number;
    } else if (option == "--uptime") {
      if (!numeric || number < 0 || number > 4e9) return bad("seconds, 0 or more");
      options.uptime = number;
    } else if (option == "--scale") {
      if (!numeric || number < 1 || number > 4 || number != std::floor(number))
        return bad("a whole number from 1 to 4");
      options.scale = int(number);
    } else {
      return Fail("unknown option " + option + "\n" + kUsage);
    }
  }
  if (options.at.empty() && options.pngDir.empty() && options.videoPath.empty())
    return Fail(std::string("nothing to write: give --video, --png or --at\n") + kUsage);
  if (options.to >= 0 && options.to < options.from) return Fail("--to must not come before --from");

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
    if (access(options.pngDir.c_str(), W_OK) != 0)
      return Fail("cannot write into " + options.pngDir + "; choose a writable folder for --png");
  }

  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // the sound track goes into the video, not the speakers
  signal(SIGPIPE, SIG_IGN);               // a failed ffmpeg is reported, not fatal
  return RunCapture(options);
}
