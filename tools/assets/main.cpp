// emberhall-assets: the default data set, and a look inside any data file.
//
//   emberhall-assets generate [DIR]   writes every file the demo loads into DIR (default Data)
//   emberhall-assets inspect FILE...  what each .msh, .x, .bmp or .mp3 holds, through the
//                                     demo's own loaders; exits non-zero on a file the demo
//                                     could not use
//   emberhall-assets xforms DIR       every default .x model in every encoding the loader
//                                     reads (text, binary, compressed), e.g. as fuzzing seeds
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "tools/assets/generate.h"
#include "tools/assets/inspect.h"
#include "tools/assets/x_binary_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: emberhall-assets generate [DIR]    write the default data set (DIR: Data)\n"
    "       emberhall-assets inspect FILE...   report on data files through the demo's loaders\n"
    "       emberhall-assets xforms DIR        write the default .x models in every encoding\n";

// The demo's window and device, headless, for the loaders to load into.
bool OpenDevice() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DemoWindowProc;
  windowClass.lpszClassName = "Brindlequay";
  RegisterClassExA(&windowClass);
  HWND window = CreateWindowExA(0, "Brindlequay", "Brindlequay", WS_OVERLAPPEDWINDOW, 10, 10,
                                g_screenWidth, g_screenHeight, nullptr, nullptr, nullptr, nullptr);
  return InitDevice(window) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && argc <= 3)
    return GenerateDataSet(argc == 3 ? argv[2] : "Data") ? 0 : 1;
  if (command == "xforms" && argc == 3) {
    std::error_code error;
    std::filesystem::create_directories(argv[2], error);
    if (error) {
      std::fprintf(stderr, "emberhall-assets: cannot make %s: %s\n", argv[2],
                   error.message().c_str());
      return 1;
    }
    return WriteXFileForms(argv[2]) ? 0 : 1;
  }
  if (command == "inspect" && argc >= 3) {
    if (!OpenDevice()) {
      std::fprintf(stderr, "emberhall-assets: no OpenGL device to load into\n");
      return 1;
    }
    int worst = 0;
    for (int i = 2; i < argc; ++i) worst = std::max(worst, InspectFile(argv[i]));
    ShutdownDemo();
    return worst;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
