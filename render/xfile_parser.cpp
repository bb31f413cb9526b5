// The X-file grammar over any token source; see xfile_parser.h for the contract.
#include "render/xfile_parser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "render/vertex_layout.h"

namespace {

constexpr uint64_t kMaxFaces = 10'000'000;
// Frames recurse; a hostile file must not be able to exhaust the stack.
constexpr int kMaxFrameDepth = 256;

using Matrix = std::array<float, 16>;
using Normal = std::array<float, 3>;

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

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
  explicit Parser(XTokenSource& tokens) : lex_(tokens) {}

  bool Parse(XMesh& out) {
    if (!ParseObjects(-1, 0)) return false;
    // Meshes without faces leave nothing to draw: treated like a file without a Mesh.
    if (mesh_.indices.empty() || !ApplyFrames()) return false;
    if (!anyTexcoords_) mesh_.texcoords.clear();
    if (!anyColors_) mesh_.colors.clear();
    out = std::move(mesh_);
    return true;
  }

 private:
  // Reads objects until the '}' closing `frame`, or until end of input at top level.
  bool ParseObjects(int frame, int depth) {
    for (;;) {
      const XToken t = lex_.Next();
      switch (t.kind) {
        case XTokenKind::End:
          return frame < 0;
        case XTokenKind::Close:
          return frame >= 0;
        case XTokenKind::Open:  // a reference such as { Name }: instancing is not supported
          if (!SkipBody()) return false;
          break;
        case XTokenKind::Word:
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
    XToken t = lex_.Next();
    if (t.kind == XTokenKind::Word || t.kind == XTokenKind::Number) t = lex_.Next();
    if (t.kind != XTokenKind::Open) return false;
    if (lex_.Peek().kind == XTokenKind::Guid) lex_.Next();
    return true;
  }

  // Called just after a '{'; consumes up to and including its matching '}'.
  bool SkipBody() {
    for (size_t depth = 1;;) {
      const XTokenKind kind = lex_.Next().kind;
      if (kind == XTokenKind::Open) {
        ++depth;
      } else if (kind == XTokenKind::Close) {
        if (--depth == 0) return true;
      } else if (kind == XTokenKind::End || kind == XTokenKind::Error) {
        return false;
      }
    }
  }

  bool ExpectClose() { return lex_.Next().kind == XTokenKind::Close; }

  // A count of items that each take `numbersPerItem` numbers. A count the rest of the
  // input cannot hold is refused before anything is sized from it.
  bool ReadCount(uint64_t numbersPerItem, uint64_t& count) {
    const XToken t = lex_.Next();
    if (t.kind != XTokenKind::Number || !t.integral || t.value < 0 || t.value > 4294967295.0)
      return false;
    count = static_cast<uint64_t>(t.value);
    return count * numbersPerItem <= lex_.NumbersLeftAtMost();
  }

  bool ReadIndex(uint64_t limit, uint32_t& index) {
    const XToken t = lex_.Next();
    if (t.kind != XTokenKind::Number || !t.integral || t.value < 0 ||
        t.value >= static_cast<double>(limit)) {
      return false;
    }
    index = static_cast<uint32_t>(t.value);
    return true;
  }

  bool ReadFloat(float& value) {
    const XToken t = lex_.Next();
    value = static_cast<float>(t.value);
    return t.kind == XTokenKind::Number && std::isfinite(value);
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
    if (!ReadCount(3, vertexCount) ||
        MergedVertexCount() + vertexCount > uint64_t{kMaxIndexedVertices})
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
      const XToken t = lex_.Next();
      if (t.kind == XTokenKind::Close) break;
      if (t.kind == XTokenKind::Open) {
        if (!SkipBody()) return false;
        continue;
      }
      if (t.kind != XTokenKind::Word || !ReadObjectHeader()) return false;
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
    if (!m.cornerNormals.empty() &&
        !SplitByNormals(m, static_cast<size_t>(uint64_t{kMaxIndexedVertices} - base)))
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
    if (frame >= 0 && count > 0) placed_.push_back(PlacedMesh{base, base + count, frame});
    return true;
  }

  // Runs after the whole file because a FrameTransformMatrix may follow the Mesh it
  // moves. Row vectors: p' = p * M_own * M_parent * ...; the fourth column is ignored.
  // A frame comes after its parent in frames_, so one pass composes every frame's matrix
  // with its parents' once, however many meshes share it. Finite values can still
  // overflow, so the results are checked.
  bool ApplyFrames() {
    std::vector<Matrix> toRoot(frames_.size());
    for (size_t f = 0; f < frames_.size(); ++f) {
      const int parent = frames_[f].parent;
      toRoot[f] = parent < 0 ? frames_[f].matrix
                             : Multiply(frames_[f].matrix, toRoot[static_cast<size_t>(parent)]);
    }
    for (const PlacedMesh& placed : placed_) {
      const Matrix& m = toRoot[static_cast<size_t>(placed.frame)];
      for (size_t v = placed.first; v < placed.end; ++v) {
        float* p = &mesh_.positions[v * 3];
        const float x = p[0], y = p[1], z = p[2];
        for (size_t i = 0; i < 3; ++i) {
          p[i] = x * m[i] + y * m[4 + i] + z * m[8 + i] + m[12 + i];
          if (!std::isfinite(p[i])) return false;
        }
      }
    }
    return true;
  }

  size_t MergedVertexCount() const { return mesh_.positions.size() / 3; }

  XTokenSource& lex_;
  XMesh mesh_;
  std::vector<Frame> frames_;
  std::vector<PlacedMesh> placed_;
  uint64_t faceTotal_ = 0;
  bool anyTexcoords_ = false;
  bool anyColors_ = false;
};

}  // namespace

bool ParseXTokens(XTokenSource& tokens, XMesh& out) {
  Parser parser(tokens);
  return parser.Parse(out);
}
