// Tokens of a binary X file (see xfile_binary_format.h): names and keywords become Word
// tokens spelt as in text, integer and float lists become one Number token per value, and
// separators are skipped, so that the parser sees what it would see in the same file in text.
// Promises: every field is read through ByteReader; a record whose length or count runs past
// the end of the input, a token number the format does not define, an empty name or a token
// cut short is an Error token, after which only End follows.
// Does not: check the 16-byte header (the caller starts after it).
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/byte_reader.h"
#include "render/xfile_token.h"

class XBinaryLexer final : public XTokenSource {
 public:
  // `doubles`: float lists hold 64-bit values (header "0064") rather than 32-bit ones.
  XBinaryLexer(const uint8_t* data, size_t size, bool doubles)
      : reader_(data, size), doubles_(doubles) {}

  XToken Next() override;
  XToken Peek() const override;
  // No value takes fewer than four bytes.
  uint64_t NumbersLeftAtMost() const override { return listLeft_ + reader_.Remaining() / 4; }

 private:
  XToken Fail();
  bool ReadText(std::string_view& text);
  bool StartList(bool floats);
  XToken ListValue();

  ByteReader reader_;
  bool doubles_;
  bool floatList_ = false;  // which kind of list the values still to come belong to
  uint32_t listLeft_ = 0;
};
