// The frame on screen, kept so that the studio can show it again under a new bar (a key
// that changes only the bar, while paused) without running the demo: a copy of the
// window's framebuffer taken after each drawn frame, before the bar goes over it.
//
// Its GL objects belong to the device whose context is current when they are made: told a
// new device (the session's count), it makes them again and forgets the old ones, which
// went with their context (the last ones go with the session's last device). Nothing is
// allocated per frame while the window keeps its size.
#pragma once

class HeldFrame {
 public:
  // Copies the bound framebuffer (the window's, `width` by `height`) of device `device`.
  void Keep(int device, int width, int height);
  // Draws the copy into the bound framebuffer; false when there is none of this device
  // and size (the window changed, or the device did), which then needs a frame drawn.
  bool Restore(int device, int width, int height) const;

 private:
  int device_ = -1, width_ = 0, height_ = 0;
  unsigned framebuffer_ = 0, texture_ = 0;
};
