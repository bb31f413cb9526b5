// The mesh object: .x loading, the normal and texture-coordinate generators, placement
// and drawing, checked on the real device.
#include "mesh/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "render/tool_switches.h"
#include "tests/mesh/mesh_test_files.h"

namespace {

constexpr float kHalfPi = 1.5707963f;

class MeshTest : public DataDirTest {
 protected:
  Mesh LoadX(const std::string& text, const char* texture0 = nullptr) {
    WriteFile("Data/test.x", text);
    Mesh mesh;
    mesh.LoadX("Data\\test.x", texture0, nullptr);
    kept_.Keep(mesh);
    return mesh;
  }
  Mesh LoadMsh(const std::string& bytes, const char* texture0 = nullptr) {
    WriteFile("Data/test.msh", bytes);
    Mesh mesh;
    mesh.LoadMsh("Data\\test.msh", texture0, nullptr);
    kept_.Keep(mesh);
    return mesh;
  }
  Mesh LoadTriangle(D3DVECTOR a, D3DVECTOR b, D3DVECTOR c) {
    MshBytes m;
    m.Header(0, 3, 1).Vec(a.x, a.y, a.z).Vec(b.x, b.y, b.z).Vec(c.x, c.y, c.z).Face(0, 1, 2);
    return LoadMsh(m.Bytes());
  }
  // The 100-unit square of SquareMsh with a solid texture.
  Mesh TexturedSquare(uint8_t r, uint8_t g, uint8_t b) {
    WriteFile("Data/square.bmp", SolidBmp(r, g, b));
    return LoadMsh(SquareMsh(), "Data\\square.bmp");
  }
  static void ClearTo(D3DCOLOR colour) {
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
  }
};

// The names of the calls in a record, without their arguments.
std::vector<std::string> CallNames(const CallRecorder& recorder) {
  std::vector<std::string> names;
  for (const std::string& call : recorder.Calls()) names.push_back(call.substr(0, call.find('(')));
  return names;
}

void ExpectNormal(const MeshVertex& v, float nx, float ny, float nz) {
  EXPECT_NEAR(v.nx, nx, 1e-6f);
  EXPECT_NEAR(v.ny, ny, 1e-6f);
  EXPECT_NEAR(v.nz, nz, 1e-6f);
}

// ---------------------------------------------------------------- .x loading

TEST_F(MeshTest, XCubeKeepsPositionsAndTexCoordsAndGetsComputedNormals) {
  const Mesh mesh = LoadX(CubeX(true, false));
  ASSERT_EQ(mesh.vertexCount, 8u);
  ASSERT_EQ(mesh.faceCount, 12u);
  const std::vector<MeshVertex> v = VerticesOf(mesh.vertexBuffer);
  ASSERT_EQ(v.size(), 8u);
  EXPECT_EQ(IndicesOf(mesh.indexBuffer).size(), 36u);
  const float k = 1.0f / std::sqrt(3.0f);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const float x = i & 1 ? 1.0f : -1.0f, y = i & 2 ? 1.0f : -1.0f, z = i & 4 ? 1.0f : -1.0f;
    EXPECT_EQ(v[size_t(i)].x, x);
    EXPECT_EQ(v[size_t(i)].y, y);
    EXPECT_EQ(v[size_t(i)].z, z);
    EXPECT_EQ(v[size_t(i)].u, (x + 1) / 2);
    EXPECT_EQ(v[size_t(i)].v, (1 - y) / 2);
    EXPECT_EQ(v[size_t(i)].diffuse, 0u);
    ExpectNormal(v[size_t(i)], x * k, y * k, z * k);
  }
  EXPECT_FALSE(mesh.additive);
  EXPECT_TRUE(IsIdentity(mesh.world));
}

TEST_F(MeshTest, XFilesOwnNormalsNeverReachTheMesh) {
  std::string text = CubeX(false, false);
  // Every corner of the file claims the normal (0, 0, 1).
  text.insert(text.rfind('}'),
              " MeshNormals { 1; 0;0;1;; 6; 4;0,0,0,0;, 4;0,0,0,0;, 4;0,0,0,0;, 4;0,0,0,0;,"
              " 4;0,0,0,0;, 4;0,0,0,0;; }\n");
  const Mesh mesh = LoadX(text);
  ASSERT_EQ(mesh.vertexCount, 8u);
  const float k = 1.0f / std::sqrt(3.0f);
  ExpectNormal(VerticesOf(mesh.vertexBuffer)[0], -k, -k, -k);
}

TEST_F(MeshTest, XFrameTransformReachesTheMesh) {
  const Mesh mesh = LoadX(
      "xof 0302txt 0032\nFrame Moved {\n FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, "
      "10,20,30,1;; }\n Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n}\n");
  const std::vector<MeshVertex> v = VerticesOf(mesh.vertexBuffer);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[1].x, 11.0f);
  EXPECT_EQ(v[1].y, 20.0f);
  EXPECT_EQ(v[1].z, 30.0f);
}

TEST_F(MeshTest, XVertexColoursBecomeTheDiffuseAndShowWithoutATexture) {
  const Mesh cube = LoadX(CubeX(false, true));
  const std::vector<MeshVertex> v = VerticesOf(cube.vertexBuffer);
  ASSERT_EQ(v.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(v[size_t(i)].diffuse, CubeColour(i)) << i;

  // No texture on stage 0: the colour operation falls back to the vertex colour.
  Mesh square = LoadX(
      "xof 0302txt 0032\nMesh { 4; -50;-50;0;, 50;-50;0;, 50;50;0;, -50;50;0;; 1; 4;0,1,2,3;;\n"
      " MeshVertexColors { 4; 0;1;0.5;0;1;, 1;1;0.5;0;1;, 2;1;0.5;0;1;, 3;1;0.5;0;1;; } }\n");
  ClearTo(0xFF000040);
  AimTestCamera();
  square.Draw();
  EXPECT_EQ(Pixel(400, 300), (Rgba{255, 128, 0, 255}));
  EXPECT_EQ(Pixel(5, 5), (Rgba{0, 0, 64, 255}));
}

TEST_F(MeshTest, MissingOrMalformedXFileGivesAnEmptyMeshThatDrawsNothing) {
  WriteFile("Data/gray.bmp", SolidBmp(200, 200, 200));
  for (const char* text : {"", "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,"}) {
    Mesh mesh = LoadX(text, "Data\\gray.bmp");
    Mesh missing;
    missing.LoadX("Data\\missing.x", "Data\\gray.bmp", nullptr);
    kept_.Keep(missing);
    for (Mesh* m : {&mesh, &missing}) {
      EXPECT_EQ(m->vertexCount, 0u);
      EXPECT_EQ(m->faceCount, 0u);
      EXPECT_EQ(m->vertexBuffer, nullptr);
      EXPECT_EQ(m->indexBuffer, nullptr);
      EXPECT_NE(m->texture0, nullptr);
      ClearTo(0xFF102030);
      AimTestCamera();
      CallRecorder recorder;
      g_renderSwitches.recorder = &recorder;
      m->ComputeSmoothNormals();
      m->Draw();
      g_renderSwitches.recorder = nullptr;
      EXPECT_TRUE(recorder.Calls().empty());
      EXPECT_EQ(Pixel(400, 300), (Rgba{16, 32, 48, 255}));
    }
  }
}

TEST_F(MeshTest, LoadXCopiesTheNormalisedCloneIntoItsOwnBuffers) {
  WriteFile("Data/test.x", CubeX(true, false));
  WriteFile("Data/tex.bmp", SolidBmp(1, 2, 3));
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  Mesh mesh;
  mesh.LoadX("Data\\test.x", "Data\\tex.bmp", nullptr);
  kept_.Keep(mesh);
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(CallNames(recorder), (std::vector<std::string>{"D3DXLoadMeshFromX",
                                                           "D3DXCreateTextureFromFileA",
                                                           "Release",
                                                           "CloneMeshFVF",
                                                           "D3DXComputeNormals",
                                                           "CreateVertexBuffer",
                                                           "CreateIndexBuffer",
                                                           "GetVertexBuffer",
                                                           "Lock",
                                                           "Lock",
                                                           "Unlock",
                                                           "Unlock",
                                                           "Release",
                                                           "GetIndexBuffer",
                                                           "Lock",
                                                           "Lock",
                                                           "Unlock",
                                                           "Unlock",
                                                           "Release",
                                                           "Release",
                                                           "Release"}));
  const std::vector<std::string>& calls = recorder.Calls();
  ASSERT_EQ(calls.size(), 21u);
  EXPECT_EQ(calls[0].find("D3DXLoadMeshFromX(Data\\test.x, 272, "), 0u);
  EXPECT_NE(calls[3].find(", 272, 338, "), std::string::npos);
  EXPECT_EQ(calls[5], "CreateVertexBuffer(288, 8, 0, 1, " + mesh.vertexBuffer->Name() + ")");
  EXPECT_EQ(calls[6], "CreateIndexBuffer(72, 8, 101, 1, " + mesh.indexBuffer->Name() + ")");
  EXPECT_EQ(calls[8], "Lock(" + mesh.vertexBuffer->Name() + ", 0, 288, 0)");
  EXPECT_EQ(calls[14], "Lock(" + mesh.indexBuffer->Name() + ", 0, 72, 0)");
}

// ---------------------------------------------------------------- normal generation

TEST_F(MeshTest, FlatSquareGetsTheSameUnitNormalAtAllFourCorners) {
  Mesh mesh = LoadMsh(SquareMsh());
  mesh.ComputeSmoothNormals();
  for (const MeshVertex& v : VerticesOf(mesh.vertexBuffer)) {
    EXPECT_EQ(v.nx, 0.0f);
    EXPECT_EQ(v.ny, 0.0f);
    EXPECT_EQ(v.nz, 1.0f);
  }
}

TEST_F(MeshTest, VertexSharedByALargeAndASmallFaceLeansTowardTheLargeOne) {
  MshBytes m;
  m.Header(0, 5, 2);
  m.Vec(0, 0, 0).Vec(10, 0, 0).Vec(0, 10, 0);  // large face in the x-y plane
  m.Vec(0, 0, 1).Vec(1, 0, 0);                 // small face in the x-z plane
  m.Face(0, 1, 2).Face(0, 3, 4);
  Mesh mesh = LoadMsh(m.Bytes());
  mesh.ComputeSmoothNormals();
  // Unnormalised face normals (0, 0, 100) and (0, 1, 0): their mean, normalised.
  const float length = std::sqrt(100.0f * 100.0f + 1.0f);
  ExpectNormal(VerticesOf(mesh.vertexBuffer)[0], 0, 1 / length, 100 / length);
  ExpectNormal(VerticesOf(mesh.vertexBuffer)[1], 0, 0, 1);
  ExpectNormal(VerticesOf(mesh.vertexBuffer)[3], 0, 1, 0);
}

TEST_F(MeshTest, DegenerateFacesGiveUsedVerticesTheZeroNormal) {
  MshBytes m;
  m.Header(1, 4, 2);
  m.Vec(0, 0, 0).Vec(9, 9, 9).Vec(1, 1, 1).Vec(9, 9, 9).Vec(2, 2, 2).Vec(9, 9, 9);
  m.Vec(7, 7, 7).Vec(0.6f, 0.8f, 0);  // named by no face: keeps its normal
  m.Face(0, 1, 2).Face(2, 2, 0);
  Mesh mesh = LoadMsh(m.Bytes());
  mesh.ComputeSmoothNormals();
  const std::vector<MeshVertex> v = VerticesOf(mesh.vertexBuffer);
  for (int i = 0; i < 3; ++i) ExpectNormal(v[size_t(i)], 0, 0, 0);
  EXPECT_EQ(v[3].nx, 0.6f);
  EXPECT_EQ(v[3].ny, 0.8f);
}

// The normal of every vertex is defined by a loop over all faces for each vertex; the
// single pass over the faces must give the same floats, bit for bit.
TEST_F(MeshTest, SmoothNormalsEqualTheVertexByFaceDefinitionExactly) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coordinate(-100, 100);
  std::uniform_int_distribution<uint32_t> vertex(0, 59);
  MshBytes m;
  m.Header(0, 60, 300);
  std::vector<float> p;
  for (int i = 0; i < 60 * 3; ++i) p.push_back(coordinate(random));
  for (int i = 0; i < 60; ++i) m.Vec(p[size_t(i * 3)], p[size_t(i * 3 + 1)], p[size_t(i * 3 + 2)]);
  std::vector<uint32_t> faces;
  for (int f = 0; f < 300; ++f) {
    uint32_t a = vertex(random), b = vertex(random), c = vertex(random);
    if (f % 10 == 0) b = a;  // a face naming a vertex twice counts once for it
    m.Face(a, b, c);
    faces.insert(faces.end(), {a, b, c});
  }
  Mesh mesh = LoadMsh(m.Bytes());
  mesh.ComputeSmoothNormals();
  const std::vector<MeshVertex> v = VerticesOf(mesh.vertexBuffer);

  for (uint32_t r = 0; r < 60; ++r) {
    float sx = 0, sy = 0, sz = 0, count = 0;
    for (size_t f = 0; f < faces.size(); f += 3) {
      const uint32_t i0 = faces[f], i1 = faces[f + 1], i2 = faces[f + 2];
      if (i0 != r && i1 != r && i2 != r) continue;
      const float* a = &p[i0 * 3];
      const float* b = &p[i1 * 3];
      const float* c = &p[i2 * 3];
      const float d1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
      const float d2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      sx += d1[1] * d2[2] - d1[2] * d2[1];
      sy += d1[2] * d2[0] - d1[0] * d2[2];
      sz += d1[0] * d2[1] - d1[1] * d2[0];
      count += 1;
    }
    if (count == 0) continue;
    sx /= count, sy /= count, sz /= count;
    float length = std::sqrt(sx * sx + sy * sy + sz * sz);
    if (length == 0) length = 1;
    SCOPED_TRACE(r);
    EXPECT_EQ(v[r].nx, sx / length);
    EXPECT_EQ(v[r].ny, sy / length);
    EXPECT_EQ(v[r].nz, sz / length);
  }
}

// ---------------------------------------------------------------- texture coordinates

TEST_F(MeshTest, PlanarMappingOfTheHeadPutsTheImageTopAtYTwenty) {
  Mesh mesh = LoadTriangle({-20, 20, 5}, {20, -20, 0}, {0, 10, 0});
  mesh.PlanarMapTexCoords(-20, 20, 20, -20, 0, 0, 1);
  const std::vector<MeshVertex> v = VerticesOf(mesh.vertexBuffer);
  EXPECT_EQ(v[0].u, 0.0f);
  EXPECT_EQ(v[0].v, 0.0f);
  EXPECT_EQ(v[1].u, 1.0f);
  EXPECT_EQ(v[1].v, 1.0f);
  EXPECT_EQ(v[2].u, 0.5f);
  EXPECT_EQ(v[2].v, 0.25f);
}

TEST_F(MeshTest, PlanarMappingOfTheHatUsesXAndZ) {
  Mesh mesh = LoadTriangle({0, 9, -15}, {65, 9, 45}, {13, 9, 0});
  mesh.PlanarMapTexCoords(0, -15, 65, 45, 0, 0, 2);
  const std::vector<MeshVertex> v = VerticesOf(mesh.vertexBuffer);
  EXPECT_EQ(v[0].u, 0.0f);
  EXPECT_EQ(v[0].v, 0.0f);
  EXPECT_EQ(v[1].u, 1.0f);
  EXPECT_EQ(v[1].v, 1.0f);
  EXPECT_FLOAT_EQ(v[2].u, 0.2f);
  EXPECT_FLOAT_EQ(v[2].v, 0.25f);
}

TEST_F(MeshTest, PlanarMappingPlaneThreeUsesZAndYAndOffsetsAddLast) {
  Mesh mesh = LoadTriangle({99, 5, 10}, {0, 0, 0}, {0, 0, 0});
  mesh.PlanarMapTexCoords(0, 0, 20, 10, 1, -1, 3);
  const MeshVertex v = VerticesOf(mesh.vertexBuffer)[0];
  EXPECT_EQ(v.u, 1.5f);
  EXPECT_EQ(v.v, -0.5f);
}

TEST_F(MeshTest, PlanarMappingWithAnyOtherPlaneChangesNothing) {
  Mesh mesh = LoadMsh(SquareMsh());
  const std::vector<MeshVertex> before = VerticesOf(mesh.vertexBuffer);
  for (int32_t plane : {0, 4, -1}) mesh.PlanarMapTexCoords(0, 0, 1, 1, 0, 0, plane);
  const std::vector<MeshVertex> after = VerticesOf(mesh.vertexBuffer);
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].u, before[i].u);
    EXPECT_EQ(after[i].v, before[i].v);
  }
}

TEST_F(MeshTest, TexCoordsFromUnitNormalsAreTheirXAndY) {
  // Three sides of a box corner, wound outward: the tip's normal has both x and y.
  MshBytes m;
  m.Header(0, 4, 3).Vec(0, 0, 0).Vec(10, 0, 0).Vec(0, 10, 0).Vec(0, 0, 10);
  m.Face(0, 2, 1).Face(0, 1, 3).Face(0, 3, 2);
  Mesh mesh = LoadMsh(m.Bytes());
  mesh.ComputeSmoothNormals();
  mesh.TexCoordsFromNormals(1, 1);
  for (const MeshVertex& v : VerticesOf(mesh.vertexBuffer)) {
    EXPECT_EQ(v.u, v.nx);
    EXPECT_EQ(v.v, v.ny);
    EXPECT_LE(std::abs(v.u), 1.0f);
    EXPECT_LE(std::abs(v.v), 1.0f);
  }
  mesh.TexCoordsFromNormals(2, -3);
  const MeshVertex apex = VerticesOf(mesh.vertexBuffer)[3];
  EXPECT_EQ(apex.u, apex.nx * 2);
  EXPECT_EQ(apex.v, apex.ny * -3);
  EXPECT_NE(apex.u, 0.0f);
}

// ---------------------------------------------------------------- placement

TEST_F(MeshTest, TranslateThenRotateTurnsTheMovedMeshAboutTheWorldOrigin) {
  Mesh mesh = LoadMsh(SquareMsh());
  mesh.Translate(10, 0, 0);
  mesh.Rotate(0, kHalfPi, 0);
  mesh.Draw();
  const D3DVECTOR origin = WorldTransformOf(0, 0, 0);
  EXPECT_NEAR(origin.x, 0, 1e-5);
  EXPECT_NEAR(origin.y, 0, 1e-5);
  EXPECT_NEAR(origin.z, -10, 1e-5);
  EXPECT_TRUE(IsIdentity(mesh.world));
}

TEST_F(MeshTest, RotateThenTranslateTurnsInPlaceThenMoves) {
  Mesh mesh = LoadMsh(SquareMsh());
  mesh.Rotate(0, kHalfPi, 0);
  mesh.Translate(10, 0, 0);
  mesh.Draw();
  const D3DVECTOR origin = WorldTransformOf(0, 0, 0);
  EXPECT_NEAR(origin.x, 10, 1e-5);
  EXPECT_NEAR(origin.z, 0, 1e-5);
  const D3DVECTOR xAxis = WorldTransformOf(1, 0, 0);  // a quarter turn about y
  EXPECT_NEAR(xAxis.x, 10, 1e-5);
  EXPECT_NEAR(xAxis.z, -1, 1e-5);
}

TEST_F(MeshTest, RotateTurnsAboutXThenYThenZ) {
  Mesh mesh = LoadMsh(SquareMsh());
  mesh.Rotate(kHalfPi, kHalfPi, 0);
  mesh.Draw();
  // x first leaves (0, 1, 0) at (0, 0, 1); y then takes it to (1, 0, 0).
  const D3DVECTOR p = WorldTransformOf(0, 1, 0);
  EXPECT_NEAR(p.x, 1, 1e-5);
  EXPECT_NEAR(p.y, 0, 1e-5);
  EXPECT_NEAR(p.z, 0, 1e-5);
}

TEST_F(MeshTest, EachDrawStartsFromIdentityWhateverTheLastOneUsed) {
  Mesh mesh = LoadMsh(SquareMsh());
  mesh.Scale(0);
  mesh.Translate(5, 6, 7);
  mesh.Draw();
  D3DMATRIX used;
  g_device->GetTransform(D3DTS_WORLD, &used);
  EXPECT_EQ(used.m[0][0], 0.0f);
  EXPECT_EQ(used.m[3][1], 6.0f);
  mesh.Draw();
  g_device->GetTransform(D3DTS_WORLD, &used);
  EXPECT_TRUE(IsIdentity(used));
}

TEST_F(MeshTest, ScaleThenRotateThenTranslateScalesFirst) {
  Mesh mesh = LoadMsh(SquareMsh());
  mesh.Scale(2);
  mesh.Rotate(0, kHalfPi, 0);
  mesh.Translate(10, 0, 0);
  mesh.Draw();
  const D3DVECTOR p = WorldTransformOf(1, 0, 0);
  EXPECT_NEAR(p.x, 10, 1e-5);
  EXPECT_NEAR(p.z, -2, 1e-5);
}

// ---------------------------------------------------------------- drawing

TEST_F(MeshTest, PlainDrawSetsItsStatesInOrder) {
  Mesh mesh = TexturedSquare(1, 2, 3);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  mesh.Draw();
  g_renderSwitches.recorder = nullptr;
  const std::string vb = mesh.vertexBuffer->Name(), ib = mesh.indexBuffer->Name();
  EXPECT_EQ(RecordedCalls(recorder), (std::vector<std::string>{
                                         "SetTransform(256)",
                                         "SetTextureStageState(0, 17, 2)",
                                         "SetTextureStageState(0, 16, 2)",
                                         "SetTexture(0, " + mesh.texture0->Name() + ")",
                                         "SetTextureStageState(0, 1, 7)",
                                         "SetTexture(1, null)",
                                         "SetTextureStageState(1, 1, 4)",
                                         "SetVertexShader(338)",
                                         "SetStreamSource(0, " + vb + ", 36)",
                                         "SetIndices(" + ib + ", 0)",
                                         "DrawIndexedPrimitive(4, 0, 4, 0, 2)",
                                     }));
}

TEST_F(MeshTest, AdditiveDrawSetsItsStatesInOrderAndTurnsBlendingOffAfter) {
  Mesh mesh = TexturedSquare(1, 2, 3);
  mesh.SetAdditive(true);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  mesh.Draw();
  g_renderSwitches.recorder = nullptr;
  const std::string vb = mesh.vertexBuffer->Name(), ib = mesh.indexBuffer->Name();
  EXPECT_EQ(RecordedCalls(recorder), (std::vector<std::string>{
                                         "SetTransform(256)",
                                         "SetTextureStageState(0, 17, 2)",
                                         "SetTextureStageState(0, 16, 2)",
                                         "SetRenderState(27, 1)",
                                         "SetTexture(0, " + mesh.texture0->Name() + ")",
                                         "SetTextureStageState(0, 1, 7)",
                                         "SetRenderState(19, 2)",
                                         "SetRenderState(20, 2)",
                                         "SetTextureStageState(0, 2, 2)",
                                         "SetTextureStageState(0, 1, 2)",
                                         "SetVertexShader(338)",
                                         "SetStreamSource(0, " + vb + ", 36)",
                                         "SetIndices(" + ib + ", 0)",
                                         "DrawIndexedPrimitive(4, 0, 4, 0, 2)",
                                         "SetRenderState(27, 0)",
                                     }));
  EXPECT_TRUE(mesh.additive);  // kept for the next draw
  DWORD src = 0, dest = 0;
  g_device->GetRenderState(D3DRS_SRCBLEND, &src);
  g_device->GetRenderState(D3DRS_DESTBLEND, &dest);
  EXPECT_EQ(src, DWORD(D3DBLEND_ONE));
  EXPECT_EQ(dest, DWORD(D3DBLEND_ONE));
}

TEST_F(MeshTest, PlainDrawShowsTheTextureUnchangedAtTheOrigin) {
  Mesh mesh = TexturedSquare(100, 150, 200);
  ClearTo(0xFF0A141E);
  AimTestCamera();
  mesh.Draw();
  EXPECT_EQ(Pixel(400, 300), (Rgba{100, 150, 200, 255}));
  EXPECT_EQ(Pixel(5, 5), (Rgba{10, 20, 30, 255}));
}

TEST_F(MeshTest, AdditiveDrawAddsTheTextureToTheFrame) {
  Mesh mesh = TexturedSquare(100, 150, 200);
  mesh.SetAdditive(true);
  ClearTo(0xFF0A141E);
  AimTestCamera();
  mesh.Draw();
  EXPECT_EQ(Pixel(400, 300), (Rgba{110, 170, 230, 255}));
  DWORD blending = TRUE;
  g_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
  EXPECT_EQ(blending, DWORD(FALSE));
}

TEST_F(MeshTest, PlacementMovesTheMeshOnScreen) {
  Mesh mesh = TexturedSquare(100, 150, 200);
  ClearTo(0xFF0A141E);
  AimTestCamera();
  mesh.Translate(100, 0, 0);
  mesh.Draw();
  EXPECT_EQ(Pixel(400, 300), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(Pixel(700, 300), (Rgba{100, 150, 200, 255}));
}

}  // namespace
