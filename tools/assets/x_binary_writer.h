// Text X files in the other encodings the loader reads: binary tokens with 32- or 64-bit
// floats, and MSZIP-compressed text or binary. Tests compare the forms of every default model,
// the benchmarks time them, and the fuzz targets take them as seeds.
//
// XBinaryFromText keeps the file's objects, names, strings and GUIDs and writes each run of
// numbers as one list: integral numbers from 0 to 4294967295 as an integer list, all others as
// a float list. That is how a binary exporter writes our files (counts and indices integral,
// coordinates with a decimal point); a float written without one ("0;") becomes an integer,
// which the loader reads as the same value. Inside template definitions, punctuation and
// keywords become their own tokens.
// XCompress splits what follows the header into 32 KiB blocks, each deflated with the block
// before it as its dictionary.
// Promises: the same bytes for the same input; every form loads to the same mesh as the text.
// Does not: read binary input in XBinaryFromText, or write comments (binary files have none).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Empty when `text` is not a text X file as our model writer makes them (or has a malformed
// GUID).
std::string XBinaryFromText(std::string_view text, bool doubles);
// A text file becomes "tzip", a binary one "bzip", with the same version and float size.
// Empty when `file` has no X header.
std::string XCompress(std::string_view file);

struct XFileForm {
  std::string name;  // "txt", "bin32", "bin64", "tzip", "bzip32" or "bzip64"
  std::string bytes;
};
// `text` in every form, itself first.
std::vector<XFileForm> XFileForms(std::string_view text);

// Writes every default .x model in every form into `dir` (which must exist), named like
// "kub.bin32.x": a seed corpus for the X loader's fuzz target. False, with a message on
// stderr, when a file cannot be written.
bool WriteXFileForms(const std::string& dir);
