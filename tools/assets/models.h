// The demo's default models, made by our own code: the cube fractal's cube, the forest's
// spruces, ground, sky, fire and sticks, the figure group (hat, head, two morph targets),
// the echoed vellmoth and the stone room's blocks, pillars, stones and hall.
//
// Promises: the eighteen files the demo loads (five text .x files, thirteen .msh files),
// each shaped for the placement calls the demo makes on it and loadable by the demo's own
// loaders; the same bytes on every run; under 0.6 MB in all.
// Does not: write textures, captions or sound.
#pragma once

#include <span>
#include <string>
#include <string_view>

// The file names WriteModels writes, in writing order.
std::span<const char* const> ModelFiles();

// The bytes of the default model file `fileName` (one of ModelFiles()); empty for any other
// name.
std::string ModelBytes(std::string_view fileName);

// Writes every model into dataDir (which must exist). On failure prints one line naming
// the file to stderr and returns false.
bool WriteModels(const std::string& dataDir);
