// emberhall-studio: the demo in a window with a transport, for working on it.
//
//   emberhall-studio                         plays from 0 with the current folder's Data
//   emberhall-studio --at 130 --paused       stands at 130 s (the frame emberhall-capture
//                                            --at 130 gives, with the same --uptime)
//   emberhall-studio --loop 170:180          plays 170 s to 180 s over and over
//
// Every change to a file in the Data folder reloads the demo at the same time.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/tick.h"
#include "timeline/timeline.h"
#include "tools/common/tool_cli.h"
#include "tools/studio/studio.h"

namespace {

constexpr const char* kUsage =
    "usage: emberhall-studio [--data DIR] [--at T] [--paused] [--loop A:B] [--uptime S]\n"
    "                        [--no-overlay] [--help] [--version]\n"
    "  --data DIR     run from DIR, whose Data folder the demo reads and the studio watches\n"
    "                 (default: the current folder)\n"
    "  --at T         start at demo time T seconds (on the 1/60 s frame grid)\n"
    "  --paused       start paused\n"
    "  --loop A:B     loop from A to B seconds, the loop on\n"
    "  --uptime S     system uptime the demo's motion takes its phase from, at demo time 0\n"
    "                 (default: the machine's own)\n"
    "  --no-overlay   no bar over the picture for the whole run\n"
    "keys:\n";

bool InDemo(double t) {
  return t >= 0 && t <= kDemoEndSeconds;
}

// Reads the command line into `options`; -1 when the studio should go on, otherwise the
// exit status (0 after --help or --version, 2 for a bad option, with the reason on stderr).
int ParseOptions(int argc, char** argv, StudioOptions& options, std::string& data) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      std::printf("%s%s", kUsage, kStudioKeys);
      return 0;
    }
    if (option == "--version") {
      std::puts("emberhall-studio " EMBERHALL_VERSION);
      return 0;
    }
    if (option == "--paused" || option == "--no-overlay") {
      (option == "--paused" ? options.paused : options.overlay) = option != "--no-overlay";
      continue;
    }
    if (option != "--data" && option != "--at" && option != "--loop" && option != "--uptime")
      return Fail("unknown option " + option + "\n" + kUsage);
    if (i + 1 >= argc) return Fail("missing value after " + option);
    const std::string value = argv[++i];
    auto bad = [&](const char* expected) {
      return Fail("bad value for " + option + ": '" + value + "' (" + expected + ")");
    };
    double number = 0;
    if (option == "--data") {
      std::error_code error;
      if (!std::filesystem::is_directory(value, error)) return bad("a folder");
      data = value;
    } else if (option == "--at") {
      if (!ParseNumber(value, number) || !InDemo(number)) return bad("seconds from 0 to 200");
      options.at = number;
    } else if (option == "--uptime") {
      if (!ParseNumber(value, number) || number < 0 || number > kMaxUptimeSeconds)
        return bad("seconds, 0 or more");
      options.uptime = number;
    } else {
      const size_t colon = value.find(':');
      double in = 0, out = 0;
      if (colon == std::string::npos || !ParseNumber(value.substr(0, colon), in) ||
          !ParseNumber(value.substr(colon + 1), out) || !InDemo(in) || !InDemo(out) || out <= in)
        return bad("A:B in seconds from 0 to 200, A before B");
      options.loopIn = in;
      options.loopOut = out;
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  StudioOptions options;
  options.uptime = double(MachineTickCount()) * 0.001;
  std::string data;
  if (const int status = ParseOptions(argc, argv, options, data); status >= 0) return status;
  if (!data.empty() && chdir(data.c_str()) != 0) return Fail("cannot enter " + data);
  return RunStudio(options);
}
