// emberhall-inspect FILE...: what each .msh, .x, .bmp or .mp3 holds, read through the
// demo's own loaders, and what is wrong with a file the demo could not use. Exits with
// the worst result over the files: 0 usable, 1 unusable, 2 of a kind it does not know.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/app.h"
#include "tools/inspect/inspect.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: emberhall-inspect FILE...   report on data files through the demo's loaders\n",
               stderr);
    return 2;
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
