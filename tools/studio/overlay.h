// The studio's bar along the bottom of the window, drawn in plain GL into the bound
// framebuffer (the render layer's overlay hook binds the window's, so no recorder or
// read-back ever sees it): the section marks and the play head on a strip for the whole
// demo, the loop's range, the transport's time text, paused or playing, and a line of text
// (a reload's files, a failure). Never more than 40 pixels high, whatever the window's size.
//
// Its GL objects are made once per device (the session's count says when a device is new;
// the old ones went with its context), their compile and link checked; a frame's drawing
// reuses the same memory and buffer, so nothing is allocated per frame.
#pragma once

#include <string>
#include <vector>

class Transport;

// The first row of the bar in a window `height` pixels high (rows from the top).
int BarTop(int height);

class Overlay {
 public:
  // Draws the bar for `transport` and `message` into the bound framebuffer of `width` by
  // `height` pixels, on device number `device`; false when its shaders do not build (said
  // on stderr once; the bar is then never drawn).
  bool Draw(const Transport& transport, const std::string& message, int device, int width,
            int height);

 private:
  // The program, vertex array and buffer in the current context; false on a failed build.
  bool Build();

  int device_ = -1;
  bool broken_ = false;
  unsigned program_ = 0, vao_ = 0, buffer_ = 0;
  int sizeUniform_ = -1;
  size_t bufferBytes_ = 0;
  std::vector<float> vertices_;  // x, y, r, g, b, a per corner; kept between frames
};
