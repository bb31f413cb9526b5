// Every default model, and a file with the rest of what exporters write, in every encoding
// the X loader reads: text, binary with 32- and 64-bit floats, compressed text and binary.
// All must load to the same mesh, byte for byte, through the parser and through the demo's
// own Mesh::LoadX; the seed corpus for the X loader's fuzz target holds them all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/xfile.h"
#include "tests/mesh/mesh_test_files.h"
#include "tools/assets/models.h"
#include "tools/assets/x_binary_writer.h"

namespace {

std::vector<std::string> DefaultXModels() {
  std::vector<std::string> names;
  for (const char* name : ModelFiles())
    if (std::string_view(name).ends_with(".x")) names.push_back(name);
  return names;
}

template <typename T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

::testing::AssertionResult LoadsLike(const std::string& bytes, const XMesh& expected) {
  XMesh mesh;
  if (!ParseXFile(bytes.data(), bytes.size(), mesh))
    return ::testing::AssertionFailure() << "refused";
  if (!SameBytes(mesh.positions, expected.positions) ||
      !SameBytes(mesh.texcoords, expected.texcoords) || !SameBytes(mesh.colors, expected.colors) ||
      !SameBytes(mesh.indices, expected.indices))
    return ::testing::AssertionFailure() << "a different mesh";
  return ::testing::AssertionSuccess();
}

// Checks that each form's header says what its name says, and that it loads like the text.
void ExpectEveryFormLoadsLikeTheText(const std::string& text) {
  XMesh reference;
  ASSERT_TRUE(ParseXFile(text.data(), text.size(), reference));
  const std::vector<XFileForm> forms = XFileForms(text);
  ASSERT_EQ(forms.size(), 6u);
  for (const XFileForm& form : forms) {
    SCOPED_TRACE(form.name);
    XFileFormat format;
    ASSERT_TRUE(ReadXFileFormat(form.bytes.data(), form.bytes.size(), format));
    EXPECT_EQ(format.binary,
              form.name.find("bin") != std::string::npos || form.name.starts_with("bzip"));
    EXPECT_EQ(format.compressed, form.name.find("zip") != std::string::npos);
    EXPECT_EQ(format.doubles, form.name.ends_with("64"));
    EXPECT_TRUE(LoadsLike(form.bytes, reference));
  }
}

TEST(XFileForms, EveryDefaultModelLoadsToTheSameMeshInEveryForm) {
  ASSERT_EQ(DefaultXModels().size(), 5u);
  for (const std::string& name : DefaultXModels()) {
    SCOPED_TRACE(name);
    ExpectEveryFormLoadsLikeTheText(ModelBytes(name));
  }
}

// Templates, strings, GUIDs, references, frames, split normals, colours: what real exporters
// write and our models do not.
TEST(XFileForms, TemplatesFramesNormalsColoursAndStringsSurviveEveryForm) {
  const std::string text = R"x(xof 0303txt 0032
template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}
template MeshMaterialList {
 <F6F23F42-7686-11cf-8F52-0040333594A3>
 DWORD nMaterials;
 DWORD nFaceIndexes;
 array DWORD faceIndexes[nFaceIndexes];
 [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]
}
Header { 1; 0; 1; }
Material Stone { 0.5;0.5;0.5;1.0;; 8.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "stone;{1}.bmp"; } }
Frame Scene_Root {
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 10.5,0.0,-2.25,1.0;; }
 Frame Body.001 {
  FrameTransformMatrix { 0.0,1.0,0.0,0.0, -1.0,0.0,0.0,0.0, 0.0,0.0,2.0,0.0, 0.0,0.0,5.0,1.0;; }
  Mesh BodyMesh {
   <22222222-3333-4444-5555-666666666666>
   4; -1.0;-1.0;0.0;, 1.0;-1.0;0.0;, 1.0;1.0;0.125;, -1.0;1.0;-0.0;;
   2; 4;0,1,2,3;, 3;0,2,1;;
   MeshNormals { 2; 0.0;0.0;1.0;, 0.0;0.0;-1.0;; 2; 4;0,0,0,0;, 3;1,1,1;; }
   MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }
   MeshVertexColors { 2; 0;1.0;0.0;0.0;1.0;, 3;0.0;0.5;1.0;0.25;; }
   MeshMaterialList { 1; 2; 0, 0;; { Stone } }
  }
 }
}
AnimationSet Walk { Animation { { Scene_Root } AnimationKey { 0; 1; 0; 4; 1.0, 0.0, 0.0, 0.0;;; } } }
)x";
  XMesh mesh;
  ASSERT_TRUE(ParseXFile(text.data(), text.size(), mesh));
  ASSERT_EQ(mesh.positions.size(), 7u * 3) << "three corners got a second normal";
  ASSERT_EQ(mesh.colors.size(), 7u);
  ExpectEveryFormLoadsLikeTheText(text);
}

TEST_F(DataDirTest, TheDemosMeshLoaderReadsEveryFormOfTheDefaultModels) {
  for (const std::string& name : DefaultXModels()) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> textVertices, textIndices;
    for (const XFileForm& form : XFileForms(ModelBytes(name))) {
      SCOPED_TRACE(form.name);
      WriteFile("Data/" + name, form.bytes);
      Mesh mesh;
      mesh.LoadX(("Data\\" + name).c_str(), nullptr, nullptr);
      ASSERT_GT(mesh.faceCount, 0u);
      const BYTE* vertices = mesh.vertexBuffer->Memory();
      const BYTE* indices = mesh.indexBuffer->Memory();
      const std::vector<uint8_t> v(vertices, vertices + mesh.vertexCount * sizeof(MeshVertex));
      const std::vector<uint8_t> i(indices, indices + mesh.faceCount * 6);
      if (form.name == "txt") {
        textVertices = v;
        textIndices = i;
      }
      EXPECT_EQ(v, textVertices);
      EXPECT_EQ(i, textIndices);
      mesh.vertexBuffer->Release();
      mesh.indexBuffer->Release();
    }
  }
}

TEST(XFileForms, SeedCorpusHoldsEveryDefaultModelInEveryForm) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("emberhall_xforms_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  ASSERT_TRUE(WriteXFileForms(dir.string()));
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    XMesh mesh;
    EXPECT_TRUE(ParseXFile(bytes.data(), bytes.size(), mesh)) << entry.path();
  }
  std::filesystem::remove_all(dir);
  EXPECT_EQ(files, 5u * 6);
}

}  // namespace
