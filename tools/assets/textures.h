// The demo's default textures, painted by code: the five cube-fractal panels, the stones and
// spruces of the forest and the stone room, the additive fire, sky, floor and full-screen
// warp pictures, and the figure's face and hat.
//
// Promises: the same bytes on every run (fixed seeds, no clock); 24-bit BMP files in the
// letter case the demo's data set uses; the pictures marked `tiles` repeat without a seam.
// Does not: write the caption pictures (captions.h), models or sound.
#pragma once

#include <span>
#include <string>

struct BitmapFile {
  const char* name;  // file name inside the data directory, letter case as written
  int width;
  int height;
  bool tiles;  // its right edge meets its left and its bottom its top without a seam
};

// The seventeen texture files WriteTextures writes, in writing order.
std::span<const BitmapFile> TextureFiles();

// Writes every file of TextureFiles() into dataDir (made if missing). On failure prints one
// line naming the file to stderr and returns false.
bool WriteTextures(const std::string& dataDir);
