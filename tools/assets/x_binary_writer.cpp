// Text X files rewritten as binary and compressed files; see x_binary_writer.h.
#include "tools/assets/x_binary_writer.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "render/xfile.h"
#include "render/xfile_binary_format.h"
#include "tools/assets/models.h"

namespace {

constexpr size_t kHeaderSize = 16;
// What one MSZIP block holds before compression: deflate's whole window.
constexpr size_t kBlockSize = 32768;

void Put16(std::string& out, uint32_t value) {
  out += char(value & 0xFF);
  out += char((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutText(std::string& out, uint16_t token, std::string_view text) {
  Put16(out, token);
  Put32(out, uint32_t(text.size()));
  out += text;
}

// "<3D82AB43-62DA-11cf-AB39-0020AF71E433>" as its four fields; false when malformed.
bool PutGuid(std::string& out, std::string_view text) {
  if (text.size() != 38 || text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-')
    return false;
  std::string hex;
  for (const char c : text.substr(1, 36))
    if (c != '-') hex += c;
  auto field = [&](size_t at, size_t digits, uint32_t& value) {
    value = 0;
    for (size_t i = at; i < at + digits; ++i) {
      const char c = hex[i];
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return false;
      value = value << 4 | uint32_t(digit);
    }
    return true;
  };
  uint32_t data1 = 0, data2 = 0, data3 = 0;
  if (!field(0, 8, data1) || !field(8, 4, data2) || !field(12, 4, data3)) return false;
  Put16(out, xbin::kGuid);
  Put32(out, data1);
  Put16(out, data2);
  Put16(out, data3);
  for (size_t i = 16; i < 32; i += 2) {
    uint32_t byte = 0;
    if (!field(i, 2, byte)) return false;
    out += char(byte);
  }
  return true;
}

uint16_t KeywordToken(std::string_view spelling) {
  for (const xbin::Keyword& keyword : xbin::kKeywords)
    if (keyword.spelling == spelling) return keyword.token;
  return 0;
}

// A word of a template definition, such as "indices[nIndices]" or "[...]": punctuation and
// keywords as their tokens, the rest as names.
void PutTemplateWord(std::string& out, std::string_view word) {
  auto putPart = [&](std::string_view part) {
    if (part.empty()) return;
    if (const uint16_t token = KeywordToken(part)) {
      Put16(out, token);
    } else {
      PutText(out, xbin::kName, part);
    }
  };
  size_t start = 0;
  for (size_t i = 0; i < word.size(); ++i) {
    const uint16_t token = KeywordToken(word.substr(i, 1));
    if (token == 0) continue;
    putPart(word.substr(start, i - start));
    Put16(out, token);
    start = i + 1;
  }
  putPart(word.substr(start));
}

// One token of the text our model writer makes: braces, a quoted string, a <GUID>, or a
// word between separators (whitespace, ';' and ','), which is a number when it reads whole
// as one. The files have no comments and every string and GUID is closed.
struct TextToken {
  enum Kind { kEnd, kOpen, kClose, kString, kGuid, kWord, kNumber } kind = kEnd;
  std::string_view text;
  double value = 0;
  bool integral = false;  // a number written without '.' or exponent
};

class TextTokens {
 public:
  explicit TextTokens(std::string_view text) : text_(text) {}

  TextToken Next() {
    while (at_ < text_.size() && IsSeparator(text_[at_])) ++at_;
    TextToken t;
    if (at_ == text_.size()) return t;
    const size_t start = at_;
    const char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      t.kind = c == '{' ? TextToken::kOpen : TextToken::kClose;
    } else if (c == '"' || c == '<') {
      at_ = std::min(text_.find(c == '"' ? '"' : '>', at_ + 1), text_.size() - 1) + 1;
      t.kind = c == '"' ? TextToken::kString : TextToken::kGuid;
    } else {
      while (at_ < text_.size() && !IsSeparator(text_[at_]) && !std::strchr("{}\"<", text_[at_]))
        ++at_;
      t.kind = TextToken::kWord;
    }
    t.text = text_.substr(start, at_ - start);
    if (t.kind == TextToken::kWord) ReadNumber(t);
    return t;
  }

 private:
  static bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == ';' || c == ',';
  }

  static void ReadNumber(TextToken& t) {
    const std::string word(t.text);
    if (word.find_first_not_of("+-.0123456789eE") != std::string::npos) return;
    char* end = nullptr;
    t.value = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size()) return;
    t.kind = TextToken::kNumber;
    t.integral = word.find_first_of(".eE") == std::string::npos;
  }

  std::string_view text_;
  size_t at_ = 0;
};

// A run of numbers of one kind, written as one list when the run ends.
class NumberRun {
 public:
  explicit NumberRun(bool doubles) : doubles_(doubles) {}

  void Add(std::string& out, const TextToken& t) {
    const bool integer =
        t.integral && !std::signbit(t.value) && t.value <= 4294967295.0;  // keeps -0 a float
    if (count_ > 0 && integer != integers_) Flush(out);
    integers_ = integer;
    ++count_;
    if (integer) {
      Put32(values_, uint32_t(t.value));
    } else if (doubles_) {
      const uint64_t bits = std::bit_cast<uint64_t>(t.value);
      Put32(values_, uint32_t(bits));
      Put32(values_, uint32_t(bits >> 32));
    } else {
      Put32(values_, std::bit_cast<uint32_t>(float(t.value)));
    }
  }

  void Flush(std::string& out) {
    if (count_ == 0) return;
    Put16(out, integers_ ? xbin::kIntegerList : xbin::kFloatList);
    Put32(out, count_);
    out += values_;
    values_.clear();
    count_ = 0;
  }

 private:
  bool doubles_;
  bool integers_ = false;
  uint32_t count_ = 0;
  std::string values_;
};

// Deflates `block` as a raw stream with `history` as its dictionary.
bool Deflate(std::string_view history, std::string_view block, std::string& out) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK)
    return false;
  const bool ok = deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(history.data()),
                                       uInt(history.size())) == Z_OK;
  out.resize(deflateBound(&stream, uLong(block.size())));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
  stream.avail_in = uInt(block.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = uInt(out.size());
  const bool done = ok && deflate(&stream, Z_FINISH) == Z_STREAM_END;
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return done;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

std::string XBinaryFromText(std::string_view text, bool doubles) {
  XFileFormat format;
  if (!ReadXFileFormat(text.data(), text.size(), format) || format.binary || format.compressed)
    return {};
  std::string out = "xof " + std::string(text.substr(4, 4)) + "bin " + (doubles ? "0064" : "0032");
  TextTokens tokens(text.substr(kHeaderSize));
  NumberRun numbers(doubles);
  // Braces open inside the template being defined, 0 outside templates.
  int templateDepth = 0;
  bool templateNext = false;
  for (;;) {
    const TextToken t = tokens.Next();
    if (t.kind == TextToken::kNumber) {
      numbers.Add(out, t);
      continue;
    }
    numbers.Flush(out);
    switch (t.kind) {
      case TextToken::kEnd:
        return out;
      case TextToken::kWord:
        if (templateDepth > 0) {
          PutTemplateWord(out, t.text);
        } else if (t.text == "template") {
          Put16(out, xbin::kTemplate);
          templateNext = true;
        } else {
          PutText(out, xbin::kName, t.text);
        }
        break;
      case TextToken::kString:
        PutText(out, xbin::kString, t.text.substr(1, t.text.size() - 2));
        Put32(out, xbin::kSemicolon);
        break;
      case TextToken::kGuid:
        if (!PutGuid(out, t.text)) return {};
        break;
      case TextToken::kOpen:
        Put16(out, xbin::kOpenBrace);
        if (templateDepth > 0 || std::exchange(templateNext, false)) ++templateDepth;
        break;
      case TextToken::kClose:
        Put16(out, xbin::kCloseBrace);
        if (templateDepth > 0) --templateDepth;
        break;
      default:
        return {};
    }
  }
}

std::string XCompress(std::string_view file) {
  XFileFormat format;
  if (!ReadXFileFormat(file.data(), file.size(), format) || format.compressed) return {};
  std::string out(file.substr(0, kHeaderSize));
  out.replace(8, 4, format.binary ? "bzip" : "tzip");
  const std::string_view body = file.substr(kHeaderSize);
  Put32(out, uint32_t(file.size()));
  for (size_t at = 0; at < body.size(); at += kBlockSize) {
    const size_t historyStart = at < kBlockSize ? 0 : at - kBlockSize;
    std::string packed;
    if (!Deflate(body.substr(historyStart, at - historyStart), body.substr(at, kBlockSize), packed))
      return {};
    Put16(out, uint32_t(std::min(kBlockSize, body.size() - at)));
    Put16(out, uint32_t(packed.size() + 2));
    out += "CK";
    out += packed;
  }
  return out;
}

std::vector<XFileForm> XFileForms(std::string_view text) {
  const std::string bin32 = XBinaryFromText(text, false);
  const std::string bin64 = XBinaryFromText(text, true);
  return {{"txt", std::string(text)},
          {"bin32", bin32},
          {"bin64", bin64},
          {"tzip", XCompress(text)},
          {"bzip32", XCompress(bin32)},
          {"bzip64", XCompress(bin64)}};
}

bool WriteXFileForms(const std::string& dir) {
  for (const char* name : ModelFiles()) {
    const std::string_view file = name;
    if (!file.ends_with(".x")) continue;
    const std::string stem(file.substr(0, file.size() - 2));
    for (const XFileForm& form : XFileForms(ModelBytes(file))) {
      const std::string path = dir + "/" + stem + "." + form.name + ".x";
      if (!WriteFile(path, form.bytes)) {
        std::fprintf(stderr, "emberhall-assets: cannot write %s\n", path.c_str());
        return false;
      }
    }
  }
  return true;
}
