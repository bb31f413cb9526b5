// Binary X-file tokens; see xfile_lexer_binary.h for the contract.
#include "render/xfile_lexer_binary.h"

#include "render/xfile_binary_format.h"

namespace {

XToken Token(XTokenKind kind, std::string_view text = {}) {
  XToken t;
  t.kind = kind;
  t.text = text;
  return t;
}

XToken NumberToken(double value, bool integral) {
  XToken t;
  t.kind = XTokenKind::Number;
  t.value = value;
  t.integral = integral;
  return t;
}

std::string_view KeywordSpelling(uint16_t token) {
  for (const xbin::Keyword& keyword : xbin::kKeywords)
    if (keyword.token == token) return keyword.spelling;
  return {};
}

}  // namespace

XToken XBinaryLexer::Peek() const {
  XBinaryLexer copy = *this;
  return copy.Next();
}

XToken XBinaryLexer::Next() {
  for (;;) {
    if (listLeft_ > 0) return ListValue();
    if (reader_.Remaining() == 0) return Token(XTokenKind::End);
    uint16_t token = 0;
    if (!reader_.ReadU16(token)) return Fail();
    switch (token) {
      case xbin::kName: {
        std::string_view name;
        if (!ReadText(name) || name.empty()) return Fail();
        return Token(XTokenKind::Word, name);
      }
      case xbin::kString: {
        std::string_view text;
        if (!ReadText(text)) return Fail();
        // The terminator is documented as a 32-bit field holding the ';' or ',' token. Written
        // as a 16-bit token instead, it is an ordinary separator and skipped as such.
        ByteReader ahead = reader_;
        uint32_t terminator = 0;
        if (ahead.ReadU32(terminator) &&
            (terminator == xbin::kSemicolon || terminator == xbin::kComma)) {
          reader_ = ahead;
        }
        return Token(XTokenKind::String, text);
      }
      case xbin::kInteger: {
        uint32_t value = 0;
        if (!reader_.ReadU32(value)) return Fail();
        return NumberToken(value, true);
      }
      case xbin::kGuid: {
        const auto* bytes = reinterpret_cast<const char*>(reader_.Here());
        if (!reader_.Skip(16)) return Fail();
        return Token(XTokenKind::Guid, std::string_view(bytes, 16));
      }
      case xbin::kIntegerList:
      case xbin::kFloatList:
        if (!StartList(token == xbin::kFloatList)) return Fail();
        continue;
      case xbin::kOpenBrace:
        return Token(XTokenKind::Open);
      case xbin::kCloseBrace:
        return Token(XTokenKind::Close);
      case xbin::kComma:
      case xbin::kSemicolon:
        continue;
      default: {
        const std::string_view spelling = KeywordSpelling(token);
        if (spelling.empty()) return Fail();
        return Token(XTokenKind::Word, spelling);
      }
    }
  }
}

XToken XBinaryLexer::Fail() {
  listLeft_ = 0;
  (void)reader_.Skip(reader_.Remaining());
  return Token(XTokenKind::Error);
}

bool XBinaryLexer::ReadText(std::string_view& text) {
  uint32_t length = 0;
  if (!reader_.ReadU32(length)) return false;
  const auto* bytes = reinterpret_cast<const char*>(reader_.Here());
  if (!reader_.Skip(length)) return false;
  text = std::string_view(bytes, length);
  return true;
}

// The whole list must fit in what is left, so a hostile count costs nothing.
bool XBinaryLexer::StartList(bool floats) {
  uint32_t count = 0;
  if (!reader_.ReadU32(count)) return false;
  const size_t valueSize = floats && doubles_ ? 8 : 4;
  if (count > reader_.Remaining() / valueSize) return false;
  floatList_ = floats;
  listLeft_ = count;
  return true;
}

XToken XBinaryLexer::ListValue() {
  --listLeft_;
  if (!floatList_) {
    uint32_t value = 0;
    return reader_.ReadU32(value) ? NumberToken(value, true) : Fail();
  }
  if (doubles_) {
    double value = 0;
    return reader_.ReadF64(value) ? NumberToken(value, false) : Fail();
  }
  float value = 0;
  return reader_.ReadF32(value) ? NumberToken(value, false) : Fail();
}
