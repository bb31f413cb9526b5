// What the mesh, world-quad and morph tests share: a fresh temporary directory with a
// Data folder as the current directory, writers for the .msh, .x and .bmp bytes the tests
// load, a fixed camera, and read-back of a mesh's buffers.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "render/d3dx_math.h"
#include "tests/gl_test.h"
#include "tests/kept_objects.h"

// A real device, and a temporary directory as the current one while the test runs.
class DataDirTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    char pattern[] = "/tmp/emberhall_mesh_XXXXXX";
    root_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    std::filesystem::create_directory("Data");
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(root_);
    DeviceTest::TearDown();
  }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }

  std::string root_;
  std::filesystem::path previous_;
  KeptObjects kept_;  // what the test loaded, released after it
};

// Little-endian bytes of a .msh file, field by field.
class MshBytes {
 public:
  MshBytes& U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_ += char(value >> (8 * i) & 0xFF);
    return *this;
  }
  MshBytes& F32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return U32(bits);
  }
  MshBytes& Header(uint32_t flags, uint32_t vertexCount, uint32_t faceCount) {
    return U32(flags).U32(vertexCount).U32(faceCount);
  }
  MshBytes& Vec(float x, float y, float z) { return F32(x).F32(y).F32(z); }
  MshBytes& Face(uint32_t i0, uint32_t i1, uint32_t i2) { return U32(i0).U32(i1).U32(i2); }
  MshBytes& Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// A 2x2 24-bit BMP of one colour: with linear filtering every sample is exactly it.
inline std::string SolidBmp(uint8_t r, uint8_t g, uint8_t b) {
  auto put = [](std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i) & 0xFF);
  };
  std::string out = "BM";
  put(out, 54 + 16, 4), put(out, 0, 4), put(out, 54, 4);
  put(out, 40, 4), put(out, 2, 4), put(out, 2, 4), put(out, 1, 2), put(out, 24, 2);
  for (int i = 0; i < 6; ++i) put(out, 0, 4);
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 2; ++x) out += char(b), out += char(g), out += char(r);
    out.append(2, '\0');
  }
  return out;
}

// A .msh square -50..50 in x and y at z = 0, two triangles, texture coordinates 0..1.
inline std::string SquareMsh() {
  MshBytes m;
  m.Header(4, 4, 2);
  m.Vec(-50, -50, 0).Vec(50, -50, 0).Vec(50, 50, 0).Vec(-50, 50, 0);
  m.Face(0, 1, 2).F32(0).F32(1).F32(1).F32(1).F32(1).F32(0);
  m.Face(0, 2, 3).F32(0).F32(1).F32(1).F32(0).F32(0).F32(0);
  return m.Bytes();
}

// A text .x cube from -1 to 1: vertex i sits at x = +1 when bit 0 of i is set, y with
// bit 1, z with bit 2 (-1 otherwise). Each side is one quad, wound so that the cross
// product of its edges points outward. Optional texture coordinates u = (x + 1) / 2,
// v = (1 - y) / 2, and vertex colours: red for bit 0, green for bit 1, blue for bit 2.
inline std::string CubeX(bool texCoords, bool colours) {
  std::string x = "xof 0302txt 0032\nMesh cube {\n 8;\n";
  for (int i = 0; i < 8; ++i)
    x += std::string(" ") + (i & 1 ? "1" : "-1") + ";" + (i & 2 ? "1" : "-1") + ";" +
         (i & 4 ? "1" : "-1") + ";" + (i < 7 ? ",\n" : ";\n");
  x += " 6;\n 4;4,5,7,6;,\n 4;0,2,3,1;,\n 4;1,3,7,5;,\n 4;0,4,6,2;,\n 4;2,6,7,3;,\n"
       " 4;0,1,5,4;;\n";
  if (texCoords) {
    x += " MeshTextureCoords {\n  8;\n";
    for (int i = 0; i < 8; ++i)
      x += std::string("  ") + (i & 1 ? "1" : "0") + ";" + (i & 2 ? "0" : "1") + ";" +
           (i < 7 ? ",\n" : ";\n");
    x += " }\n";
  }
  if (colours) {
    x += " MeshVertexColors {\n  8;\n";
    for (int i = 0; i < 8; ++i)
      x += "  " + std::to_string(i) + ";" + (i & 1 ? "1" : "0") + ";" + (i & 2 ? "1" : "0") + ";" +
           (i & 4 ? "1" : "0") + ";1;" + (i < 7 ? ",\n" : ";\n");
    x += " }\n";
  }
  return x + "}\n";
}

// The colour CubeX gives vertex i.
inline D3DCOLOR CubeColour(int i) {
  return 0xFF000000u | (i & 1 ? 0xFF0000u : 0) | (i & 2 ? 0xFF00u : 0) | (i & 4 ? 0xFFu : 0);
}

// From (0, 0, -100) toward the origin with a quarter-turn vertical field of view: the
// x-y plane at z = 0 shows -100..100 vertically, so a 100-unit square at the origin
// covers the middle of the screen and the corners stay clear. Culling off.
inline void AimTestCamera() {
  const D3DXVECTOR3 eye = {0, 0, -100}, at = {0, 0, 0}, up = {0, 1, 0};
  D3DXMATRIX view, projection;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, 1.5707963f, 800.0f / 600.0f, 1.0f, 1000.0f);
  g_device->SetTransform(D3DTS_VIEW, &view);
  g_device->SetTransform(D3DTS_PROJECTION, &projection);
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

// Where the device's current world transform takes a point.
inline D3DVECTOR WorldTransformOf(float x, float y, float z) {
  D3DMATRIX m;
  g_device->GetTransform(D3DTS_WORLD, &m);
  return {x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0],
          x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1],
          x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2]};
}

inline bool IsIdentity(const D3DMATRIX& m) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (m.m[r][c] != (r == c ? 1.0f : 0.0f)) return false;
  return true;
}

// The calls of a record, with SetTransform cut to its transform type: the tests read the
// matrix itself back with GetTransform.
inline std::vector<std::string> RecordedCalls(const CallRecorder& recorder) {
  std::vector<std::string> calls = recorder.Calls();
  for (std::string& call : calls)
    if (call.starts_with("SetTransform(")) call = call.substr(0, call.find_first_of(",)")) + ")";
  return calls;
}

// The contents of a vertex or index buffer as last written.
inline std::vector<MeshVertex> VerticesOf(const IDirect3DVertexBuffer8* buffer) {
  std::vector<MeshVertex> vertices(buffer ? buffer->Length() / sizeof(MeshVertex) : 0);
  if (buffer) std::memcpy(vertices.data(), buffer->Memory(), vertices.size() * sizeof(MeshVertex));
  return vertices;
}
inline std::vector<uint16_t> IndicesOf(const IDirect3DIndexBuffer8* buffer) {
  std::vector<uint16_t> indices(buffer ? buffer->Length() / 2 : 0);
  if (buffer) std::memcpy(indices.data(), buffer->Memory(), indices.size() * 2);
  return indices;
}

// Rewrites a mesh's vertices in place, as a generator would.
template <typename Edit>
void EditVertices(Mesh& mesh, Edit edit) {
  BYTE* bytes = nullptr;
  ASSERT_EQ(mesh.vertexBuffer->Lock(0, 0, &bytes, 0), D3D_OK);
  std::vector<MeshVertex> vertices(mesh.vertexCount);
  std::memcpy(vertices.data(), bytes, vertices.size() * sizeof(MeshVertex));
  edit(vertices);
  std::memcpy(bytes, vertices.data(), vertices.size() * sizeof(MeshVertex));
  mesh.vertexBuffer->Unlock();
}
