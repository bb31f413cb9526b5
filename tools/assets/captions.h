// The demo's caption pictures: the presents line, the title, the place line, the closing
// line, the credit and the greeting. Each is light lettering with a tinted glow on black,
// because the demo adds the pictures to the frame (black adds nothing), and each is drawn at
// the proportions of the rectangle the demo stretches it over, so the letters keep their shape
// once stretched.
//
// Promises: the same bytes on every run (a fixed font file renders the same way); 24-bit BMP
// files; only the DejaVu fonts of fonts-dejavu-core are used.
// Does not: write the textures (textures.h) or decide where the demo shows the captions.
#pragma once

#include <span>
#include <string>

#include "tools/assets/textures.h"

// The six caption files WriteCaptions writes, in writing order.
std::span<const BitmapFile> CaptionFiles();

// Writes every file of CaptionFiles() into dataDir (made if missing). On failure (a missing
// font included) prints one line naming the file to stderr and returns false.
bool WriteCaptions(const std::string& dataDir);
