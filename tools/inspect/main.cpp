// emberhall-inspect FILE...: what each .msh, .x, .bmp or .mp3 holds, read through the
// demo's own loaders, and what is wrong with a file the demo could not use. Exits with
// the worst result over the files: 0 usable, 1 unusable, 2 of a kind it does not know.
// `--help` and `--version`, given alone, say how to use it and which release it is.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "tools/inspect/inspect.h"

namespace {

constexpr const char* kUsage =
    "usage: emberhall-inspect FILE...   report on data files through the demo's loaders\n"
    "       emberhall-inspect --help | --version\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string first = argv[1];
  if (argc == 2 && first == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && first == "--version") {
    std::puts("emberhall-inspect " EMBERHALL_VERSION);
    return 0;
  }
  // The demo's window and device, headless, for the loaders to load into.
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (InitDevice(CreateDemoWindow()) != 0) {
    std::fprintf(stderr, "emberhall-inspect: no OpenGL device to load into\n");
    return 1;
  }
  int worst = 0;
  for (int i = 1; i < argc; ++i) worst = std::max(worst, InspectFile(argv[i]));
  ShutdownDemo();
  return worst;
}
