// The one lookup through which every data file the demo opens is found.
//
// Paths are written the demo's way ("Data\Gray.bmp", "data/solen.mp3"): a backslash is
// a separator, and each component matches a directory entry without regard to letter
// case. An exact match wins over a case-blind one, so the lookup is stable.
#pragma once

#include <string>

// The path of the existing file that `path` names, or "" when there is none.
std::string ResolveDataPath(const char* path);

// What keeps the data folder `folder` (looked up the same way) from being read: "no Data
// folder in /some/dir", "/some/dir/Data is not a folder", "cannot read /some/dir/Data
// (Permission denied)"; "" when it can be read.
std::string DataFolderProblem(const char* folder);

// The whole file `path` names (through ResolveDataPath); false when it cannot be read.
bool ReadDataFile(const char* path, std::string& contents);
