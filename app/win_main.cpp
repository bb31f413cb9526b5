#include <cstring>

#include "app/app.h"
#include "timeline/timeline.h"

LRESULT DemoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
    case WM_KEYDOWN:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND CreateDemoWindow() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(WNDCLASSEXA);
  windowClass.style = CS_CLASSDC;
  windowClass.lpfnWndProc = DemoWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Brindlequay";
  RegisterClassExA(&windowClass);
  return CreateWindowExA(0, "Brindlequay", "Brindlequay", WS_OVERLAPPEDWINDOW, 10, 10,
                         g_screenWidth, g_screenHeight, GetDesktopWindow(), nullptr,
                         windowClass.hInstance, nullptr);
}

int WinMain(HINSTANCE, HINSTANCE, const char*, int) {
  HWND window = CreateDemoWindow();

  if (InitDevice(window) >= 0) {
    LoadDemo();
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);

    MSG msg;
    std::memset(&msg, 0, sizeof msg);
    while (msg.message != WM_QUIT) {
      if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      } else {
        RenderFrame();
      }
    }
  }

  UnregisterClassA("Brindlequay", GetModuleHandleA(nullptr));
  ShutdownDemo();
  return 0;
}
