#include "tests/x_desktop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/program_run.h"
#include "tools/common/png_writer.h"

namespace {

// A window that vanishes between two requests is an ordinary event here, not a reason for
// Xlib's default handler to end the test program.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

int Shift(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++shift;
  return shift;
}

bool HasWindowManager(Display* display) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, AnyPropertyType,
                     &type, &format, &count, &after, &data);
  if (data) XFree(data);
  return count > 0;
}

// A window's title as its owner stored it: _NET_WM_NAME, else WM_NAME, taken as raw bytes
// whatever their declared encoding (SDL's message box writes WM_NAME as "UTF-8").
std::string Title(Display* display, Window window) {
  for (const char* property : {"_NET_WM_NAME", "WM_NAME"}) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 256, False,
                       AnyPropertyType, &type, &format, &count, &after, &data);
    std::string title =
        data && format == 8 ? std::string(reinterpret_cast<char*>(data), count) : "";
    if (data) XFree(data);
    if (!title.empty()) return title;
  }
  return "";
}

// The first viewable window under `parent` (depth first) titled `title`; 0 if none.
Window FindViewable(Display* display, Window parent, const std::string& title) {
  Window root, up, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
    if (attributes.map_state != IsViewable) continue;
    found = Title(display, children[i]) == title ? children[i]
                                                 : FindViewable(display, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

int Screenshot::Level(int x, int y) const {
  const uint8_t* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
  return std::max({p[0], p[1], p[2]});
}

int Screenshot::MaxLevel(int x0, int y0, int x1, int y1) const {
  int level = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) level = std::max(level, Level(x, y));
  return level;
}

double Screenshot::MeanLevel(int x0, int y0, int x1, int y1) const {
  double sum = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) sum += Level(x, y);
  return sum / std::max(1.0, double(x1 - x0) * double(y1 - y0));
}

void Screenshot::Save(const std::string& name) const {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4, 255);
  for (size_t i = 0; i < size_t(width) * size_t(height); ++i)
    std::copy_n(&rgb[i * 3], 3, &rgba[i * 4]);
  std::filesystem::create_directories(EMBERHALL_SCREENSHOTS);
  WritePng(std::string(EMBERHALL_SCREENSHOTS) + "/" + name + ".png", width, height, rgba.data());
}

bool WaitUntil(double seconds, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

XDesktop::XDesktop(int width, int height, bool windowManager) {
  XSetErrorHandler(IgnoreXError);
  int ready[2];
  if (pipe(ready) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
  server_ = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", screen,
                   "-nolisten", "tcp", "-noreset"},
                  "", devNull, devNull);
  close(ready[1]);
  std::string number;
  pollfd wait{ready[0], POLLIN, 0};
  char c;
  while (poll(&wait, 1, 10000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
  close(ready[0]);
  if (!number.empty()) {
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
  }
  if (display_ && windowManager) {
    windowManager_ = Spawn({"openbox"}, "", devNull, devNull);
    if (!WaitUntil(10, [&] { return HasWindowManager(display_); })) {
      XCloseDisplay(display_);
      display_ = nullptr;
    }
  }
  close(devNull);
}

XDesktop::~XDesktop() {
  if (display_) XCloseDisplay(display_);
  // The programs first (SIGKILL: SDL would take SIGTERM as a polite close request), then
  // the window manager and the server, which tidy up their sockets on SIGTERM.
  for (auto pid = children_.rbegin(); pid != children_.rend(); ++pid) {
    const bool server = *pid == server_ || *pid == windowManager_;
    kill(*pid, server ? SIGTERM : SIGKILL);
    waitpid(*pid, nullptr, 0);
  }
}

pid_t XDesktop::Spawn(const std::vector<std::string>& argv, const std::string& folder, int outFd,
                      int errFd, const std::map<std::string, std::string>& changes) {
  // The test program itself runs on SDL's offscreen driver; its children use this display.
  std::map<std::string, std::string> variables = {{"DISPLAY", name_},
                                                  {"WAYLAND_DISPLAY", ""},
                                                  {"SDL_VIDEODRIVER", ""},
                                                  {"SDL_AUDIODRIVER", "dummy"}};
  for (const auto& [name, value] : changes) variables[name] = value;
  ChildEnvironment environment(variables);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    if (outFd >= 0) dup2(outFd, 1);
    if (errFd >= 0) dup2(errFd, 2);
    execvpe(args[0], args.data(), environment.Envp());
    _exit(127);
  }
  children_.push_back(pid);
  return pid;
}

pid_t XDesktop::Launch(const std::vector<std::string>& argv, const std::string& folder,
                       const std::string& outputFile,
                       const std::map<std::string, std::string>& environment) {
  const int out = outputFile.empty()
                      ? -1
                      : open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t pid = Spawn(argv, folder, out, out, environment);
  if (out >= 0) close(out);
  return pid;
}

std::string XDesktop::Xdotool(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return "";
  const pid_t pid = Spawn(argv, "", out[1], -1);
  close(out[1]);
  std::string output;
  char buffer[256];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) output.append(buffer, size_t(n));
  close(out[0]);
  waitpid(pid, nullptr, 0);
  children_.erase(std::remove(children_.begin(), children_.end(), pid), children_.end());
  return output;
}

unsigned long XDesktop::FindWindow(const std::string& title, double seconds) {
  unsigned long found = 0;
  WaitUntil(seconds, [&] {
    found = FindViewable(display_, DefaultRootWindow(display_), title);
    return found != 0;
  });
  return found;
}

WindowArea XDesktop::Area(unsigned long window) const {
  WindowArea area;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display_, window, &attributes)) return area;
  Window child;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &area.x, &area.y,
                        &child);
  area.width = attributes.width;
  area.height = attributes.height;
  return area;
}

Screenshot XDesktop::Capture(int x, int y, int width, int height) const {
  Screenshot shot;
  const Screen* screen = DefaultScreenOfDisplay(display_);
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(screen->width, x + width), y1 = std::min(screen->height, y + height);
  if (x1 <= x0 || y1 <= y0) return shot;
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), x0, y0, unsigned(x1 - x0),
                            unsigned(y1 - y0), AllPlanes, ZPixmap);
  if (!image) return shot;
  shot.width = x1 - x0;
  shot.height = y1 - y0;
  shot.rgb.resize(size_t(shot.width) * size_t(shot.height) * 3);
  const int shifts[3] = {Shift(image->red_mask), Shift(image->green_mask), Shift(image->blue_mask)};
  uint8_t* out = shot.rgb.data();
  for (int row = 0; row < shot.height; ++row) {
    for (int column = 0; column < shot.width; ++column) {
      const unsigned long pixel = XGetPixel(image, column, row);
      for (int c = 0; c < 3; ++c) *out++ = uint8_t(pixel >> shifts[c]);
    }
  }
  XDestroyImage(image);
  return shot;
}

Screenshot XDesktop::CaptureWindow(unsigned long window) const {
  const WindowArea area = Area(window);
  return Capture(area.x, area.y, area.width, area.height);
}

int XDesktop::WaitForExit(pid_t pid, double seconds) {
  int status = 0;
  if (!WaitUntil(seconds, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
  children_.erase(std::remove(children_.begin(), children_.end(), pid), children_.end());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool XDesktop::IsRunning(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}
