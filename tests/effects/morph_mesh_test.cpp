// The morphing mesh: what Init takes from its source, the blend at each weight, the
// diffuse colour, the transform and call orders, and sources too short to blend.
#include "effects/morph_mesh.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/tool_switches.h"
#include "tests/mesh/mesh_test_files.h"

namespace {

class MorphMeshTest : public DataDirTest {
 protected:
  // A .msh strip of `count` vertices (count - 2 triangles) with positions, normals and
  // texture coordinates that all differ per vertex; `base` shifts every value.
  Mesh Source(uint32_t count, float base, const char* texture = nullptr) {
    MshBytes m;
    m.Header(5, count, count - 2);
    for (uint32_t i = 0; i < count; ++i) {
      const float f = float(i);
      m.Vec(base + f, base + 2 * f, base + 3 * f).Vec(base - f, base + 0.5f * f, base);
    }
    for (uint32_t i = 0; i + 2 < count; ++i) {
      m.Face(i, i + 1, i + 2);
      m.F32(base + 0.1f * float(i)).F32(base - 0.2f * float(i));
      m.F32(base + 0.1f * float(i + 1)).F32(base - 0.2f * float(i + 1));
      m.F32(base + 0.1f * float(i + 2)).F32(base - 0.2f * float(i + 2));
    }
    WriteFile("Data/source.msh", m.Bytes());
    Mesh mesh;
    mesh.LoadMsh("Data\\source.msh", texture, nullptr);
    kept_.Keep(mesh);
    return mesh;
  }
  static void SetDiffuse(Mesh& mesh, D3DCOLOR colour) {
    EditVertices(mesh, [&](std::vector<MeshVertex>& v) {
      for (MeshVertex& vertex : v) vertex.diffuse = colour;
    });
  }
  static std::vector<float> Fields(const MeshVertex& v) {
    return {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v};
  }
};

TEST_F(MorphMeshTest, InitTakesCountsTextureAndTrianglesFromItsSource) {
  WriteFile("Data/stenal.bmp", SolidBmp(9, 9, 9));
  Mesh source = Source(6, 0, "Data\\stenal.bmp");
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  MorphMesh morph;
  morph.Init(source);
  kept_.Keep(morph);
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(morph.vertexCount, 6u);
  EXPECT_EQ(morph.faceCount, 4u);
  EXPECT_EQ(morph.texture, source.texture0);
  EXPECT_EQ(IndicesOf(morph.indexBuffer), IndicesOf(source.indexBuffer));
  EXPECT_EQ(morph.vertexBuffer->Length(), 6u * 36);
  EXPECT_TRUE(IsIdentity(morph.world));
  const std::string vb = morph.vertexBuffer->Name(), ib = morph.indexBuffer->Name(),
                    sourceIb = source.indexBuffer->Name();
  EXPECT_EQ(RecordedCalls(recorder), (std::vector<std::string>{
                                         "CreateVertexBuffer(216, 8, 0, 1, " + vb + ")",
                                         "CreateIndexBuffer(24, 8, 101, 1, " + ib + ")",
                                         "Lock(" + ib + ", 0, 24, 0)",
                                         "Lock(" + sourceIb + ", 0, 24, 0)",
                                         "Unlock(" + sourceIb + ")",
                                         "Unlock(" + ib + ")",
                                     }));
}

// ---------------------------------------------------------------- the blend

TEST_F(MorphMeshTest, WeightZeroDrawsFromExactlyAndFullWeightDrawsTo) {
  Mesh from = Source(5, 0), to = Source(5, 40);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  morph.DrawMorph(from, to, 0, 1000);
  std::vector<MeshVertex> drawn = VerticesOf(morph.vertexBuffer);
  std::vector<MeshVertex> a = VerticesOf(from.vertexBuffer), b = VerticesOf(to.vertexBuffer);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Fields(drawn[i]), Fields(a[i])) << i;

  morph.DrawMorph(from, to, 1000, 1000);
  drawn = VerticesOf(morph.vertexBuffer);
  for (size_t i = 0; i < 5; ++i) {
    const std::vector<float> got = Fields(drawn[i]), want = Fields(b[i]);
    for (size_t k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(got[k], want[k]) << i << " field " << k;
  }
}

TEST_F(MorphMeshTest, HalfWeightDrawsTheMidpointOfEveryField) {
  Mesh from = Source(4, 0), to = Source(4, 10);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  morph.DrawMorph(from, to, 500, 1000);
  const std::vector<MeshVertex> drawn = VerticesOf(morph.vertexBuffer);
  const std::vector<MeshVertex> a = VerticesOf(from.vertexBuffer);
  for (size_t i = 0; i < 4; ++i) {
    const std::vector<float> got = Fields(drawn[i]), start = Fields(a[i]);
    // Every field of `to` is 10 more than `from`'s.
    for (size_t k = 0; k < 8; ++k) EXPECT_NEAR(got[k], start[k] + 5, 1e-5f) << i << " " << k;
  }
}

TEST_F(MorphMeshTest, WeightBeyondFullExtrapolatesPastTo) {
  Mesh from = Source(4, 0), to = Source(4, 10);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  morph.DrawMorph(from, to, 1100, 1000);
  const std::vector<MeshVertex> drawn = VerticesOf(morph.vertexBuffer);
  const std::vector<MeshVertex> a = VerticesOf(from.vertexBuffer);
  for (size_t i = 0; i < 4; ++i) {
    const std::vector<float> got = Fields(drawn[i]), start = Fields(a[i]);
    for (size_t k = 0; k < 8; ++k) EXPECT_NEAR(got[k], start[k] + 11, 1e-5f) << i << " " << k;
  }
}

TEST_F(MorphMeshTest, DiffuseComesFromFromWhateverTheWeight) {
  Mesh from = Source(4, 0), to = Source(4, 10);
  SetDiffuse(from, 0xFF112233);
  SetDiffuse(to, 0xFFAABBCC);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  for (float weight : {0.0f, 500.0f, 1000.0f, 1100.0f}) {
    morph.DrawMorph(from, to, weight, 1000);
    for (const MeshVertex& v : VerticesOf(morph.vertexBuffer)) EXPECT_EQ(v.diffuse, 0xFF112233u);
  }
}

TEST_F(MorphMeshTest, AMeshBlendedWithItselfStaysItself) {
  Mesh from = Source(4, 3);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  morph.DrawMorph(from, from, 700, 1000);
  const std::vector<MeshVertex> drawn = VerticesOf(morph.vertexBuffer);
  const std::vector<MeshVertex> a = VerticesOf(from.vertexBuffer);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(Fields(drawn[i]), Fields(a[i])) << i;
}

// ---------------------------------------------------------------- drawing

TEST_F(MorphMeshTest, DrawLocksBlendsAndSetsItsStatesInOrder) {
  Mesh from = Source(4, 0), to = Source(4, 1);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  morph.DrawMorph(from, to, 300, 1000);
  g_renderSwitches.recorder = nullptr;
  const std::string vb = morph.vertexBuffer->Name(), a = from.vertexBuffer->Name(),
                    b = to.vertexBuffer->Name();
  EXPECT_EQ(RecordedCalls(recorder), (std::vector<std::string>{
                                         "Lock(" + vb + ", 0, 144, 0)",
                                         "Lock(" + a + ", 0, 144, 0)",
                                         "Lock(" + b + ", 0, 144, 0)",
                                         "Unlock(" + b + ")",
                                         "Unlock(" + a + ")",
                                         "Unlock(" + vb + ")",
                                         "SetTransform(256)",
                                         "SetTextureStageState(0, 17, 2)",
                                         "SetTextureStageState(0, 16, 2)",
                                         "SetTexture(0, null)",
                                         "SetTexture(1, null)",
                                         "SetTextureStageState(0, 1, 7)",
                                         "SetTextureStageState(1, 1, 7)",
                                         "SetVertexShader(338)",
                                         "SetStreamSource(0, " + vb + ", 36)",
                                         "SetIndices(" + morph.indexBuffer->Name() + ", 0)",
                                         "DrawIndexedPrimitive(4, 0, 4, 0, 2)",
                                     }));
}

TEST_F(MorphMeshTest, CallOrderNotArgumentOrderDecidesThePlacement) {
  Mesh from = Source(4, 0);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  morph.Rotate(0, 1.57075f, 0);
  morph.Translate(10, 0, 0);
  morph.DrawMorph(from, from, 0, 1000);
  D3DVECTOR origin = WorldTransformOf(0, 0, 0);
  EXPECT_NEAR(origin.x, 10, 1e-4);
  EXPECT_NEAR(origin.z, 0, 1e-4);
  EXPECT_TRUE(IsIdentity(morph.world));

  morph.Translate(10, 0, 0);
  morph.Rotate(0, 1.57075f, 0);
  morph.DrawMorph(from, from, 0, 1000);
  origin = WorldTransformOf(0, 0, 0);
  EXPECT_NEAR(origin.x, 0, 1e-3);
  EXPECT_NEAR(origin.z, -10, 1e-4);

  morph.Scale(3);
  morph.Translate(1, 0, 0);
  morph.DrawMorph(from, from, 0, 1000);
  const D3DVECTOR x = WorldTransformOf(1, 0, 0);  // scaled first, then moved
  EXPECT_NEAR(x.x, 4, 1e-5);

  morph.DrawMorph(from, from, 0, 1000);
  D3DMATRIX world;
  g_device->GetTransform(D3DTS_WORLD, &world);
  EXPECT_TRUE(IsIdentity(world));
}

TEST_F(MorphMeshTest, BlendShowsOnScreenWithFromsDiffuseAddedToTheTexture) {
  WriteFile("Data/stenal.bmp", SolidBmp(100, 50, 20));
  // Two copies of the 100-unit square, 150 units left and right of the origin.
  auto square = [&](float dx) {
    MshBytes m;
    m.Header(0, 4, 2).Vec(dx - 50, -50, 0).Vec(dx + 50, -50, 0).Vec(dx + 50, 50, 0);
    m.Vec(dx - 50, 50, 0).Face(0, 1, 2).Face(0, 2, 3);
    WriteFile("Data/square.msh", m.Bytes());
    Mesh mesh;
    mesh.LoadMsh("Data\\square.msh", "Data\\stenal.bmp", nullptr);
    kept_.Keep(mesh);
    return mesh;
  };
  Mesh from = square(-150), to = square(150);
  SetDiffuse(from, 0xFF102030);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  AimTestCamera();
  morph.DrawMorph(from, to, 500, 1000);
  EXPECT_EQ(Pixel(400, 300), (Rgba{116, 82, 68, 255}));
  EXPECT_EQ(Pixel(100, 300), (Rgba{0, 0, 0, 255}));
}

// ---------------------------------------------------------------- sources that cannot be blended

TEST_F(MorphMeshTest, SourceWithFewerVerticesDrawsNothingAndReadsNothing) {
  Mesh from = Source(6, 0), shorter = Source(5, 10);
  Mesh empty;
  empty.LoadMsh("Data\\missing.msh", nullptr, nullptr);
  kept_.Keep(empty);
  MorphMesh morph;
  morph.Init(from);
  kept_.Keep(morph);
  morph.DrawMorph(from, from, 0, 1000);
  const std::vector<MeshVertex> before = VerticesOf(morph.vertexBuffer);
  for (const Mesh* bad : {&shorter, &empty}) {
    CallRecorder recorder;
    g_renderSwitches.recorder = &recorder;
    morph.Translate(1, 0, 0);
    morph.DrawMorph(from, *bad, 500, 1000);
    morph.DrawMorph(*bad, from, 500, 1000);
    g_renderSwitches.recorder = nullptr;
    EXPECT_TRUE(recorder.Calls().empty());
    EXPECT_TRUE(IsIdentity(morph.world));
  }
  const std::vector<MeshVertex> after = VerticesOf(morph.vertexBuffer);
  EXPECT_EQ(std::memcmp(before.data(), after.data(), before.size() * sizeof(MeshVertex)), 0);
}

TEST_F(MorphMeshTest, MorphBuiltFromAnEmptyMeshDrawsNothingWhateverItHeldBefore) {
  Mesh full = Source(4, 0);
  Mesh empty;
  empty.LoadMsh("Data\\missing.msh", nullptr, nullptr);
  kept_.Keep(empty);
  MorphMesh morph;
  morph.Init(full);
  kept_.Keep(morph);
  morph.Init(empty);
  kept_.Keep(morph);
  EXPECT_EQ(morph.vertexCount, 0u);
  EXPECT_EQ(morph.vertexBuffer, nullptr);
  EXPECT_EQ(morph.indexBuffer, nullptr);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  morph.DrawMorph(empty, empty, 0, 1000);
  morph.DrawMorph(full, full, 0, 1000);
  g_renderSwitches.recorder = nullptr;
  EXPECT_TRUE(recorder.Calls().empty());
}

}  // namespace
