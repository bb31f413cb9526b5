// A throwaway X desktop for tests that run the programs as a person does: an Xvfb screen
// of a given size, with or without a window manager (openbox), programs started on it as
// child processes, input through xdotool, and screenshots read from the X server itself.
//
// Everything it starts ends with it.
// It needs Xvfb, openbox and xdotool, which scripts/install-deps.sh installs.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct _XDisplay;

// An RGB picture of part of the screen, top row first.
struct Screenshot {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  // The brightest channel of a pixel (0 is black).
  int Level(int x, int y) const;
  // The brightest channel anywhere in the rectangle [x0, x1) x [y0, y1).
  int MaxLevel(int x0, int y0, int x1, int y1) const;
  // The mean over the rectangle of each pixel's brightest channel.
  double MeanLevel(int x0, int y0, int x1, int y1) const;
  // Writes it as a PNG under the build's screenshots/ folder, for people to look at.
  void Save(const std::string& name) const;
};

// A window's client area in screen coordinates.
struct WindowArea {
  int x = 0, y = 0, width = 0, height = 0;
};

class XDesktop {
 public:
  XDesktop(int width, int height, bool windowManager);
  ~XDesktop();
  XDesktop(const XDesktop&) = delete;
  XDesktop& operator=(const XDesktop&) = delete;

  // True once the server (and the window manager, if asked for) is up.
  bool Ready() const { return display_ != nullptr; }

  // Starts `argv` in `folder` on this display, with dummy audio unless `environment` says
  // otherwise (it changes the program's environment as ChildEnvironment does); its standard
  // output and error go to `outputFile` when one is given.
  pid_t Launch(const std::vector<std::string>& argv, const std::string& folder,
               const std::string& outputFile = "",
               const std::map<std::string, std::string>& environment = {});
  // Runs xdotool with `arguments` on this display; its standard output.
  std::string Xdotool(const std::vector<std::string>& arguments);
  // The first viewable window titled exactly `title`, waiting up to `seconds`; 0 if none.
  unsigned long FindWindow(const std::string& title, double seconds);
  WindowArea Area(unsigned long window) const;
  Screenshot Capture(int x, int y, int width, int height) const;
  Screenshot CaptureWindow(unsigned long window) const;

  // Waits up to `seconds` for a launched program to end; its exit status, or -1 if it is
  // still running (it is then left running) or was ended by a signal.
  int WaitForExit(pid_t pid, double seconds);
  // Whether a launched program has not ended yet.
  static bool IsRunning(pid_t pid);

 private:
  pid_t Spawn(const std::vector<std::string>& argv, const std::string& folder, int outFd, int errFd,
              const std::map<std::string, std::string>& environment = {});

  std::string name_;  // ":N"
  _XDisplay* display_ = nullptr;
  std::vector<pid_t> children_;  // in starting order: server, window manager, programs
  pid_t server_ = 0, windowManager_ = 0;
};

// Polls `done` every 50 ms for up to `seconds`; whether it came true.
bool WaitUntil(double seconds, const std::function<bool()>& done);
