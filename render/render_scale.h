// Offscreen frames, where the device does not draw straight into its window. For the
// capture tool: supersampled, or at another size. The device then draws into an offscreen
// framebuffer of the frame's size times the render scale. The back buffer's picture fills
// the largest rectangle of the back buffer's shape that fits, centred (viewport and
// scissor); the rest of the frame stays black. Reading the frame filters it down by the
// scale (an N x N box filter), so stills and videos come out anti-aliased. Coordinates,
// pixel centres and the aspect ratio stay those of the back buffer: only the viewport
// grows. The live demo draws straight into its window, and into a target of the back
// buffer's size at scale 1 only while its window is not that size (present.h).
#pragma once

#include <cstdint>
#include <vector>

#include "render/present.h"

// The scale of devices created from now on (render/tool_switches.h);
// 1, the default, turns supersampling off.
int RenderScale();
// The frame size of devices created from now on (render/tool_switches.h);
// 0 x 0 when it is the back buffer's.
void OutputSize(int& width, int& height);

// The offscreen framebuffer of one device. Needs the device's GL context current.
class ScaledTarget {
 public:
  // A frame of frameWidth x frameHeight rendered at `scale` times that in each direction.
  ScaledTarget(int backWidth, int backHeight, int frameWidth, int frameHeight, int scale);
  ~ScaledTarget();
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Scale() const { return scale_; }
  // Binds the target for drawing, its viewport and scissor on the picture.
  void BindForDrawing() const;
  // Takes over the back buffer's area of the window, where the device has drawn a frame.
  void CopyFromWindow() const;
  // Shows the picture in the window, filtered to the window's size with its own shape kept
  // and black bars around it, leaving the target bound for drawing.
  void BlitToWindow(int windowWidth, int windowHeight) const;
  // The frame filtered down to Width() x Height() RGBA, top row first.
  void Read(std::vector<uint8_t>& rgba) const;

 private:
  int width_, height_, scale_;
  FrameRect picture_;  // in rendered pixels, y from the top
  unsigned framebuffer_ = 0, color_ = 0, depth_ = 0;
};

// The bound framebuffer's width x height pixels as RGBA, top row first.
void ReadPixelsTopDown(int width, int height, std::vector<uint8_t>& rgba);

// A frame rendered at `scale` times width x height, as GL reads it (bottom row first),
// filtered down to width x height RGBA, top row first; at scale 1 only turned over.
void FilterDown(const uint8_t* rendered, int width, int height, int scale, uint8_t* rgba);
