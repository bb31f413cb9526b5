// emberhall-assets: the default data set. It links the render layer (for the X format's header
// and binary tokens) and the PNG writer, none of the demo: changing the demo neither
// rebuilds the generator nor makes the data set again; changing the render layer does both.
//
//   emberhall-assets generate [DIR]   writes every file the demo loads into DIR (default
//                                     Data), the same bytes on every run
//   emberhall-assets xforms DIR       every default .x model in every encoding the loader
//                                     reads (text, binary, compressed), e.g. as fuzzing seeds
//   emberhall-assets icon FILE        the 256x256 application icon the package installs,
//                                     as a PNG file
//   emberhall-assets --help, --version
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/assets/generate.h"
#include "tools/assets/icon.h"
#include "tools/assets/x_binary_writer.h"

namespace {

constexpr const char* kUsage =
    "usage: emberhall-assets generate [DIR]   write the default data set (DIR: Data)\n"
    "       emberhall-assets xforms DIR       write the default .x models in every encoding\n"
    "       emberhall-assets icon FILE        write the application icon (PNG, 256x256)\n"
    "       emberhall-assets --help | --version\n";

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" && argc == 2) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "--version" && argc == 2) {
    std::puts("emberhall-assets " EMBERHALL_VERSION);
    return 0;
  }
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
  if (command == "icon" && argc == 3) return WriteIcon(argv[2], 256) ? 0 : 1;
  std::fputs(kUsage, stderr);
  return 2;
}
