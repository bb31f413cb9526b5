// The studio's bar along the bottom of the window, drawn in plain GL over the shown frame
// (through the render layer's overlay hook, so no recorder or read-back ever sees it):
// the section marks and the play head on a strip for the whole demo, the loop's range, the
// time as m:ss.ff, paused or playing, and a line of text (the files of the last reload).
// Never more than 40 pixels high, whatever the window's size.
#pragma once

#include <string>
#include <vector>

struct OverlayState {
  std::vector<double> sections;  // section starts, seconds
  double now = 0, end = 200;     // the time shown and the demo's length
  bool playing = false;
  bool loopOn = false;
  double loopIn = -1, loopOut = -1;  // -1: not set
  std::string message;               // shown after the rest, upper case
};

// "m:ss.ff": minutes, seconds and hundredths.
std::string FormatTime(double seconds);

class Overlay {
 public:
  ~Overlay();
  // Draws `state` into the bound framebuffer of `width` by `height` pixels.
  void Draw(const OverlayState& state, int width, int height);
  // Forgets the GL objects without deleting them (their context is gone).
  void Forget() { program_ = vao_ = buffer_ = 0; }

 private:
  // The program, vertex array and buffer, made on the first draw in each GL context.
  void Build();

  unsigned program_ = 0, vao_ = 0, buffer_ = 0;
};
