// Text DirectX .x parser: turns every Mesh of a file into one merged triangle mesh.
// Promises: reads only the `size` bytes it is given, never allocates more than a small
// multiple of the input (counts are checked against the bytes left before anything is
// sized from them), and refuses the whole file on the first inconsistency.
// Does not: accept binary or compressed files, keep materials, normal values, skin or
// animation data, or follow references to objects declared elsewhere.
#include "render/xfile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <locale>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>

namespace {

// With at most 65536 vertices every index of the merged mesh fits 16 bits.
constexpr uint64_t kMaxVertices = 65536;
constexpr uint64_t kMaxFaces = 10'000'000;
// Frames recurse; a hostile file must not be able to exhaust the stack.
constexpr int kMaxFrameDepth = 256;

using Matrix = std::array<float, 16>;
using Normal = std::array<float, 3>;

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

enum class TokenKind { End, Error, Word, Number, String, Guid, Open, Close };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;
  double value = 0;
  // Written without '.' or exponent: only such numbers are accepted as counts and indices.
  bool integral = false;
};

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
bool ParseNumber(Token& t) {
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

class Lexer {
 public:
  Lexer(const char* begin, const char* end) : pos_(begin), end_(end) {}

  size_t Remaining() const { return static_cast<size_t>(end_ - pos_); }

  Token Peek() const {
    Lexer copy = *this;
    return copy.Next();
  }

  Token Next() {
    SkipSeparatorsAndComments();
    Token t;
    if (pos_ == end_) return t;
    const char* start = pos_;
    const char c = *pos_;
    if (c == '{' || c == '}') {
      ++pos_;
      t.kind = c == '{' ? TokenKind::Open : TokenKind::Close;
    } else if (c == '"' || c == '<') {
      const char close = c == '"' ? '"' : '>';
      const void* found = std::memchr(pos_ + 1, close, Remaining() - 1);
      if (found == nullptr) {
        pos_ = end_;
        t.kind = TokenKind::Error;
        return t;
      }
      pos_ = static_cast<const char*>(found) + 1;
      t.kind = c == '"' ? TokenKind::String : TokenKind::Guid;
    } else {
      while (pos_ < end_ && !IsSeparator(*pos_) && !StartsOwnToken(*pos_) && !AtComment()) ++pos_;
      t.kind = TokenKind::Word;
    }
    t.text = std::string_view(start, static_cast<size_t>(pos_ - start));
    if (t.kind == TokenKind::Word && ParseNumber(t)) t.kind = TokenKind::Number;
    return t;
  }

 private:
  bool AtComment() const {
    return *pos_ == '#' || (*pos_ == '/' && pos_ + 1 < end_ && pos_[1] == '/');
  }

  void SkipSeparatorsAndComments() {
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

  const char* pos_;
  const char* end_;
};

bool HeaderIsText(const char* text, size_t size) {
  if (size < 16) return false;
  const std::string_view header(text, 16);
  const std::string_view version = header.substr(4, 4);
  const std::string_view floatSize = header.substr(12, 4);
  return header.substr(0, 4) == "xof " &&
         (version == "0301" || version == "0302" || version == "0303") &&
         header.substr(8, 4) == "txt " && (floatSize == "0032" || floatSize == "0064");
}

uint32_t ColorByte(float channel) {
  return static_cast<uint32_t>(std::clamp(channel, 0.0f, 1.0f) * 255.0f + 0.5f);
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix r{};
  for (size_t i = 0; i < 4; ++i)
    for (size_t j = 0; j < 4; ++j)
      for (size_t k = 0; k < 4; ++k) r[i * 4 + j] += a[i * 4 + k] * b[k * 4 + j];
  return r;
}

// One Mesh object as read, before it joins the merged result.
struct MeshData {
  size_t vertexCount = 0;  // as declared; copies made for split normals come after these
  std::vector<float> positions;
  std::vector<float> texcoords;  // empty without MeshTextureCoords
  std::vector<uint32_t> colors;  // empty without MeshVertexColors
  std::vector<uint32_t> faceSizes;
  std::vector<uint32_t> corners;  // all faces' vertex indices back to back
  std::vector<Normal> normals;
  std::vector<uint32_t> cornerNormals;  // parallel to `corners`; empty without MeshNormals
};

struct Frame {
  Matrix matrix = kIdentity;
  int parent = -1;
};

// Vertices [first, end) of the merged mesh belong to a Mesh declared inside `frame`.
struct PlacedMesh {
  size_t first = 0;
  size_t end = 0;
  int frame = -1;
};

class Parser {
 public:
  Parser(const char* begin, const char* end) : lex_(begin, end) {}

  bool Parse(XMesh& out) {
    if (!ParseObjects(-1, 0)) return false;
    // Meshes without faces leave nothing to draw: treated like a file without a Mesh.
    if (mesh_.indices.empty()) return false;
    ApplyFrames();
    if (!anyTexcoords_) mesh_.texcoords.clear();
    if (!anyColors_) mesh_.colors.clear();
    out = std::move(mesh_);
    return true;
  }

 private:
  // Reads objects until the '}' closing `frame`, or until end of input at top level.
  bool ParseObjects(int frame, int depth) {
    for (;;) {
      const Token t = lex_.Next();
      switch (t.kind) {
        case TokenKind::End:
          return frame < 0;
        case TokenKind::Close:
          return frame >= 0;
        case TokenKind::Open:  // a reference such as { Name }: instancing is not supported
          if (!SkipBody()) return false;
          break;
        case TokenKind::Word:
          if (!ReadObjectHeader() || !ParseObject(t.text, frame, depth)) return false;
          break;
        default:
          return false;
      }
    }
  }

  // `template Name {` has the same shape as a data object, so templates end up in
  // SkipBody like any other unknown type.
  bool ParseObject(std::string_view type, int frame, int depth) {
    if (type == "Frame") return ParseFrame(frame, depth + 1);
    if (type == "Mesh") return ParseMesh(frame);
    if (type == "FrameTransformMatrix" && frame >= 0)
      return ParseMatrix(frames_[static_cast<size_t>(frame)].matrix);
    return SkipBody();
  }

  // After the type word: an optional name, the '{', and an optional GUID.
  bool ReadObjectHeader() {
    Token t = lex_.Next();
    if (t.kind == TokenKind::Word || t.kind == TokenKind::Number) t = lex_.Next();
    if (t.kind != TokenKind::Open) return false;
    if (lex_.Peek().kind == TokenKind::Guid) lex_.Next();
    return true;
  }

  // Called just after a '{'; consumes up to and including its matching '}'.
  bool SkipBody() {
    for (size_t depth = 1;;) {
      const TokenKind kind = lex_.Next().kind;
      if (kind == TokenKind::Open) {
        ++depth;
      } else if (kind == TokenKind::Close) {
        if (--depth == 0) return true;
      } else if (kind == TokenKind::End || kind == TokenKind::Error) {
        return false;
      }
    }
  }

  bool ExpectClose() { return lex_.Next().kind == TokenKind::Close; }

  // A count of items that each take `numbersPerItem` numbers. Every number needs at
  // least one character plus a separator, so a count the remaining bytes cannot hold
  // is refused before anything is sized from it.
  bool ReadCount(uint64_t numbersPerItem, uint64_t& count) {
    const Token t = lex_.Next();
    if (t.kind != TokenKind::Number || !t.integral || t.value < 0 || t.value > 4294967295.0)
      return false;
    count = static_cast<uint64_t>(t.value);
    return count * numbersPerItem <= (static_cast<uint64_t>(lex_.Remaining()) + 1) / 2;
  }

  bool ReadIndex(uint64_t limit, uint32_t& index) {
    const Token t = lex_.Next();
    if (t.kind != TokenKind::Number || !t.integral || t.value < 0 ||
        t.value >= static_cast<double>(limit)) {
      return false;
    }
    index = static_cast<uint32_t>(t.value);
    return true;
  }

  bool ReadFloat(float& value) {
    const Token t = lex_.Next();
    value = static_cast<float>(t.value);
    return t.kind == TokenKind::Number && std::isfinite(value);
  }

  bool ReadFloats(float* values, size_t count) {
    for (size_t i = 0; i < count; ++i)
      if (!ReadFloat(values[i])) return false;
    return true;
  }

  bool ParseFrame(int parent, int depth) {
    if (depth > kMaxFrameDepth) return false;
    frames_.push_back(Frame{kIdentity, parent});
    return ParseObjects(static_cast<int>(frames_.size() - 1), depth);
  }

  // A second FrameTransformMatrix in the same Frame replaces the first.
  bool ParseMatrix(Matrix& matrix) {
    return ReadFloats(matrix.data(), matrix.size()) && ExpectClose();
  }

  bool ParseMesh(int frame) {
    MeshData m;
    uint64_t vertexCount = 0;
    if (!ReadCount(3, vertexCount) || MergedVertexCount() + vertexCount > kMaxVertices)
      return false;
    m.vertexCount = static_cast<size_t>(vertexCount);
    m.positions.resize(m.vertexCount * 3);
    if (!ReadFloats(m.positions.data(), m.positions.size())) return false;

    uint64_t faceCount = 0;
    if (!ReadCount(4, faceCount) || faceTotal_ + faceCount > kMaxFaces) return false;
    faceTotal_ += faceCount;
    for (uint64_t f = 0; f < faceCount; ++f) {
      uint64_t cornerCount = 0;
      if (!ReadCount(1, cornerCount) || cornerCount < 3) return false;
      m.faceSizes.push_back(static_cast<uint32_t>(cornerCount));
      for (uint64_t c = 0; c < cornerCount; ++c) {
        uint32_t index = 0;
        if (!ReadIndex(vertexCount, index)) return false;
        m.corners.push_back(index);
      }
    }

    for (;;) {
      const Token t = lex_.Next();
      if (t.kind == TokenKind::Close) break;
      if (t.kind == TokenKind::Open) {
        if (!SkipBody()) return false;
        continue;
      }
      if (t.kind != TokenKind::Word || !ReadObjectHeader()) return false;
      bool ok = false;
      if (t.text == "MeshTextureCoords") {
        ok = ParseTexcoords(m);
      } else if (t.text == "MeshVertexColors") {
        ok = ParseColors(m);
      } else if (t.text == "MeshNormals") {
        ok = ParseNormals(m);
      } else {
        ok = SkipBody();
      }
      if (!ok) return false;
    }
    return AppendMesh(m, frame);
  }

  bool ParseTexcoords(MeshData& m) {
    uint64_t count = 0;
    if (!ReadCount(2, count) || count != m.vertexCount) return false;
    m.texcoords.assign(m.vertexCount * 2, 0.0f);
    return ReadFloats(m.texcoords.data(), m.texcoords.size()) && ExpectClose();
  }

  // Entries name their vertex, so they may be sparse or out of order; unnamed vertices
  // stay 0.
  bool ParseColors(MeshData& m) {
    uint64_t count = 0;
    if (!ReadCount(5, count)) return false;
    m.colors.assign(m.vertexCount, 0);
    for (uint64_t i = 0; i < count; ++i) {
      uint32_t vertex = 0;
      float rgba[4];
      if (!ReadIndex(m.vertexCount, vertex) || !ReadFloats(rgba, 4)) return false;
      m.colors[vertex] = ColorByte(rgba[3]) << 24 | ColorByte(rgba[0]) << 16 |
                         ColorByte(rgba[1]) << 8 | ColorByte(rgba[2]);
    }
    return ExpectClose();
  }

  bool ParseNormals(MeshData& m) {
    uint64_t normalCount = 0;
    if (!ReadCount(3, normalCount)) return false;
    m.normals.assign(static_cast<size_t>(normalCount), Normal{});
    for (Normal& n : m.normals)
      if (!ReadFloats(n.data(), n.size())) return false;

    uint64_t faceCount = 0;
    if (!ReadCount(4, faceCount) || faceCount != m.faceSizes.size()) return false;
    m.cornerNormals.clear();
    for (const uint32_t size : m.faceSizes) {
      uint64_t cornerCount = 0;
      if (!ReadCount(1, cornerCount) || cornerCount != size) return false;
      for (uint32_t c = 0; c < size; ++c) {
        uint32_t index = 0;
        if (!ReadIndex(normalCount, index)) return false;
        m.cornerNormals.push_back(index);
      }
    }
    return ExpectClose();
  }

  // A vertex whose corners carry different normal values stands for several vertices
  // of the original model (a hard edge); each extra normal gets its own copy so the
  // renderer's generated normals can keep the edge.
  bool SplitByNormals(MeshData& m, size_t vertexBudget) {
    std::vector<const Normal*> first(m.vertexCount, nullptr);
    // Keyed by value: array comparison treats -0 and 0 as the same normal.
    std::map<std::pair<uint32_t, Normal>, uint32_t> copies;
    for (size_t c = 0; c < m.corners.size(); ++c) {
      const uint32_t v = m.corners[c];
      const Normal& normal = m.normals[m.cornerNormals[c]];
      if (first[v] == nullptr) {
        first[v] = &normal;
        continue;
      }
      if (*first[v] == normal) continue;
      const auto copyIndex = static_cast<uint32_t>(m.positions.size() / 3);
      const auto [it, added] = copies.try_emplace({v, normal}, copyIndex);
      if (added) {
        if (copyIndex >= vertexBudget) return false;
        CopyVertex(m, v);
      }
      m.corners[c] = it->second;
    }
    return true;
  }

  static void CopyVertex(MeshData& m, uint32_t v) {
    const float position[3] = {m.positions[v * 3], m.positions[v * 3 + 1], m.positions[v * 3 + 2]};
    m.positions.insert(m.positions.end(), position, position + 3);
    if (!m.texcoords.empty()) {
      const float uv[2] = {m.texcoords[v * 2], m.texcoords[v * 2 + 1]};
      m.texcoords.insert(m.texcoords.end(), uv, uv + 2);
    }
    if (!m.colors.empty()) m.colors.push_back(m.colors[v]);
  }

  bool AppendMesh(MeshData& m, int frame) {
    const size_t base = MergedVertexCount();
    if (!m.cornerNormals.empty() && !SplitByNormals(m, static_cast<size_t>(kMaxVertices - base)))
      return false;
    const size_t count = m.positions.size() / 3;

    mesh_.positions.insert(mesh_.positions.end(), m.positions.begin(), m.positions.end());
    if (m.texcoords.empty()) {
      mesh_.texcoords.resize(mesh_.texcoords.size() + count * 2, 0.0f);
    } else {
      mesh_.texcoords.insert(mesh_.texcoords.end(), m.texcoords.begin(), m.texcoords.end());
      anyTexcoords_ = true;
    }
    if (m.colors.empty()) {
      mesh_.colors.resize(mesh_.colors.size() + count, 0);
    } else {
      mesh_.colors.insert(mesh_.colors.end(), m.colors.begin(), m.colors.end());
      anyColors_ = true;
    }

    const auto offset = static_cast<uint32_t>(base);
    size_t start = 0;
    for (const uint32_t size : m.faceSizes) {
      const uint32_t* face = &m.corners[start];
      for (uint32_t k = 1; k + 1 < size; ++k) {
        mesh_.indices.insert(mesh_.indices.end(),
                             {face[0] + offset, face[k] + offset, face[k + 1] + offset});
      }
      start += size;
    }
    if (frame >= 0) placed_.push_back(PlacedMesh{base, base + count, frame});
    return true;
  }

  // Runs after the whole file because a FrameTransformMatrix may follow the Mesh it
  // moves. Row vectors: p' = p * M_own * M_parent * ...; the fourth column is ignored.
  void ApplyFrames() {
    for (const PlacedMesh& placed : placed_) {
      Matrix m = kIdentity;
      for (int f = placed.frame; f >= 0; f = frames_[static_cast<size_t>(f)].parent) {
        m = Multiply(m, frames_[static_cast<size_t>(f)].matrix);
      }
      for (size_t v = placed.first; v < placed.end; ++v) {
        float* p = &mesh_.positions[v * 3];
        const float x = p[0], y = p[1], z = p[2];
        for (size_t i = 0; i < 3; ++i) p[i] = x * m[i] + y * m[4 + i] + z * m[8 + i] + m[12 + i];
      }
    }
  }

  size_t MergedVertexCount() const { return mesh_.positions.size() / 3; }

  Lexer lex_;
  XMesh mesh_;
  std::vector<Frame> frames_;
  std::vector<PlacedMesh> placed_;
  uint64_t faceTotal_ = 0;
  bool anyTexcoords_ = false;
  bool anyColors_ = false;
};

}  // namespace

bool ParseXFile(const char* text, size_t size, XMesh& out) {
  out = XMesh{};
  if (text == nullptr || !HeaderIsText(text, size)) return false;
  Parser parser(text + 16, text + size);
  return parser.Parse(out);
}
