// The process entry: the demo takes no command line and no settings.
//
// A data set that cannot be read still plays, as the demo is designed to, with every
// object it could not load left empty; one line on stderr says why the screen stays dark.
#include <cstdio>
#include <string>

#include "app/app.h"
#include "platform/data_path.h"

int main() {
  const std::string problem = DataFolderProblem("Data");
  if (!problem.empty())
    std::fprintf(stderr, "emberhall: %s; the demo plays without its models, pictures and music\n",
                 problem.c_str());
  return WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
}
