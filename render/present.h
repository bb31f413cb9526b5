// Showing the 800x600 back buffer in a window of any size.
//
// The frame keeps its shape: it fills the largest rectangle of the back buffer's aspect
// ratio that fits the window's drawable (HiDPI pixels included), centred, with black bars
// where the shapes differ, filtered linearly. While the drawable is exactly the back
// buffer's size the device draws straight into the window and nothing is copied, so the
// picture is the device's own pixels; otherwise the device draws into an offscreen frame of
// the back buffer's size (a ScaledTarget of scale 1) that is stretched into the window.
// Coordinates, viewport and everything the demo draws stay those of the back buffer.
#pragma once

#include <memory>

struct GlSurface;
class ScaledTarget;

// A rectangle of pixels, measured from the top-left corner.
struct FrameRect {
  int x, y, width, height;
  bool operator==(const FrameRect&) const = default;
};

// Where a frame of frameWidth x frameHeight is shown in a window of the given size: the
// largest rectangle of its shape that fits, centred, its sides rounded to the nearest pixel.
// Capture frames of another size place the back buffer's picture the same way
// (render/render_scale.h).
FrameRect LetterboxRect(int frameWidth, int frameHeight, int windowWidth, int windowHeight);

// Shows the frame just drawn (width x height) in the window, lets a tool draw over it
// (g_renderSwitches.overlayHook) and swaps, then picks where the
// next frame is drawn: `target` is made when the window's drawable differs from the frame's
// size and dropped again when it matches (a target the capture tool asked for, supersampled
// or of another size, is always kept).
void PresentToWindow(GlSurface& surface, int width, int height,
                     std::unique_ptr<ScaledTarget>& target);
