// The binary X-file encoding: a stream of little-endian 16-bit token numbers, some of them
// followed by a record. Shared by the binary lexer and by the tools that write binary files.
//
//   NAME          u32 length, that many bytes (no terminator)
//   STRING        u32 length, that many bytes, then a ';' or ',' token as the terminator
//   INTEGER       u32
//   GUID          u32, u16, u16, 8 bytes
//   INTEGER_LIST  u32 count, count u32 values
//   FLOAT_LIST    u32 count, count floats of the size the header names (32 or 64 bits)
//
// Every other token stands alone: punctuation, and the keywords of template definitions.
#pragma once

#include <cstdint>
#include <string_view>

namespace xbin {

enum Token : uint16_t {
  kName = 1,
  kString = 2,
  kInteger = 3,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOpenBrace = 10,
  kCloseBrace = 11,
  kOpenParen = 12,
  kCloseParen = 13,
  kOpenBracket = 14,
  kCloseBracket = 15,
  kOpenAngle = 16,
  kCloseAngle = 17,
  kDot = 18,
  kComma = 19,
  kSemicolon = 20,
  kTemplate = 31,
  kWord = 40,
  kDword = 41,
  kFloat = 42,
  kDouble = 43,
  kChar = 44,
  kUchar = 45,
  kSword = 46,
  kSdword = 47,
  kVoid = 48,
  kLpstr = 49,
  kUnicode = 50,
  kCstring = 51,
  kArray = 52,
};

struct Keyword {
  uint16_t token;
  std::string_view spelling;  // as a text file spells it
};

// The stand-alone tokens that are neither braces nor separators: punctuation and the keywords
// of template definitions.
inline constexpr Keyword kKeywords[] = {
    {kOpenParen, "("}, {kCloseParen, ")"}, {kOpenBracket, "["},   {kCloseBracket, "]"},
    {kOpenAngle, "<"}, {kCloseAngle, ">"}, {kDot, "."},           {kTemplate, "template"},
    {kWord, "WORD"},   {kDword, "DWORD"},  {kFloat, "FLOAT"},     {kDouble, "DOUBLE"},
    {kChar, "CHAR"},   {kUchar, "UCHAR"},  {kSword, "SWORD"},     {kSdword, "SDWORD"},
    {kVoid, "VOID"},   {kLpstr, "STRING"}, {kUnicode, "UNICODE"}, {kCstring, "CSTRING"},
    {kArray, "array"},
};

}  // namespace xbin
