// Tests for the text .x loader: what real exporter output must produce, and what
// malformed or hostile input must be refused without crashing or over-allocating.
#include "render/xfile.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/render/x_parsing.h"

namespace {

const std::string kHeader = "xof 0302txt 0032\n";

// A refused file must also leave `out` empty, even if it held data before.
::testing::AssertionResult Refused(std::string_view text) {
  XMesh mesh;
  mesh.positions = {1, 2, 3};
  mesh.texcoords = {1, 2};
  mesh.colors = {7};
  mesh.indices = {0, 0, 0};
  if (ParseExact(text, mesh)) return ::testing::AssertionFailure() << "file was accepted";
  if (!mesh.positions.empty() || !mesh.texcoords.empty() || !mesh.colors.empty() ||
      !mesh.indices.empty()) {
    return ::testing::AssertionFailure() << "refused, but output was not cleared";
  }
  return ::testing::AssertionSuccess();
}

size_t VertexCount(const XMesh& mesh) {
  return mesh.positions.size() / 3;
}

// Many tests only need "a small valid body" to isolate one rule.
const std::string kTriangle = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";

const std::string kSdkCube = R"x(xof 0302txt 0032
// Cube written the way the SDK samples are: templates first, then the data.
template Header {
 <3D82AB43-62DA-11cf-AB39-0020AF71E433>
 WORD major;
 WORD minor;
 DWORD flags;
}

template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}

template Coords2d {
 <F6F23F44-7686-11cf-8F52-0040333594A3>
 FLOAT u;
 FLOAT v;
}

template ColorRGBA {
 <35FF44E0-6C7C-11cf-8F52-0040333594A3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
 FLOAT alpha;
}

template ColorRGB {
 <D3E16E81-7835-11cf-8F52-0040333594A3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
}

template Material {
 <3D82AB4D-62DA-11cf-AB39-0020AF71E433>
 ColorRGBA faceColor;
 FLOAT power;
 ColorRGB specularColor;
 ColorRGB emissiveColor;
 [...]
}

template TextureFilename {
 <A42790E1-7810-11cf-8F52-0040333594A3>
 STRING filename;
}

template MeshFace {
 <3D82AB5F-62DA-11cf-AB39-0020AF71E433>
 DWORD nFaceVertexIndices;
 array DWORD faceVertexIndices[nFaceVertexIndices];
}

template MeshTextureCoords {
 <F6F23F40-7686-11cf-8F52-0040333594A3>
 DWORD nTextureCoords;
 array Coords2d textureCoords[nTextureCoords];
}

template MeshMaterialList {
 <F6F23F42-7686-11cf-8F52-0040333594A3>
 DWORD nMaterials;
 DWORD nFaceIndexes;
 array DWORD faceIndexes[nFaceIndexes];
 [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]
}

template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}

Header {
 1;
 0;
 1;
}

Mesh CubeMesh {
 8;
 -1.000000;-1.000000;-1.000000;,
 -1.000000;1.000000;-1.000000;,
 1.000000;1.000000;-1.000000;,
 1.000000;-1.000000;-1.000000;,
 -1.000000;-1.000000;1.000000;,
 -1.000000;1.000000;1.000000;,
 1.000000;1.000000;1.000000;,
 1.000000;-1.000000;1.000000;;
 6;
 4;0,1,2,3;,
 4;3,2,6,7;,
 4;7,6,5,4;,
 4;4,5,1,0;,
 4;1,5,6,2;,
 4;4,0,3,7;;

 MeshMaterialList {
  1;
  6;
  0,
  0,
  0,
  0,
  0,
  0;;
  Material {
   1.000000;1.000000;1.000000;1.000000;;
   0.000000;
   0.000000;0.000000;0.000000;;
   0.000000;0.000000;0.000000;;
   TextureFilename {
    "crate.bmp";
   }
  }
 }

 MeshTextureCoords {
  8;
  0.000000;1.000000;,
  0.000000;0.000000;,
  1.000000;0.000000;,
  1.000000;1.000000;,
  1.000000;1.000000;,
  1.000000;0.000000;,
  0.000000;0.000000;,
  0.000000;1.000000;;
 }
}
)x";

// Exporter style: nested frames, row-major matrices with ";;" endings, comments.
const std::string kExporterScene = R"x(xof 0303txt 0032
# exported scene
Frame Scene_Root {
  FrameTransformMatrix {
    1.000000, 0.000000, 0.000000, 0.000000,
    0.000000, 1.000000, 0.000000, 0.000000,
    0.000000, 0.000000, 1.000000, 0.000000,
    10.000000, 0.000000, 0.000000, 1.000000;;
  }
  Frame Body {
    FrameTransformMatrix {
      0.000000, 1.000000, 0.000000, 0.000000,
      -1.000000, 0.000000, 0.000000, 0.000000,
      0.000000, 0.000000, 1.000000, 0.000000,
      0.000000, 0.000000, 5.000000, 1.000000;;
    }
    Mesh BodyMesh {  // a single triangle
      3;
      1.000000; 0.000000; 0.000000;,
      0.000000; 1.000000; 0.000000;,
      0.000000; 0.000000; 0.000000;;
      1;
      3; 0, 1, 2;;
      MeshNormals {
        1;
        0.000000; 0.000000; 1.000000;;
        1;
        3; 0, 0, 0;;
      }
      MeshTextureCoords {
        3;
        1.000000; 0.000000;,
        0.000000; 1.000000;,
        0.000000; 0.000000;;
      }
    }
  }
}
)x";

// ---------------------------------------------------------------- header

TEST(XFileHeader, AcceptsTextVersions0301To0303WithEitherFloatSize) {
  for (const char* version : {"0301", "0302", "0303"}) {
    for (const char* floatSize : {"0032", "0064"}) {
      const std::string text =
          std::string("xof ") + version + "txt " + floatSize + "\n" + kTriangle;
      XMesh mesh;
      EXPECT_TRUE(ParseExact(text, mesh)) << version << " " << floatSize;
      EXPECT_EQ(mesh.indices.size(), 3u);
    }
  }
}

TEST(XFileHeader, TextBehindABinaryOrCompressedHeaderIsRefused) {
  for (const char* header :
       {"xof 0302bin 0032", "xof 0303tzip0032", "xof 0303bzip0032", "xof 0302bin 0064"}) {
    EXPECT_TRUE(Refused(std::string(header) + "\n" + kTriangle)) << header;
  }
}

TEST(XFileHeader, RefusesUnknownMagicVersionOrFloatSize) {
  for (const char* header :
       {"XOF 0302txt 0032", "xof 0300txt 0032", "xof 0304txt 0032", "xof 0302txt 0016",
        "xof 0302TXT 0032", "abc 0302txt 0032", "xof0302txt 0032 "}) {
    EXPECT_TRUE(Refused(std::string(header) + "\n" + kTriangle)) << header;
  }
}

TEST(XFileHeader, RefusesEmptyOrHeaderOnlyInput) {
  EXPECT_TRUE(Refused(""));
  EXPECT_TRUE(Refused("xof 0302txt"));
  EXPECT_TRUE(Refused("xof 0302txt 0032"));
  XMesh mesh;
  EXPECT_FALSE(ParseXFile(nullptr, 0, mesh));
}

// ---------------------------------------------------------------- tokens

TEST(XFileTokens, SemicolonAndCommaTerminatorStylesAreEquivalent) {
  const std::string commaStyle = kHeader + R"x(
Mesh {
 4;
 0.0;0.0;0.0;,
 1.0;0.0;0.0;,
 1.0;1.0;0.0;,
 0.0;1.0;0.0;;
 1;
 4;0,1,2,3;;
})x";
  const std::string doubleSemicolonStyle = kHeader + R"x(
Mesh quad {
 4;
 0.0; 0.0; 0.0;;
 1.0; 0.0; 0.0;;
 1.0; 1.0; 0.0;;
 0.0; 1.0; 0.0;;
 1;
 4; 0; 1; 2; 3;;
})x";
  const std::string bareStyle = kHeader + "Mesh{4 0 0 0 1,0,0 1 1 0 0 1 0 1 4 0 1 2 3}";
  const XMesh a = MustParse(commaStyle);
  const XMesh b = MustParse(doubleSemicolonStyle);
  const XMesh c = MustParse(bareStyle);
  const std::vector<float> positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  EXPECT_EQ(a.positions, positions);
  EXPECT_EQ(b.positions, positions);
  EXPECT_EQ(c.positions, positions);
  EXPECT_EQ(a.indices, b.indices);
  EXPECT_EQ(a.indices, c.indices);
}

TEST(XFileTokens, NumbersWithSignsExponentsAndBareDots) {
  const XMesh mesh = MustParse(
      kHeader +
      "Mesh { 3; 1e0; -2.5E-1; +3.;, .5; -0.0; 1.5e+1;, +4; -7; 2E2;; 1; 3; +0, 1, 2;; }");
  const std::vector<float> expected = {1.0f, -0.25f, 3.0f, 0.5f, -0.0f, 15.0f, 4.0f, -7.0f, 200.0f};
  EXPECT_EQ(mesh.positions, expected);
}

TEST(XFileTokens, CommentsRunToEndOfLineAndMayHoldBraces) {
  const std::string text = kHeader + R"x(// a comment with a { brace
# hash comment with a } brace
Mesh { // names are optional
 3; # vertex count
 0;0;0;, 1;0;0;, // first two
 0;1;0;;
 1; 3;0,1,2;;
} // trailing comment without newline)x";
  const XMesh mesh = MustParse(text);
  EXPECT_EQ(VertexCount(mesh), 3u);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2}));
}

TEST(XFileTokens, StringsMayHoldBracesSeparatorsAndCommentMarkers) {
  const std::string text = kHeader + R"x(
Mesh {
 3; 0;0;0;, 1;0;0;, 0;1;0;;
 1; 3;0,1,2;;
 MeshMaterialList {
  1; 1; 0;;
  Material {
   1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;
   TextureFilename { "tex{1}; // #not a comment }.png"; }
  }
 }
})x";
  EXPECT_EQ(MustParse(text).indices.size(), 3u);
}

TEST(XFileTokens, UnterminatedStringOrGuidFails) {
  EXPECT_TRUE(Refused(kHeader + kTriangle + "Thing { \"open string; }\n"));
  EXPECT_TRUE(Refused(kHeader + kTriangle + "template Thing { <ABC-DEF }\n"));
}

TEST(XFileTokens, ObjectNamesMayStartWithDigitsOrHoldDashes) {
  const std::string text =
      kHeader + "Frame Box-01 { Mesh 1_Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }";
  EXPECT_EQ(MustParse(text).indices.size(), 3u);
}

// ---------------------------------------------------------------- mesh structure

TEST(XFileMesh, SdkCubeWithTemplatesMaterialsAndTexcoords) {
  const XMesh mesh = MustParse(kSdkCube);
  ASSERT_EQ(VertexCount(mesh), 8u);
  EXPECT_EQ(mesh.positions[0], -1.0f);
  EXPECT_EQ(mesh.positions[7 * 3 + 0], 1.0f);
  EXPECT_EQ(mesh.positions[7 * 3 + 1], -1.0f);
  EXPECT_EQ(mesh.positions[7 * 3 + 2], 1.0f);
  EXPECT_EQ(mesh.texcoords, (std::vector<float>{0, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 1}));
  EXPECT_TRUE(mesh.colors.empty());
  ASSERT_EQ(mesh.indices.size(), 36u);
  EXPECT_EQ(std::vector<uint32_t>(mesh.indices.begin(), mesh.indices.begin() + 6),
            (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
  EXPECT_EQ(std::vector<uint32_t>(mesh.indices.end() - 6, mesh.indices.end()),
            (std::vector<uint32_t>{4, 0, 3, 4, 3, 7}));
}

TEST(XFileMesh, QuadFaceBecomesFanTriangles) {
  const XMesh mesh =
      MustParse(kHeader + "Mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 1; 4;0,1,2,3;; }");
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
}

TEST(XFileMesh, PentagonFaceBecomesFanFromFirstCorner) {
  const XMesh mesh =
      MustParse(kHeader + "Mesh { 5; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;1;0;; 1; 5;4,3,2,1,0;; }");
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{4, 3, 2, 4, 2, 1, 4, 1, 0}));
}

TEST(XFileMesh, FaceWithFewerThanThreeCornersFails) {
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;, 2;0,1;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;, 0;;; }"));
}

TEST(XFileMesh, TwoMeshesMergeWithOffsetIndicesAndFilledAttributes) {
  const std::string text = kHeader + R"x(
Mesh first {
 3; 0;0;0;, 1;0;0;, 0;1;0;;
 1; 3;0,1,2;;
 MeshTextureCoords { 3; 0.1;0.2;, 0.3;0.4;, 0.5;0.6;; }
}
Mesh second {
 4; 5;0;0;, 6;0;0;, 6;1;0;, 5;1;0;;
 1; 4;0,1,2,3;;
 MeshVertexColors { 4; 0;1;0;0;1;, 1;0;1;0;1;, 2;0;0;1;1;, 3;1;1;1;1;; }
})x";
  const XMesh mesh = MustParse(text);
  ASSERT_EQ(VertexCount(mesh), 7u);
  EXPECT_EQ(mesh.positions[3 * 3], 5.0f);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 3, 5, 6}));
  EXPECT_EQ(mesh.texcoords,
            (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(mesh.colors,
            (std::vector<uint32_t>{0, 0, 0, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu}));
}

TEST(XFileMesh, VertexColorsAreClampedRoundedAndMayBeSparse) {
  const std::string text = kHeader + R"x(
Mesh {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 1; 4;0,1,2,3;;
 MeshVertexColors {
  3;
  2; 0.0; 0.5; 1.0; 0.25;,
  0; 1.0; 0.0; 0.0; 1.0;,
  1; 2.0; -1.0; 0.0; 0.0;;
 }
})x";
  const XMesh mesh = MustParse(text);
  // 0.5 * 255 rounds to 0x80 and 0.25 * 255 to 0x40; vertex 3 is never named.
  EXPECT_EQ(mesh.colors, (std::vector<uint32_t>{0xFFFF0000u, 0x00FF0000u, 0x400080FFu, 0u}));
  EXPECT_TRUE(mesh.texcoords.empty());
}

TEST(XFileMesh, VertexColorIndexOutOfRangeFails) {
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; "
                                "MeshVertexColors { 1; 3;1;1;1;1;; } }"));
}

TEST(XFileMesh, TexcoordCountMustEqualVertexCount) {
  const std::string body = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshTextureCoords { ";
  // Counts that disagree with the vertex count, whether the data follows the count or
  // the vertices.
  EXPECT_TRUE(Refused(kHeader + body + "2; 0;0;, 1;0;; } }"));
  EXPECT_TRUE(Refused(kHeader + body + "2; 0;0;, 1;0;, 0;1;; } }"));
  EXPECT_TRUE(Refused(kHeader + body + "4; 0;0;, 1;0;, 0;1;, 1;1;; } }"));
  EXPECT_TRUE(Refused(kHeader + body + "4; 0;0;, 1;0;, 0;1;; } }"));
  EXPECT_EQ(MustParse(kHeader + body + "3; 0;0;, 1;0;, 0;1;; } }").texcoords.size(), 6u);
}

TEST(XFileMesh, FaceIndexAtOrAboveVertexCountFails) {
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,-1,2;; }"));
}

TEST(XFileMesh, DeclaredCountsMustMatchTheDataPresent) {
  // One vertex short, one vertex too many, one face too many, one face short.
  EXPECT_TRUE(Refused(kHeader + "Mesh { 4; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 2; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;, 3;0,1,2;; }"));
}

TEST(XFileMesh, CountsAndIndicesMustBeNonNegativeIntegers) {
  EXPECT_TRUE(Refused(kHeader + "Mesh { -3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3.0; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1.0,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; -1; 3;0,1,2;; }"));
}

TEST(XFileMesh, FileWithoutAnyTriangleFails) {
  EXPECT_TRUE(
      Refused(kHeader +
              "template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; }\n"
              "Frame Root { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; } }\n"));
  EXPECT_TRUE(Refused(kHeader + "Mesh empty { 0;; 0;; }"));
}

TEST(XFileMesh, BadNumbersInsideVerticesFail) {
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;x;0;, 0;1;0;; 1; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;1e999;0;, 0;1;0;; 1; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;-1.#IND00;0;, 0;1;0;; 1; 3;0,1,2;; }"));
}

// ---------------------------------------------------------------- frames

TEST(XFileFrames, FrameTransformMovesPositions) {
  const std::string text = kHeader + R"x(
Frame Moved {
 FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 1,2,3,1;; }
 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
})x";
  EXPECT_EQ(MustParse(text).positions, (std::vector<float>{1, 2, 3, 3, 2, 3, 1, 4, 3}));
}

TEST(XFileFrames, NestedFramesApplyInnerMatrixFirst) {
  // Inner: rotate (x,y) -> (-y,x) and lift z by 5; outer: shift x by 10. Applying them
  // in the other order would give (0,11,5) for the first vertex.
  const XMesh mesh = MustParse(kExporterScene);
  EXPECT_EQ(mesh.positions, (std::vector<float>{10, 1, 5, 9, 0, 5, 10, 0, 5}));
  EXPECT_EQ(mesh.texcoords, (std::vector<float>{1, 0, 0, 1, 0, 0}));
}

TEST(XFileFrames, MatrixAfterTheMeshStillApplies) {
  const std::string text = kHeader + R"x(
Frame {
 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,7,1;; }
})x";
  EXPECT_EQ(MustParse(text).positions, (std::vector<float>{0, 0, 7, 1, 0, 7, 0, 1, 7}));
}

TEST(XFileFrames, TransformReachesOnlyMeshesInsideItsFrame) {
  const std::string text = kHeader + R"x(
Frame A {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 100,0,0,1;; }
 Frame Child { Mesh { 1; 1;1;1;; 1; 3;0,0,0;; } }
}
Frame B {
 Mesh { 1; 1;1;1;; 1; 3;0,0,0;; }
}
Mesh { 1; 1;1;1;; 1; 3;0,0,0;; }
)x";
  const XMesh mesh = MustParse(text);
  EXPECT_EQ(mesh.positions, (std::vector<float>{101, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 0, 0, 1, 1, 1, 2, 2, 2}));
}

TEST(XFileFrames, MalformedFrameTransformFails) {
  EXPECT_TRUE(Refused(kHeader + "Frame { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0;; } " +
                      kTriangle + "}"));
  EXPECT_TRUE(Refused(kHeader +
                      "Frame { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1, 5;; } " +
                      kTriangle + "}"));
}

TEST(XFileFrames, EveryEnclosingFrameOfADeepHierarchyApplies) {
  std::string text = kHeader;
  for (int i = 0; i < 100; ++i)
    text += "Frame { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1;; }\n";
  text += "Mesh { 1; 0;0;0;; 1; 3;0,0,0;; }";
  for (int i = 0; i < 100; ++i) text += "}";
  EXPECT_EQ(MustParse(text).positions, (std::vector<float>{100, 0, 0}));
}

TEST(XFileFrames, TransformedPositionsMustStayFinite) {
  const std::string scale30 = "FrameTransformMatrix { 1e30,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }";
  EXPECT_TRUE(Refused(kHeader + "Frame { " + scale30 + " Mesh { 3; 1e30;0;0;, 1;0;0;, 0;1;0;; " +
                      "1; 3;0,1,2;; } }"));
  // 200 frames each scaling by 1e38: the composed matrix overflows, and even a vertex at the
  // origin comes out NaN (0 times infinity).
  std::string nested = kHeader;
  for (int i = 0; i < 200; ++i)
    nested += "Frame { FrameTransformMatrix { 1e38,0,0,0, 0,1e38,0,0, 0,0,1e38,0, 0,0,0,1;; }\n";
  nested += kTriangle;
  for (int i = 0; i < 200; ++i) nested += "}";
  EXPECT_TRUE(Refused(nested));
  // Large factors that cancel out are fine.
  const std::string down = "FrameTransformMatrix { 1e-30,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }";
  EXPECT_EQ(
      MustParse(kHeader + "Frame { " + down + " Frame { " + scale30 + kTriangle + "} }").positions,
      (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}));
}

TEST(XFileFrames, ManyMeshesInsideDeepFramesAllGetTheFullTransform) {
  // 256 frames (the deepest allowed), each moving x by 1, around 40,000 empty meshes and a
  // triangle on each side of them.
  std::string text = kHeader;
  for (int i = 0; i < 256; ++i)
    text += "Frame{FrameTransformMatrix{1,0,0,0,0,1,0,0,0,0,1,0,1,0,0,1;;}\n";
  text += kTriangle;
  for (int i = 0; i < 40000; ++i) text += "Mesh{0;0;}";
  text += kTriangle;
  for (int i = 0; i < 256; ++i) text += "}";
  EXPECT_EQ(MustParse(text).positions,
            (std::vector<float>{256, 0, 0, 257, 0, 0, 256, 1, 0, 256, 0, 0, 257, 0, 0, 256, 1, 0}));
}

TEST(XFileFrames, AbsurdNestingIsRefusedWithoutExhaustingTheStack) {
  std::string text = kHeader;
  for (int i = 0; i < 1000000; ++i) text += "Frame{";
  text += kTriangle;
  for (int i = 0; i < 1000000; ++i) text += "}";
  EXPECT_TRUE(Refused(text));
}

// ---------------------------------------------------------------- normals and duplication

// Quad v0..v3 with faces (0,1,2), (0,2,3), (2,0,3) and normals a, b, c of different
// value, followed by a plain triangle mesh; `faceNormals` is the face part of
// MeshNormals, count first.
std::string SplitQuad(const std::string& faceNormals) {
  return kHeader + R"x(
Mesh {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 3; 3;0,1,2;, 3;0,2,3;, 3;2,0,3;;
 MeshTextureCoords { 4; 0.0;0.0;, 0.25;0.0;, 0.5;0.0;, 0.75;0.0;; }
 MeshVertexColors { 4; 0;1;0;0;1;, 1;0;1;0;1;, 2;0;0;1;1;, 3;1;1;1;1;; }
 MeshNormals {
  3; 0;0;1;, 1;0;0;, 0;1;0;;
  )x" + faceNormals +
         R"x(;
 }
}
Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
)x";
}

TEST(XFileNormals, VertexWithSecondNormalIsCopiedAtTheEndAndCornersRemapped) {
  // Face 1 gives v0 normal b (copy 4 of v0) and v2 normal c (copy 5 of v2); face 2
  // reuses both copies and gives v3 a second normal b (copy 6 of v3).
  const XMesh mesh = MustParse(SplitQuad("3; 3;0,0,0;, 3;1,2,0;, 3;2,1,1;"));
  ASSERT_EQ(VertexCount(mesh), 10u);
  EXPECT_EQ(std::vector<float>(mesh.positions.begin() + 12, mesh.positions.begin() + 21),
            (std::vector<float>{0, 0, 0, 1, 1, 0, 0, 1, 0}));
  EXPECT_EQ(std::vector<float>(mesh.texcoords.begin() + 8, mesh.texcoords.begin() + 14),
            (std::vector<float>{0.0f, 0.0f, 0.5f, 0.0f, 0.75f, 0.0f}));
  EXPECT_EQ(std::vector<uint32_t>(mesh.colors.begin() + 4, mesh.colors.begin() + 7),
            (std::vector<uint32_t>{0xFFFF0000u, 0xFF0000FFu, 0xFFFFFFFFu}));
  // The following mesh starts after the copies.
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 4, 5, 3, 5, 4, 6, 7, 8, 9}));
}

TEST(XFileNormals, SameNormalEverywhereAddsNoVertices) {
  const XMesh mesh = MustParse(SplitQuad("3; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;"));
  EXPECT_EQ(VertexCount(mesh), 7u);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 2, 0, 3, 4, 5, 6}));
}

TEST(XFileNormals, NormalsAreComparedByValueNotByIndex) {
  const std::string text = kHeader + R"x(
Mesh {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshNormals {
  2; 0.0;0.0;1.0;, -0.0;0.000;1e0;;
  2; 3;0,0,0;, 3;1,1,1;;
 }
})x";
  const XMesh mesh = MustParse(text);
  EXPECT_EQ(VertexCount(mesh), 4u);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
}

TEST(XFileNormals, FaceCountMustMatchTheMesh) {
  // Wrong count with data for the wrong number of faces, and with data for the right one.
  EXPECT_TRUE(Refused(SplitQuad("2; 3;0,0,0;, 3;0,0,0;")));
  EXPECT_TRUE(Refused(SplitQuad("4; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;, 3;0,0,0;")));
  EXPECT_TRUE(Refused(SplitQuad("2; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;")));
  EXPECT_TRUE(Refused(SplitQuad("4; 3;0,0,0;, 3;0,0,0;, 3;0,0,0;")));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; "
                                "MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }"));
}

TEST(XFileNormals, CornerCountMustMatchTheMeshFace) {
  EXPECT_TRUE(Refused(SplitQuad("3; 3;0,0,0;, 4;0,0,0,0;, 3;0,0,0;")));
  EXPECT_TRUE(Refused(SplitQuad("3; 3;0,0,0;, 3;0,0,0;, 2;0,0;")));
}

TEST(XFileNormals, NormalIndexMustBeBelowNormalCount) {
  EXPECT_TRUE(Refused(SplitQuad("3; 3;0,0,0;, 3;0,3,0;, 3;0,0,0;")));
}

// ---------------------------------------------------------------- skipping

TEST(XFileSkipping, UnknownObjectsTemplatesAndReferencesAreSkipped) {
  const std::string text = kHeader + R"x(
template FVFData {
 <B6E70A0E-8EF9-4e83-94AD-ECC8B0C04897>
 DWORD dwFVF;
 DWORD nDWords;
 array DWORD data[nDWords];
}
template Restricted { <00000000-0000-0000-0000-000000000001> DWORD x; [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>] }
Header { 1; 0; 1; }
AnimTicksPerSecond { 4800; }
Material SharedMat { 1.0;0.0;0.0;1.0;; 5.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; }
{ SharedMat }
Frame Root {
 ExporterData { 2; "note; {braces}"; { SharedMat } Nested { Deeper { 1; } } }
 { <11111111-2222-3333-4444-555555555555> }
 Mesh RootMesh {
  <22222222-3333-4444-5555-666666666666>
  3; 0;0;0;, 1;0;0;, 0;1;0;;
  1; 3;0,1,2;;
  VertexDuplicationIndices { 3; 3; 0, 1, 2;; }
  MeshMaterialList { 1; 1; 0;; { SharedMat } }
  XSkinMeshHeader { 1; 2; 1; }
  SkinWeights { "Bone01"; 1; 0; 1.0;; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
  DeclData { 1; 2; 0; 3; 0;; 3; 1, 2, 3; }
  { SharedMat }
 }
}
AnimationSet Walk {
 Animation {
  { Root }
  AnimationKey { 0; 1; 0; 4; 1.0, 0.0, 0.0, 0.0;;; }
 }
}
)x";
  const XMesh mesh = MustParse(text);
  EXPECT_EQ(mesh.positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2}));
}

TEST(XFileSkipping, DeeplyNestedUnknownObjectsAreSkipped) {
  std::string text = kHeader;
  for (int i = 0; i < 50000; ++i) text += "Thing {";
  for (int i = 0; i < 50000; ++i) text += "}";
  text += kTriangle;
  EXPECT_EQ(MustParse(text).indices.size(), 3u);
}

TEST(XFileSkipping, UnbalancedBracesFail) {
  EXPECT_TRUE(Refused(kHeader + kTriangle + "Thing { { }\n"));
  EXPECT_TRUE(Refused(kHeader + kTriangle + "}\n"));
  EXPECT_TRUE(Refused(kHeader + "Frame { " + kTriangle));
}

// ---------------------------------------------------------------- limits and damage

// (bench/mesh_bench's BM_RefuseAbsurdCount measures how quickly.)
TEST(XFileLimits, AbsurdCountsAreRefused) {
  const std::string tri = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; ";
  EXPECT_TRUE(Refused(kHeader + "Mesh { 4000000000; 0;0;0;; 1; 3;0,0,0;; }"));
  EXPECT_TRUE(Refused(kHeader + "Mesh { 99999999999999999999999; 0;0;0;; 1; 3;0,0,0;; }"));
  EXPECT_TRUE(Refused(kHeader + tri + "4000000000; 3;0,1,2;; }"));
  EXPECT_TRUE(Refused(kHeader + tri + "1; 4000000000; 0,1,2;; }"));
  EXPECT_TRUE(
      Refused(kHeader + tri + "1; 3;0,1,2;; MeshNormals { 4000000000; 0;0;1;; 1; 3;0,0,0;; } }"));
  EXPECT_TRUE(
      Refused(kHeader + tri + "1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 4000000000;0,0,0;; } }"));
  EXPECT_TRUE(
      Refused(kHeader + tri + "1; 3;0,1,2;; MeshVertexColors { 4000000000; 0;1;1;1;1;; } }"));
  // A count the remaining text cannot hold, even though it is small in absolute terms.
  EXPECT_TRUE(Refused(kHeader + "Mesh { 100; 0;0;0;; 1; 3;0,0,0;; }"));
}

std::string GridMesh(size_t vertexCount, const std::string& extra = "") {
  std::string text = "Mesh { " + std::to_string(vertexCount) + ";\n";
  for (size_t i = 0; i < vertexCount; ++i) text += "0;0;0;,";
  return text + "; 2; 3;0,1,2;, 3;0,1,2;; " + extra + "}\n";
}

TEST(XFileLimits, MergedVertexCountIsCappedAt65536) {
  EXPECT_EQ(VertexCount(MustParse(kHeader + GridMesh(65536))), 65536u);
  EXPECT_TRUE(Refused(kHeader + GridMesh(40000) + GridMesh(40000)));
  EXPECT_TRUE(Refused(kHeader + GridMesh(65537)));
}

TEST(XFileLimits, NormalSplitCopiesCountTowardsTheVertexCap) {
  const std::string normals = "MeshNormals { 2; 0;0;1;, 0;1;0;; 2; 3;0,0,0;, 3;1,1,1;; }";
  EXPECT_EQ(VertexCount(MustParse(kHeader + GridMesh(65533, normals))), 65536u);
  EXPECT_TRUE(Refused(kHeader + GridMesh(65534, normals)));
}

TEST(XFileLimits, EveryTruncationFailsWithoutCrashing) {
  for (const std::string* file : {&kExporterScene, &kSdkCube}) {
    const size_t lastBrace = file->rfind('}');
    ASSERT_NE(lastBrace, std::string::npos);
    for (size_t length = 0; length <= lastBrace; ++length) {
      if (!Refused(std::string_view(*file).substr(0, length))) {
        ADD_FAILURE() << "prefix of " << length << " bytes was accepted";
        break;
      }
    }
    EXPECT_TRUE(MustParse(std::string_view(*file).substr(0, lastBrace + 1)).indices.size() > 0);
  }
}

TEST(XFileLimits, CorruptedBytesNeverCrashAndAcceptedResultsStayConsistent) {
  const char replacements[] = {'{', '}', '"', '<', '-', '9', ';', '\0', '#', 'x', '.', 'e'};
  for (size_t pos = 16; pos < kExporterScene.size(); pos += 3) {
    for (const char replacement : replacements) {
      std::string text = kExporterScene;
      text[pos] = replacement;
      XMesh mesh;
      if (!ParseExact(text, mesh)) continue;
      const size_t vertices = VertexCount(mesh);
      ASSERT_EQ(mesh.positions.size(), vertices * 3);
      ASSERT_TRUE(mesh.texcoords.empty() || mesh.texcoords.size() == vertices * 2);
      ASSERT_EQ(mesh.indices.size() % 3, 0u);
      for (const uint32_t index : mesh.indices) ASSERT_LT(index, vertices);
    }
  }
}

}  // namespace
