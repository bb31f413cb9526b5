// The process entry: the demo takes no command line and no settings.
#include "app/app.h"

int main() {
  return WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
}
