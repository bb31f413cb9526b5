// Tokens of a text X file: words, numbers, quoted strings, <GUID>s and braces, with ';' and
// ',' separators, whitespace, control bytes and comments ('#' or '//' to the end of the line)
// skipped.
// Promises: reads only [begin, end); a string or GUID without its closing quote or '>' is an
// Error token.
// Does not: check the 16-byte header (the caller starts after it) or interpret escape
// sequences in strings.
#pragma once

#include <cstddef>

#include "render/xfile_token.h"

class XTextLexer final : public XTokenSource {
 public:
  XTextLexer(const char* begin, const char* end) : pos_(begin), end_(end) {}

  XToken Next() override;
  XToken Peek() const override;
  // Every number takes at least one character and a separator.
  uint64_t NumbersLeftAtMost() const override { return (uint64_t{Remaining()} + 1) / 2; }

 private:
  size_t Remaining() const { return static_cast<size_t>(end_ - pos_); }
  bool AtComment() const;
  void SkipSeparatorsAndComments();

  const char* pos_;
  const char* end_;
};
