// Says what a data file holds, read through the very loaders the demo uses, and what is
// wrong with one the demo could not use.
#pragma once

#include <string>

// Prints a report on `path` (.msh, .x, .bmp or .mp3) to stdout. Returns 0 when the demo
// can use the file, 1 when it cannot (the reason goes to stderr), 2 for an unknown kind.
// Needs the demo's device (meshes and textures load into it).
int InspectFile(const std::string& path);
