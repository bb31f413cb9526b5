#include "bench/bench_device.h"

void EnsureBenchDevice() {
  if (g_device) return;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DemoWindowProc;
  windowClass.lpszClassName = "Brindlequay";
  RegisterClassExA(&windowClass);
  HWND window =
      CreateWindowExA(0, "Brindlequay", "Brindlequay", WS_OVERLAPPEDWINDOW, 10, 10, g_screenWidth,
                      g_screenHeight, GetDesktopWindow(), nullptr, nullptr, nullptr);
  InitDevice(window);
}
