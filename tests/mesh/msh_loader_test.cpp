// Mesh::LoadMsh: the record layouts each flag selects, where texture coordinates land,
// and what a damaged file leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "render/tool_switches.h"
#include "tests/mesh/mesh_test_files.h"

namespace {

class MshLoad : public DataDirTest {
 protected:
  // Loads `bytes` as Data/test.msh into a fresh mesh.
  Mesh Load(const std::string& bytes, const char* texture0 = nullptr) {
    WriteFile("Data/test.msh", bytes);
    Mesh mesh;
    mesh.LoadMsh("Data\\test.msh", texture0, nullptr);
    kept_.Keep(mesh);
    return mesh;
  }
};

// Three vertices with distinct positions, one face naming them 2, 0, 1.
MshBytes TriangleWithFlags(uint32_t flags) {
  MshBytes m;
  m.Header(flags, 3, 1);
  m.Vec(1, 2, 3);
  if (flags & 1) m.Vec(0.1f, 0.2f, 0.3f);
  m.Vec(4, 5, 6);
  if (flags & 1) m.Vec(0.4f, 0.5f, 0.6f);
  m.Vec(7, 8, 9);
  if (flags & 1) m.Vec(0.7f, 0.8f, 0.9f);
  m.Face(2, 0, 1);
  if (flags & 4) m.F32(0.25f).F32(0.5f).F32(0.75f).F32(1.0f).F32(1.25f).F32(1.5f);
  return m;
}

void ExpectVertex(const MeshVertex& v, float x, float y, float z, float nx, float ny, float nz,
                  float u, float tv) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
  EXPECT_EQ(v.nx, nx);
  EXPECT_EQ(v.ny, ny);
  EXPECT_EQ(v.nz, nz);
  EXPECT_EQ(v.diffuse, 0u);
  EXPECT_EQ(v.u, u);
  EXPECT_EQ(v.v, tv);
}

void ExpectEmpty(const Mesh& mesh) {
  EXPECT_EQ(mesh.vertexCount, 0u);
  EXPECT_EQ(mesh.faceCount, 0u);
  EXPECT_EQ(mesh.vertexBuffer, nullptr);
  EXPECT_EQ(mesh.indexBuffer, nullptr);
}

// ---------------------------------------------------------------- record layouts

TEST_F(MshLoad, FlagsZeroReadPositionsOnlyAndLeaveEverythingElseZero) {
  const Mesh mesh = Load(TriangleWithFlags(0).Bytes());
  ASSERT_EQ(mesh.vertexCount, 3u);
  ASSERT_EQ(mesh.faceCount, 1u);
  const auto v = VerticesOf(mesh.vertexBuffer);
  ASSERT_EQ(v.size(), 3u);
  ExpectVertex(v[0], 1, 2, 3, 0, 0, 0, 0, 0);
  ExpectVertex(v[1], 4, 5, 6, 0, 0, 0, 0, 0);
  ExpectVertex(v[2], 7, 8, 9, 0, 0, 0, 0, 0);
  EXPECT_EQ(IndicesOf(mesh.indexBuffer), (std::vector<uint16_t>{2, 0, 1}));
}

TEST_F(MshLoad, FlagTwoIsReadExactlyLikeFlagsZero) {
  const Mesh plain = Load(TriangleWithFlags(0).Bytes());
  const Mesh flagged = Load(MshBytes().U32(2).Raw(TriangleWithFlags(0).Bytes().substr(4)).Bytes());
  ASSERT_EQ(flagged.vertexCount, 3u);
  const std::string a(reinterpret_cast<const char*>(plain.vertexBuffer->Memory()), 3 * 36);
  const std::string b(reinterpret_cast<const char*>(flagged.vertexBuffer->Memory()), 3 * 36);
  EXPECT_EQ(a, b);
  EXPECT_EQ(IndicesOf(flagged.indexBuffer), IndicesOf(plain.indexBuffer));
}

TEST_F(MshLoad, FlagOneReadsANormalAfterEachPosition) {
  const Mesh mesh = Load(TriangleWithFlags(1).Bytes());
  const auto v = VerticesOf(mesh.vertexBuffer);
  ASSERT_EQ(v.size(), 3u);
  ExpectVertex(v[0], 1, 2, 3, 0.1f, 0.2f, 0.3f, 0, 0);
  ExpectVertex(v[1], 4, 5, 6, 0.4f, 0.5f, 0.6f, 0, 0);
  ExpectVertex(v[2], 7, 8, 9, 0.7f, 0.8f, 0.9f, 0, 0);
  EXPECT_EQ(IndicesOf(mesh.indexBuffer), (std::vector<uint16_t>{2, 0, 1}));
}

TEST_F(MshLoad, FlagFourReadsTexCoordsPerCornerIntoTheNamedVertex) {
  const Mesh mesh = Load(TriangleWithFlags(4).Bytes());
  const auto v = VerticesOf(mesh.vertexBuffer);
  ASSERT_EQ(v.size(), 3u);
  // Corners 0, 1, 2 name vertices 2, 0, 1.
  ExpectVertex(v[2], 7, 8, 9, 0, 0, 0, 0.25f, 0.5f);
  ExpectVertex(v[0], 1, 2, 3, 0, 0, 0, 0.75f, 1.0f);
  ExpectVertex(v[1], 4, 5, 6, 0, 0, 0, 1.25f, 1.5f);
  EXPECT_EQ(IndicesOf(mesh.indexBuffer), (std::vector<uint16_t>{2, 0, 1}));
}

TEST_F(MshLoad, FlagFiveReadsNormalsAndTexCoords) {
  const Mesh mesh = Load(TriangleWithFlags(5).Bytes());
  const auto v = VerticesOf(mesh.vertexBuffer);
  ASSERT_EQ(v.size(), 3u);
  ExpectVertex(v[0], 1, 2, 3, 0.1f, 0.2f, 0.3f, 0.75f, 1.0f);
  ExpectVertex(v[1], 4, 5, 6, 0.4f, 0.5f, 0.6f, 1.25f, 1.5f);
  ExpectVertex(v[2], 7, 8, 9, 0.7f, 0.8f, 0.9f, 0.25f, 0.5f);
  EXPECT_EQ(IndicesOf(mesh.indexBuffer), (std::vector<uint16_t>{2, 0, 1}));
}

TEST_F(MshLoad, TexCoordsAreReadRightAfterTheirFacesIndices) {
  MshBytes m;
  m.Header(4, 6, 2);
  for (int i = 0; i < 6; ++i) m.Vec(float(i), 0, 0);
  m.Face(0, 1, 2).F32(1).F32(2).F32(3).F32(4).F32(5).F32(6);
  m.Face(3, 4, 5).F32(7).F32(8).F32(9).F32(10).F32(11).F32(12);
  const Mesh mesh = Load(m.Bytes());
  ASSERT_EQ(mesh.faceCount, 2u);
  const auto v = VerticesOf(mesh.vertexBuffer);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(v[size_t(i)].u, float(2 * i + 1)) << i;
    EXPECT_EQ(v[size_t(i)].v, float(2 * i + 2)) << i;
  }
  EXPECT_EQ(IndicesOf(mesh.indexBuffer), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
}

TEST_F(MshLoad, LastFaceNamingAVertexDecidesItsTexCoords) {
  MshBytes m;
  m.Header(4, 4, 2);
  m.Vec(0, 0, 0).Vec(1, 0, 0).Vec(0, 1, 0).Vec(1, 1, 0);
  m.Face(0, 1, 2).F32(0.1f).F32(0.2f).F32(0.3f).F32(0.4f).F32(0.5f).F32(0.6f);
  m.Face(2, 1, 3).F32(0.7f).F32(0.8f).F32(0.9f).F32(1.0f).F32(1.1f).F32(1.2f);
  const auto v = VerticesOf(Load(m.Bytes()).vertexBuffer);
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0].u, 0.1f);  // named once
  EXPECT_EQ(v[1].u, 0.9f);  // second face, corner 1
  EXPECT_EQ(v[1].v, 1.0f);
  EXPECT_EQ(v[2].u, 0.7f);  // second face, corner 0
  EXPECT_EQ(v[2].v, 0.8f);
  EXPECT_EQ(v[3].u, 1.1f);
}

TEST_F(MshLoad, VertexNamedByNoFaceKeepsZeroTexCoords) {
  MshBytes m;
  m.Header(4, 4, 1);
  m.Vec(0, 0, 0).Vec(1, 0, 0).Vec(0, 1, 0).Vec(5, 5, 5);
  m.Face(0, 1, 2).F32(0.5f).F32(0.5f).F32(0.5f).F32(0.5f).F32(0.5f).F32(0.5f);
  const auto v = VerticesOf(Load(m.Bytes()).vertexBuffer);
  ASSERT_EQ(v.size(), 4u);
  ExpectVertex(v[3], 5, 5, 5, 0, 0, 0, 0, 0);
}

TEST_F(MshLoad, TrailingBytesAfterTheLastFaceAreIgnored) {
  const Mesh plain = Load(TriangleWithFlags(5).Bytes());
  const Mesh padded = Load(TriangleWithFlags(5).Raw(std::string(37, '\x7f')).Bytes());
  ASSERT_EQ(padded.vertexCount, 3u);
  ASSERT_EQ(padded.faceCount, 1u);
  EXPECT_EQ(std::memcmp(padded.vertexBuffer->Memory(), plain.vertexBuffer->Memory(), 3 * 36), 0);
  EXPECT_EQ(IndicesOf(padded.indexBuffer), IndicesOf(plain.indexBuffer));
}

TEST_F(MshLoad, HighestIndexFillsAllSixteenBits) {
  MshBytes m;
  m.Header(0, 65536, 1);
  for (int i = 0; i < 65536; ++i) m.Vec(float(i), 0, 0);
  m.Face(65535, 0, 1);
  const Mesh mesh = Load(m.Bytes());
  ASSERT_EQ(mesh.vertexCount, 65536u);
  EXPECT_EQ(IndicesOf(mesh.indexBuffer), (std::vector<uint16_t>{0xFFFF, 0, 1}));
  EXPECT_EQ(VerticesOf(mesh.vertexBuffer)[65535].x, 65535.0f);
}

// ---------------------------------------------------------------- the mesh object after a load

TEST_F(MshLoad, LoadClearsAdditiveAndSetsWorldToIdentity) {
  WriteFile("Data/test.msh", TriangleWithFlags(0).Bytes());
  Mesh mesh;
  mesh.SetAdditive(true);
  mesh.world.m[3][0] = 42;
  mesh.LoadMsh("Data\\test.msh", nullptr, nullptr);
  kept_.Keep(mesh);
  EXPECT_FALSE(mesh.additive);
  EXPECT_TRUE(IsIdentity(mesh.world));
}

TEST_F(MshLoad, BuffersAreWriteOnlyManagedWithSixteenBitIndicesAndTexturesLoadInOrder) {
  WriteFile("Data/test.msh", TriangleWithFlags(0).Bytes());
  WriteFile("Data/a.bmp", SolidBmp(1, 2, 3));
  WriteFile("Data/b.bmp", SolidBmp(4, 5, 6));
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  Mesh mesh;
  mesh.LoadMsh("Data\\test.msh", "Data\\A.bmp", "Data\\b.bmp");
  kept_.Keep(mesh);
  g_renderSwitches.recorder = nullptr;
  ASSERT_NE(mesh.texture0, nullptr);
  ASSERT_NE(mesh.texture1, nullptr);
  const std::string vb = mesh.vertexBuffer->Name(), ib = mesh.indexBuffer->Name();
  EXPECT_EQ(RecordedCalls(recorder),
            (std::vector<std::string>{
                "D3DXCreateTextureFromFileA(Data\\A.bmp, " + mesh.texture0->Name() + ")",
                "D3DXCreateTextureFromFileA(Data\\b.bmp, " + mesh.texture1->Name() + ")",
                "CreateVertexBuffer(108, 8, 0, 1, " + vb + ")",
                "CreateIndexBuffer(6, 8, 101, 1, " + ib + ")",
                "Lock(" + vb + ", 0, 108, 0)",
                "Lock(" + ib + ", 0, 6, 0)",
                "Unlock(" + vb + ")",
                "Unlock(" + ib + ")",
            }));
}

TEST_F(MshLoad, NullTexturePathsLeaveTheSlotsNull) {
  const Mesh mesh = Load(TriangleWithFlags(0).Bytes());
  EXPECT_EQ(mesh.texture0, nullptr);
  EXPECT_EQ(mesh.texture1, nullptr);
}

// ---------------------------------------------------------------- damaged files

TEST_F(MshLoad, MissingFileLeavesAnEmptyMeshWithItsTexturesLoaded) {
  WriteFile("Data/gray.bmp", SolidBmp(128, 128, 128));
  Mesh mesh;
  mesh.LoadMsh("Data\\nothere.msh", "Data\\Gray.bmp", nullptr);
  kept_.Keep(mesh);
  ExpectEmpty(mesh);
  EXPECT_NE(mesh.texture0, nullptr);
  EXPECT_TRUE(IsIdentity(mesh.world));
}

TEST_F(MshLoad, FileShorterThanItsHeaderPromisesLeavesAnEmptyMesh) {
  WriteFile("Data/gray.bmp", SolidBmp(128, 128, 128));
  const std::string whole = TriangleWithFlags(5).Bytes();
  // Missing the last face's texture coordinates, and missing a vertex record.
  for (const std::string& bytes : {whole.substr(0, whole.size() - 4), whole.substr(0, 12 + 30)}) {
    const Mesh mesh = Load(bytes, "Data\\gray.bmp");
    ExpectEmpty(mesh);
    EXPECT_NE(mesh.texture0, nullptr);
  }
}

TEST_F(MshLoad, EveryTruncationOfAValidFileLeavesAnEmptyMesh) {
  const std::string whole = TriangleWithFlags(5).Bytes();
  for (size_t size = 0; size < whole.size(); ++size) {
    SCOPED_TRACE(size);
    ExpectEmpty(Load(whole.substr(0, size)));
  }
}

TEST_F(MshLoad, MoreThan65536VerticesAreRefused) {
  MshBytes m;
  m.Header(0, 65537, 1);
  for (int i = 0; i < 65537; ++i) m.Vec(0, 0, 0);
  m.Face(0, 1, 2);
  ExpectEmpty(Load(m.Bytes()));
}

TEST_F(MshLoad, IndexAtOrAboveTheVertexCountIsRefused) {
  // 65536 would pass as 0 if it were cut to 16 bits before the check.
  for (uint32_t bad : {3u, 4u, 65536u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(bad);
    MshBytes m;
    m.Header(0, 3, 2).Vec(0, 0, 0).Vec(1, 0, 0).Vec(0, 1, 0).Face(0, 1, 2).Face(0, bad, 2);
    ExpectEmpty(Load(m.Bytes()));
  }
}

TEST_F(MshLoad, FaceCountBeyondWhatTheFileHoldsIsRefused) {
  // 0x2AAAAAAB faces would need more than 2^32 bytes of indices.
  for (uint32_t faces : {2u, 0x2AAAAAABu, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(faces);
    MshBytes m;
    m.Header(0, 3, faces).Vec(0, 0, 0).Vec(1, 0, 0).Vec(0, 1, 0).Face(0, 1, 2);
    ExpectEmpty(Load(m.Bytes()));
  }
}

TEST_F(MshLoad, ZeroCountsGiveAnEmptyMesh) {
  ExpectEmpty(Load(MshBytes().Header(0, 0, 0).Bytes()));
  ExpectEmpty(Load(MshBytes().Header(0, 3, 0).Vec(0, 0, 0).Vec(1, 0, 0).Vec(0, 1, 0).Bytes()));
  ExpectEmpty(Load(MshBytes().Header(0, 0, 1).Face(0, 0, 0).Bytes()));
}

TEST_F(MshLoad, LoadingAgainFromABadFileLeavesNoTraceOfTheEarlierLoad) {
  WriteFile("Data/test.msh", TriangleWithFlags(0).Bytes());
  Mesh mesh;
  mesh.LoadMsh("Data\\test.msh", nullptr, nullptr);
  kept_.Keep(mesh);
  ASSERT_NE(mesh.vertexBuffer, nullptr);
  mesh.LoadMsh("Data\\missing.msh", nullptr, nullptr);
  kept_.Keep(mesh);
  ExpectEmpty(mesh);
  mesh.LoadX("Data\\missing.x", nullptr, nullptr);
  kept_.Keep(mesh);
  ExpectEmpty(mesh);
}

TEST_F(MshLoad, EmptyMeshTouchesNoDeviceStateAndSurvivesEveryOperation) {
  Mesh mesh = Load("short");
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  mesh.ComputeSmoothNormals();
  mesh.PlanarMapTexCoords(0, 0, 1, 1, 0, 0, 1);
  mesh.TexCoordsFromNormals(1, 1);
  mesh.Translate(5, 0, 0);
  mesh.Draw();
  g_renderSwitches.recorder = nullptr;
  EXPECT_TRUE(recorder.Calls().empty());
  EXPECT_TRUE(IsIdentity(mesh.world));
}

}  // namespace
