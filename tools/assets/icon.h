// The application icon the package installs for the desktop's menus: the data set's fire
// (the flame picture of the glade) burning over a dim ember glow, square.
//
// Promises: the same bytes on every run; a PNG file, the format every desktop reads.
// Does not: belong to the data set; the demo never loads it.
#pragma once

#include <string>

#include "tools/assets/textures_canvas.h"

// The icon at size x size pixels.
textures::Canvas PaintIcon(int size);

// Writes PaintIcon(size) as a PNG file; false, with one line on stderr, when it cannot.
bool WriteIcon(const std::string& path, int size);
