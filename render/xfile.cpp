// X-file loading: the header, decompression where the file is compressed, then the parser
// over the lexer of the file's encoding. See xfile.h for the contract.
#include "render/xfile.h"

#include <string_view>

#include "render/byte_reader.h"
#include "render/mszip.h"
#include "render/xfile_lexer_binary.h"
#include "render/xfile_lexer_text.h"
#include "render/xfile_parser.h"

namespace {

constexpr size_t kHeaderSize = 16;

// The most a compressed file may expand: its decompressed size against its own size. Mesh
// data (numbers that vary) deflates by 2 to 6 times, and this leaves a wide margin for
// repetitive content, yet keeps a hostile file from asking for more than 64 bytes of memory
// per byte it has (deflate alone would allow over 1,000).
constexpr size_t kMaxExpansion = 64;

// After the header: the size of the whole decompressed file, its header included, then the
// MSZIP blocks of everything after the header.
bool Decompress(const uint8_t* data, size_t size, std::vector<uint8_t>& body) {
  ByteReader reader(data + kHeaderSize, size - kHeaderSize);
  uint32_t fileSize = 0;
  if (!reader.ReadU32(fileSize) || fileSize < kHeaderSize ||
      fileSize > uint64_t{kMaxExpansion} * size) {
    return false;
  }
  return InflateMszip(reader.Here(), reader.Remaining(), fileSize - kHeaderSize, body);
}

}  // namespace

bool ReadXFileFormat(const char* data, size_t size, XFileFormat& format) {
  if (data == nullptr || size < kHeaderSize) return false;
  const std::string_view header(data, kHeaderSize);
  const std::string_view version = header.substr(4, 4);
  const std::string_view encoding = header.substr(8, 4);
  const std::string_view floatSize = header.substr(12, 4);
  if (header.substr(0, 4) != "xof " ||
      (version != "0301" && version != "0302" && version != "0303") ||
      (floatSize != "0032" && floatSize != "0064")) {
    return false;
  }
  if (encoding != "txt " && encoding != "bin " && encoding != "tzip" && encoding != "bzip")
    return false;
  format.binary = encoding == "bin " || encoding == "bzip";
  format.compressed = encoding == "tzip" || encoding == "bzip";
  format.doubles = floatSize == "0064";
  return true;
}

std::string DescribeXFileFormat(const XFileFormat& format) {
  const std::string compressed = format.compressed ? "compressed " : "";
  if (!format.binary) return compressed + "text X file";
  return compressed + "binary X file with " + (format.doubles ? "64" : "32") + "-bit floats";
}

bool ParseXFile(const char* data, size_t size, XMesh& out) {
  out = XMesh{};
  XFileFormat format;
  if (!ReadXFileFormat(data, size, format)) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(data);
  const uint8_t* body = bytes + kHeaderSize;
  size_t bodySize = size - kHeaderSize;
  std::vector<uint8_t> inflated;
  if (format.compressed) {
    if (!Decompress(bytes, size, inflated)) return false;
    body = inflated.data();
    bodySize = inflated.size();
  }
  if (format.binary) {
    XBinaryLexer lexer(body, bodySize, format.doubles);
    return ParseXTokens(lexer, out);
  }
  const auto* text = reinterpret_cast<const char*>(body);
  XTextLexer lexer(text, text + bodySize);
  return ParseXTokens(lexer, out);
}
