// Offscreen frames. For the capture tool, supersampling: the device draws into an offscreen
// framebuffer `scale` times the back buffer's size in each direction, and reading the
// back buffer filters it down to the back buffer's size (an N x N box filter), so stills
// and videos come out anti-aliased. Coordinates, pixel centres and the aspect ratio stay
// those of the back buffer. The live demo draws straight into its window, and into a
// target of scale 1 only while its window is not the back buffer's size (present.h).
#pragma once

#include <cstdint>
#include <vector>

// The scale of devices created from now on (SetRenderScale in render/tool_hooks.h);
// 1, the default, turns supersampling off.
int RenderScale();

// The offscreen framebuffer of one device. Needs the device's GL context current.
class ScaledTarget {
 public:
  ScaledTarget(int width, int height, int scale);
  ~ScaledTarget();
  int Scale() const { return scale_; }
  // Takes over the back buffer's area of the window, where the device has drawn a frame.
  void CopyFromWindow() const;
  // Shows the frame in the window, filtered to the window's size with its own shape kept
  // and black bars around it, leaving the target bound for drawing.
  void BlitToWindow(int windowWidth, int windowHeight) const;
  // The frame filtered down to width x height RGBA, top row first.
  void Read(std::vector<uint8_t>& rgba) const;

 private:
  int width_, height_, scale_;
  unsigned framebuffer_ = 0, color_ = 0, depth_ = 0;
};

// The bound framebuffer's width x height pixels as RGBA, top row first.
void ReadPixelsTopDown(int width, int height, std::vector<uint8_t>& rgba);
