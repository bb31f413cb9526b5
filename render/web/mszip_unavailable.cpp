// The browser build's MSZIP: there is no zlib for it (Emscripten would download its own),
// so compressed X files are refused there like any file the loader cannot read. Text and
// binary X files, which is everything the default data set holds, load as on the desktop.
#include "render/mszip.h"

bool InflateMszip(const uint8_t*, size_t, size_t, std::vector<uint8_t>& out) {
  out.clear();
  return false;
}
