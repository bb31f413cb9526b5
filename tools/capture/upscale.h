// Pixel-for-pixel enlargement, the way videos of demos of this era are made for today's
// screens: every pixel of the rendered frame becomes an N x N block of the same colour (no
// filtering), and the enlarged picture sits centred in a larger frame with black bars around
// it. Scaled back down by N with nearest sampling, the picture is the rendered frame again.
#pragma once

#include <cstdint>

// Writes `rgba` (width x height, top row first) enlarged `factor` times into the middle of
// `frame` (frameWidth x frameHeight RGBA), the rest opaque black. The enlarged picture must
// fit: width * factor <= frameWidth, height * factor <= frameHeight.
void UpscaleCentred(const uint8_t* rgba, int width, int height, int factor, int frameWidth,
                    int frameHeight, uint8_t* frame);
