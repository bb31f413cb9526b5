// X-file loading: the header, then the parser over the lexer of the file's encoding.
// See xfile.h for the contract.
#include "render/xfile.h"

#include <string_view>

#include "render/xfile_lexer_text.h"
#include "render/xfile_parser.h"

namespace {

bool HeaderIsText(const char* text, size_t size) {
  if (size < 16) return false;
  const std::string_view header(text, 16);
  const std::string_view version = header.substr(4, 4);
  const std::string_view floatSize = header.substr(12, 4);
  return header.substr(0, 4) == "xof " &&
         (version == "0301" || version == "0302" || version == "0303") &&
         header.substr(8, 4) == "txt " && (floatSize == "0032" || floatSize == "0064");
}

}  // namespace

bool ParseXFile(const char* text, size_t size, XMesh& out) {
  out = XMesh{};
  if (text == nullptr || !HeaderIsText(text, size)) return false;
  XTextLexer lexer(text + 16, text + size);
  return ParseXTokens(lexer, out);
}
