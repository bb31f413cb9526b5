// The tokens of an X file, whichever encoding they were read from, and the interface the
// X-file parser reads them through.
// Promises: a token source never reads outside the bytes it was given; it reports broken
// input as an Error token and the end of input as End, and keeps returning End after it.
// Separators (';' and ',') never reach the parser: the counts say how many values follow.
// Does not: own the input (the tokens' text points into it or into static storage).
#pragma once

#include <cstdint>
#include <string_view>

enum class XTokenKind { End, Error, Word, Number, String, Guid, Open, Close };

struct XToken {
  XTokenKind kind = XTokenKind::End;
  std::string_view text;  // Word: the name or keyword; String and Guid: as found in the input
  double value = 0;       // Number
  // Only integral numbers are accepted as counts and indices: in text, written without '.'
  // or exponent; in binary, read from an integer record.
  bool integral = false;
};

class XTokenSource {
 public:
  virtual ~XTokenSource() = default;
  virtual XToken Next() = 0;
  // The token Next would return, leaving it unread.
  virtual XToken Peek() const = 0;
  // At least as many numbers as the rest of the input can hold: a count above it is refused
  // before anything is sized from it.
  virtual uint64_t NumbersLeftAtMost() const = 0;
};
