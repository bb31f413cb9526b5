#include "tools/assets/model_writers.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

constexpr uint32_t kHasTexCoords = 4;

void PutU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += char((value >> shift) & 0xFF);
}

void PutF32(std::string& out, float value) {
  PutU32(out, std::bit_cast<uint32_t>(value));
}

// Four decimals, never "-0.0000": what rounds to zero is written as zero.
void PutNumber(std::string& out, float value) {
  if (std::fabs(value) < 0.00005f) value = 0;
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
  out.append(text, end.ptr);
}

// Items of a list end in ',' except the last, which ends in ';' (the list's own end).
const char* ListEnd(size_t i, size_t count) {
  return i + 1 < count ? ",\n" : ";\n";
}

}  // namespace

std::string MshBytes(const Model& model) {
  const bool withTexCoords = !model.uvs.empty();
  std::string out;
  PutU32(out, withTexCoords ? kHasTexCoords : 0);
  PutU32(out, uint32_t(model.positions.size()));
  PutU32(out, uint32_t(model.triangles.size()));
  for (const Vec3& p : model.positions) {
    PutF32(out, p.x);
    PutF32(out, p.y);
    PutF32(out, p.z);
  }
  for (const auto& triangle : model.triangles) {
    for (const uint32_t index : triangle) PutU32(out, index);
    if (!withTexCoords) continue;
    for (const uint32_t index : triangle) {
      PutF32(out, model.uvs[index].u);
      PutF32(out, model.uvs[index].v);
    }
  }
  return out;
}

std::string XText(const Model& model, const std::string& meshName) {
  std::string out = "xof 0302txt 0032\n\nMesh " + meshName + " {\n";
  const size_t vertexCount = model.positions.size();
  out += " " + std::to_string(vertexCount) + ";\n";
  for (size_t i = 0; i < vertexCount; ++i) {
    const Vec3 p = model.positions[i];
    out += " ";
    for (const float value : {p.x, p.y, p.z}) {
      PutNumber(out, value);
      out += ';';
    }
    out += ListEnd(i, vertexCount);
  }
  const size_t faceCount = model.triangles.size();
  out += " " + std::to_string(faceCount) + ";\n";
  for (size_t f = 0; f < faceCount; ++f) {
    const auto& t = model.triangles[f];
    out += " 3;" + std::to_string(t[0]) + ',' + std::to_string(t[1]) + ',' + std::to_string(t[2]) +
           ';';
    out += ListEnd(f, faceCount);
  }
  if (!model.uvs.empty()) {
    out += "\n MeshTextureCoords {\n  " + std::to_string(vertexCount) + ";\n";
    for (size_t i = 0; i < vertexCount; ++i) {
      out += "  ";
      PutNumber(out, model.uvs[i].u);
      out += ';';
      PutNumber(out, model.uvs[i].v);
      out += ';';
      out += ListEnd(i, vertexCount);
    }
    out += " }\n";
  }
  out += "}\n";
  return out;
}
