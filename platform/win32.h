// The subset of the Win32 windowing API that the demo's shell calls, over SDL2 on the
// desktop and over the page's canvas in the browser.
//
// One process, one thread, one message queue. Messages come out first-in first-out;
// WM_QUIT is handed out only when nothing else is waiting. PeekMessageA pumps the native
// input into the queue before it looks: key presses become WM_KEYDOWN (WM_SYSKEYDOWN
// for Alt, F10 and keys pressed with Alt held); on the desktop the window manager's close
// button, Ctrl+C and SIGTERM become WM_CLOSE. DefWindowProcA answers WM_CLOSE by
// destroying the window, which sends WM_DESTROY.
//
// The client area of a window is its given size (the demo's 800 by 600 back buffer). A
// window with a sizing border (WS_THICKFRAME, part of WS_OVERLAPPEDWINDOW) can be resized
// and maximised, and Alt+Enter puts it in desktop full screen and back (the display keeps
// its mode, the pointer is hidden meanwhile); the Alt chord still arrives as WM_SYSKEYDOWN.
// The device scales its frame to whatever size the window has.
// Only what the demo uses exists here: no painting, no child windows, no menus.
#pragma once

#include <cstdint>

struct SDL_Window;

using BOOL = int;
using UINT = unsigned int;
using DWORD = uint32_t;
using LONG = int32_t;
using HRESULT = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using SHORT = int16_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct Window;
using HWND = Window*;
struct ModuleHandle;
using HINSTANCE = ModuleHandle*;
using HMODULE = HINSTANCE;
using HICON = void*;
using HCURSOR = void*;
using HBRUSH = void*;
using HMENU = void*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const char* lpszMenuName;
  const char* lpszClassName;
  HICON hIconSm;
};

struct POINT {
  LONG x;
  LONG y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSKEYDOWN = 0x0104;

constexpr UINT CS_CLASSDC = 0x0040;
constexpr DWORD WS_THICKFRAME = 0x00040000;  // a sizing border: the user may resize
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr int SW_SHOWDEFAULT = 10;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT MB_OK = 0x00000000;
constexpr int IDOK = 1;

constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;  // Page Up
constexpr WPARAM VK_NEXT = 0x22;   // Page Down
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_OEM_COMMA = 0xBC;
constexpr WPARAM VK_OEM_PERIOD = 0xBE;
constexpr WPARAM VK_F4 = 0x73;
constexpr WPARAM VK_F10 = 0x79;

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
HINSTANCE GetModuleHandleA(const char* moduleName);
HWND GetDesktopWindow();
// The window that has the keyboard focus, or null when none of ours has it.
HWND GetForegroundWindow();

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The high bit is set while the key was held as of the last key message taken from the
// queue; only VK_SHIFT is tracked (0 for every other key).
SHORT GetKeyState(int virtualKey);
void PostQuitMessage(int exitCode);

// Shows an SDL message box (in the browser: the text in the page); where none can be shown
// (no display) the text goes to stderr.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// --- Beyond Win32: what the rest of this program needs of a window. ---

// The SDL window behind a window handle (null for null or the desktop); desktop only.
SDL_Window* SdlWindowOf(HWND window);
// Puts a message at the end of the queue, as the platform does for input (tests use it).
void PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Forgets every window, class and queued message (tests start each case from nothing).
void ResetWindowSystem();
