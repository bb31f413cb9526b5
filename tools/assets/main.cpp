// emberhall-assets generate [DIR]: writes every file the demo loads into DIR (default
// Data), the same bytes on every run. It links none of the demo, so that changing the
// demo neither rebuilds it nor makes the data set again.
#include <cstdio>
#include <string>

#include "tools/assets/generate.h"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && argc <= 3)
    return GenerateDataSet(argc == 3 ? argv[2] : "Data") ? 0 : 1;
  std::fputs("usage: emberhall-assets generate [DIR]   write the default data set (DIR: Data)\n",
             stderr);
  return 2;
}
