// Text X-file tokens; see xfile_lexer_text.h for the contract.
#include "render/xfile_lexer_text.h"

#include <cmath>
#include <cstring>
#include <locale>
#include <sstream>

namespace {

// Exporters disagree on where ';' and ',' go, and the counts already say how many
// values follow, so both are treated as plain whitespace. Control bytes count as
// whitespace too because some files are padded with NULs.
bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == ';';
}

bool StartsOwnToken(char c) {
  return c == '{' || c == '}' || c == '"' || c == '<';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Only the shape [+-](digits[.digits]|.digits)([eE][+-]digits) is a number, so names
// such as "1_Mesh" or "Box-01" stay names.
bool ParseNumber(XToken& t) {
  const std::string_view s = t.text;
  size_t i = 0;
  auto skipDigits = [&] {
    const size_t start = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i - start;
  };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = skipDigits();
  t.integral = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    t.integral = false;
    digits += skipDigits();
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    t.integral = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (skipDigits() == 0) return false;
  }
  if (i != s.size()) return false;
  // Read in the classic locale: exact and independent of the program's locale. (The
  // browser build's library has no from_chars for floating point.) Out of range fails.
  std::istringstream in{std::string(s)};
  in.imbue(std::locale::classic());
  in >> t.value;
  return !in.fail() && std::isfinite(t.value);
}

}  // namespace

XToken XTextLexer::Peek() const {
  XTextLexer copy = *this;
  return copy.Next();
}

XToken XTextLexer::Next() {
  SkipSeparatorsAndComments();
  XToken t;
  if (pos_ == end_) return t;
  const char* start = pos_;
  const char c = *pos_;
  if (c == '{' || c == '}') {
    ++pos_;
    t.kind = c == '{' ? XTokenKind::Open : XTokenKind::Close;
  } else if (c == '"' || c == '<') {
    const char close = c == '"' ? '"' : '>';
    const void* found = std::memchr(pos_ + 1, close, Remaining() - 1);
    if (found == nullptr) {
      pos_ = end_;
      t.kind = XTokenKind::Error;
      return t;
    }
    pos_ = static_cast<const char*>(found) + 1;
    t.kind = c == '"' ? XTokenKind::String : XTokenKind::Guid;
  } else {
    while (pos_ < end_ && !IsSeparator(*pos_) && !StartsOwnToken(*pos_) && !AtComment()) ++pos_;
    t.kind = XTokenKind::Word;
  }
  t.text = std::string_view(start, static_cast<size_t>(pos_ - start));
  if (t.kind == XTokenKind::Word && ParseNumber(t)) t.kind = XTokenKind::Number;
  return t;
}

bool XTextLexer::AtComment() const {
  return *pos_ == '#' || (*pos_ == '/' && pos_ + 1 < end_ && pos_[1] == '/');
}

void XTextLexer::SkipSeparatorsAndComments() {
  while (pos_ < end_) {
    if (IsSeparator(*pos_)) {
      ++pos_;
    } else if (AtComment()) {
      while (pos_ < end_ && *pos_ != '\n') ++pos_;
    } else {
      return;
    }
  }
}
