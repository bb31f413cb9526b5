#include "tools/common/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// libpng reports a failure by calling this, which must not return; it keeps libpng's message,
// with the system's reason when a write failed ("Write Error: No space left on device"), where
// the error pointer given to libpng points, then unwinds to the setjmp in Encode. Warnings are
// not worth a line on the console.
[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  if (auto* why = static_cast<std::string*>(png_get_error_ptr(png)))
    *why = std::string(message) + (errno ? std::string(": ") + std::strerror(errno) : "");
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Everything between setjmp and a failure is libpng's own C code, so nothing of ours is
// left half-made when it unwinds.
bool Encode(png_structp png, png_infop info, FILE* out, int width, int height,
            const uint8_t* rgba) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, out);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Each row with the filter that suits it best, then run-length deflate: on the demo's
  // frames as small as zlib's default level (within a few per cent), at a fraction of the
  // time, which a frame sequence spends on every frame.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  png_set_filler(png, 0, PNG_FILLER_AFTER);  // the rows are RGBA; the fourth byte is left out
  for (int y = 0; y < height; ++y) png_write_row(png, rgba + size_t(y) * size_t(width) * 4);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba,
              std::string* why) {
  std::string message;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    if (why) *why = std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  errno = 0;  // what is set from here on is the file's
  const bool encoded = info && Encode(png, info, out, width, height, rgba);
  png_destroy_write_struct(&png, &info);
  const int closeError = std::fclose(out) == 0 ? 0 : errno;
  if (encoded && closeError == 0) return true;
  if (why)
    *why = !encoded ? (message.empty() ? "libpng could not start" : message)
                    : std::strerror(closeError);
  return false;
}
