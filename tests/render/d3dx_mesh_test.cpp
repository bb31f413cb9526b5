// The D3DX mesh subset: the layout a loaded .x mesh takes, cloning into another layout,
// computed normals, buffer references, and loads that must fail cleanly.
#include "render/d3dx_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/tool_switches.h"
#include "tests/mesh/mesh_test_files.h"

namespace {

class D3DXMeshTest : public DataDirTest {
 protected:
  // Loads `text` as Data/test.x; also checks that failure and success each hand out the
  // material buffer exactly when they hand out a mesh.
  ID3DXMesh* Load(const std::string& text) {
    WriteFile("Data/test.x", text);
    ID3DXBuffer* materials = reinterpret_cast<ID3DXBuffer*>(1);
    DWORD materialCount = 99;
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
    D3DXLoadMeshFromX("Data\\test.x", D3DXMESH_SYSTEMMEM, g_device, nullptr, &materials,
                      &materialCount, &mesh);
    EXPECT_EQ(materials != nullptr, mesh != nullptr);
    EXPECT_EQ(materialCount, 0u);
    if (materials) materials->Release();
    return mesh;
  }

  // Vertex `i` of `mesh` as floats, whatever its layout.
  static std::vector<float> VertexFloats(ID3DXMesh* mesh, size_t stride, size_t i) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    mesh->GetVertexBuffer(&buffer);
    std::vector<float> floats(stride / 4);
    std::memcpy(floats.data(), buffer->Memory() + i * stride, stride);
    buffer->Release();
    return floats;
  }
  static uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
  }
};

const std::string kQuad =
    "xof 0302txt 0032\nMesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 1; 4;0,1,2,3;; }\n";

// ---------------------------------------------------------------- loading

TEST_F(D3DXMeshTest, PositionsOnlyFileGivesTwelveByteVerticesAndAFannedIndexList) {
  ID3DXMesh* mesh = Load(kQuad);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ));
  EXPECT_EQ(mesh->GetNumVertices(), 4u);
  EXPECT_EQ(mesh->GetNumFaces(), 2u);
  EXPECT_EQ(VertexFloats(mesh, 12, 2), (std::vector<float>{1, 1, 0}));
  IDirect3DIndexBuffer8* indices = nullptr;
  mesh->GetIndexBuffer(&indices);
  EXPECT_EQ(IndicesOf(indices), (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
  indices->Release();
  mesh->Release();
}

TEST_F(D3DXMeshTest, TexCoordsAndColoursExtendTheLayoutInFixedOrder) {
  ID3DXMesh* uv = Load(CubeX(true, false));
  ASSERT_NE(uv, nullptr);
  EXPECT_EQ(uv->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_TEX1));
  EXPECT_EQ(VertexFloats(uv, 20, 3), (std::vector<float>{1, 1, -1, 1, 0}));
  uv->Release();

  ID3DXMesh* coloured = Load(CubeX(false, true));
  ASSERT_NE(coloured, nullptr);
  EXPECT_EQ(coloured->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE));
  EXPECT_EQ(Bits(VertexFloats(coloured, 16, 5)[3]), CubeColour(5));
  coloured->Release();

  ID3DXMesh* both = Load(CubeX(true, true));
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(both->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1));
  const std::vector<float> v6 = VertexFloats(both, 24, 6);
  EXPECT_EQ((std::vector<float>{v6[0], v6[1], v6[2], v6[4], v6[5]}),
            (std::vector<float>{-1, 1, 1, 0, 0}));
  EXPECT_EQ(Bits(v6[3]), CubeColour(6));
  both->Release();
}

TEST_F(D3DXMeshTest, FailedLoadsGiveNoMeshAndNoMaterialBuffer) {
  EXPECT_EQ(Load("xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;;"), nullptr);  // truncated
  EXPECT_EQ(Load("not an x file at all"), nullptr);
  EXPECT_EQ(Load(""), nullptr);

  ID3DXBuffer* materials = reinterpret_cast<ID3DXBuffer*>(1);
  ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
  D3DXLoadMeshFromX("Data\\missing.x", D3DXMESH_SYSTEMMEM, g_device, nullptr, &materials, nullptr,
                    &mesh);
  EXPECT_EQ(mesh, nullptr);
  EXPECT_EQ(materials, nullptr);
  WriteFile("Data/test.x", kQuad);
  D3DXLoadMeshFromX("Data\\test.x", D3DXMESH_SYSTEMMEM, nullptr, nullptr, &materials, nullptr,
                    &mesh);
  EXPECT_EQ(mesh, nullptr);
}

TEST_F(D3DXMeshTest, MoreThan65536VerticesFailToLoad) {
  std::string text = "xof 0302txt 0032\nMesh { 65537;\n";
  for (int i = 0; i < 65537; ++i) text += "0;0;0;,";
  text.back() = ';';
  text += " 1; 3;0,1,2;; }\n";
  EXPECT_EQ(Load(text), nullptr);
}

TEST_F(D3DXMeshTest, LoadAndCloneAndNormalsAreRecordedButTheMeshesOwnBuffersAreNot) {
  WriteFile("Data/test.x", kQuad);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  ID3DXMesh* mesh = nullptr;
  D3DXLoadMeshFromX("Data\\test.x", D3DXMESH_SYSTEMMEM, g_device, nullptr, nullptr, nullptr, &mesh);
  ASSERT_NE(mesh, nullptr);
  ID3DXMesh* clone = nullptr;
  mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, 0x152, g_device, &clone);
  ASSERT_NE(clone, nullptr);
  D3DXComputeNormals(clone, nullptr);
  const std::string meshName = mesh->RecordName(), cloneName = clone->RecordName();
  clone->Release();
  mesh->Release();
  g_renderSwitches.recorder = nullptr;
  EXPECT_EQ(RecordedCalls(recorder),
            (std::vector<std::string>{
                "D3DXLoadMeshFromX(Data\\test.x, 272, " + meshName + ")",
                "CloneMeshFVF(" + meshName + ", 272, 338, " + cloneName + ")",
                "D3DXComputeNormals(" + cloneName + ")",
                "Release(" + cloneName + ")",
                "Release(" + meshName + ")",
            }));
}

// ---------------------------------------------------------------- buffers and cloning

TEST_F(D3DXMeshTest, BufferReferencesOutliveTheMesh) {
  ID3DXMesh* mesh = Load(kQuad);
  ASSERT_NE(mesh, nullptr);
  IDirect3DVertexBuffer8* vertices = nullptr;
  IDirect3DIndexBuffer8* indices = nullptr;
  ASSERT_EQ(mesh->GetVertexBuffer(&vertices), D3D_OK);
  ASSERT_EQ(mesh->GetIndexBuffer(&indices), D3D_OK);
  EXPECT_EQ(mesh->Release(), 0u);
  EXPECT_EQ(vertices->Length(), 4u * 12);
  EXPECT_EQ(IndicesOf(indices).size(), 6u);
  EXPECT_EQ(vertices->Release(), 0u);
  EXPECT_EQ(indices->Release(), 0u);
}

TEST_F(D3DXMeshTest, CloneKeepsSharedFieldsAndZeroesTheNewNormal) {
  ID3DXMesh* mesh = Load(CubeX(true, true));
  ASSERT_NE(mesh, nullptr);
  ID3DXMesh* clone = nullptr;
  ASSERT_EQ(mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, 0x152, g_device, &clone), D3D_OK);
  EXPECT_EQ(clone->GetFVF(), 0x152u);
  EXPECT_EQ(clone->GetNumVertices(), 8u);
  EXPECT_EQ(clone->GetNumFaces(), 12u);
  IDirect3DVertexBuffer8* vertices = nullptr;
  clone->GetVertexBuffer(&vertices);
  const std::vector<MeshVertex> v = VerticesOf(vertices);
  vertices->Release();
  ASSERT_EQ(v.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(v[size_t(i)].x, i & 1 ? 1.0f : -1.0f);
    EXPECT_EQ(v[size_t(i)].z, i & 4 ? 1.0f : -1.0f);
    EXPECT_EQ(v[size_t(i)].nx, 0.0f);
    EXPECT_EQ(v[size_t(i)].diffuse, CubeColour(i));
    EXPECT_EQ(v[size_t(i)].u, i & 1 ? 1.0f : 0.0f);
    EXPECT_EQ(v[size_t(i)].v, i & 2 ? 0.0f : 1.0f);
  }
  IDirect3DIndexBuffer8 *a = nullptr, *b = nullptr;
  mesh->GetIndexBuffer(&a);
  clone->GetIndexBuffer(&b);
  EXPECT_EQ(IndicesOf(a), IndicesOf(b));
  a->Release();
  b->Release();
  clone->Release();
  mesh->Release();
}

TEST_F(D3DXMeshTest, CloneIntoAnUnhandledLayoutFails) {
  ID3DXMesh* mesh = Load(kQuad);
  ASSERT_NE(mesh, nullptr);
  ID3DXMesh* clone = reinterpret_cast<ID3DXMesh*>(1);
  EXPECT_NE(mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZRHW | D3DFVF_TEX1, g_device, &clone),
            D3D_OK);
  EXPECT_EQ(clone, nullptr);
  mesh->Release();
}

// ---------------------------------------------------------------- normals

// A fan-split cube side gives its centre two triangles; weighting by angle keeps that
// from tilting the corner normal toward the split side.
TEST_F(D3DXMeshTest, ComputedNormalsAreAngleWeightedUnitVectors) {
  ID3DXMesh* mesh = Load(CubeX(false, false));
  ASSERT_NE(mesh, nullptr);
  ID3DXMesh* clone = nullptr;
  mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, 0x152, g_device, &clone);
  ASSERT_EQ(D3DXComputeNormals(clone, nullptr), D3D_OK);
  IDirect3DVertexBuffer8* vertices = nullptr;
  clone->GetVertexBuffer(&vertices);
  const std::vector<MeshVertex> v = VerticesOf(vertices);
  vertices->Release();
  const float k = 1.0f / std::sqrt(3.0f);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(v[size_t(i)].nx, i & 1 ? k : -k, 1e-6f);
    EXPECT_NEAR(v[size_t(i)].ny, i & 2 ? k : -k, 1e-6f);
    EXPECT_NEAR(v[size_t(i)].nz, i & 4 ? k : -k, 1e-6f);
  }
  clone->Release();
  mesh->Release();
}

TEST_F(D3DXMeshTest, NormalsNeedALayoutWithANormal) {
  ID3DXMesh* mesh = Load(kQuad);
  ASSERT_NE(mesh, nullptr);
  EXPECT_NE(D3DXComputeNormals(mesh, nullptr), D3D_OK);
  EXPECT_NE(D3DXComputeNormals(nullptr, nullptr), D3D_OK);
  mesh->Release();
}

}  // namespace
