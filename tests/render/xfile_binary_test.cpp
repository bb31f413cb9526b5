// Tests for binary X files: what the binary token stream must produce (the mesh of the same
// file in text), and what truncated, overlong or undefined records must do (refused, never
// read past the end). Inputs are copied into exactly-sized heap buffers so sanitizers catch
// any read past the end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "render/xfile.h"
#include "render/xfile_binary_format.h"
#include "tests/render/x_parsing.h"
#include "tests/test_files.h"

namespace {

bool Refused(std::string_view bytes) {
  XMesh mesh;
  mesh.positions = {1, 2, 3};
  return !ParseExact(bytes, mesh) && mesh.positions.empty();
}

// A binary X file, token by token.
class XBin {
 public:
  explicit XBin(bool doubles = false)
      : bytes_(std::string("xof 0303bin ") + (doubles ? "0064" : "0032")), doubles_(doubles) {}

  XBin& Token(uint16_t token) {
    Put16(bytes_, token);
    return *this;
  }
  XBin& Name(std::string_view name) {
    Token(xbin::kName);
    Put32(bytes_, uint32_t(name.size()));
    bytes_ += name;
    return *this;
  }
  // Documented with a 32-bit terminator; some writers use the 16-bit token.
  XBin& String(std::string_view text, bool wideTerminator) {
    Token(xbin::kString);
    Put32(bytes_, uint32_t(text.size()));
    bytes_ += text;
    return wideTerminator ? Raw32(xbin::kSemicolon) : Token(xbin::kSemicolon);
  }
  XBin& Guid() {
    Token(xbin::kGuid);
    bytes_ += std::string("\x43\xAB\x82\x3D\xDA\x62\xCF\x11\xAB\x39\x00\x20\xAF\x71\xE4\x33", 16);
    return *this;
  }
  XBin& Integer(uint32_t value) { return Token(xbin::kInteger).Raw32(value); }
  XBin& Ints(const std::vector<uint32_t>& values) {
    Token(xbin::kIntegerList).Raw32(uint32_t(values.size()));
    for (const uint32_t v : values) Raw32(v);
    return *this;
  }
  XBin& Floats(const std::vector<double>& values) {
    Token(xbin::kFloatList).Raw32(uint32_t(values.size()));
    for (const double v : values) {
      if (!doubles_) {
        PutFloat(bytes_, float(v));
        continue;
      }
      uint64_t bits;
      std::memcpy(&bits, &v, 8);
      Raw32(uint32_t(bits)).Raw32(uint32_t(bits >> 32));
    }
    return *this;
  }
  XBin& Open() { return Token(xbin::kOpenBrace); }
  XBin& Close() { return Token(xbin::kCloseBrace); }
  XBin& Raw32(uint32_t value) {
    Put32(bytes_, value);
    return *this;
  }
  XBin& Append(const XBin& other) {
    bytes_ += other.bytes_.substr(16);
    return *this;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  bool doubles_;
};

// The triangle (0,0,0) (1,0,0) (0,1,0) with coordinates, as a binary exporter writes it.
XBin Triangle(bool doubles = false) {
  XBin b(doubles);
  b.Name("Mesh").Name("Tri").Open().Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
  b.Ints({1, 3, 0, 1, 2});
  b.Name("MeshTextureCoords").Open().Ints({3}).Floats({0.25, 0.5, 1, 0, 0, 1}).Close();
  return b.Close();
}

const char kTriangleText[] =
    "xof 0303txt 0032\nMesh Tri { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
    " MeshTextureCoords { 3; 0.25;0.5;, 1;0;, 0;1;; } }\n";

void ExpectSameMesh(const XMesh& a, const XMesh& b) {
  EXPECT_EQ(a.positions, b.positions);
  EXPECT_EQ(a.texcoords, b.texcoords);
  EXPECT_EQ(a.colors, b.colors);
  EXPECT_EQ(a.indices, b.indices);
}

// ---------------------------------------------------------------- header

TEST(XFileFormat, HeaderNamesTheEncodingAndFloatSize) {
  struct Case {
    const char* header;
    const char* description;
  };
  for (const Case& c : {Case{"xof 0302txt 0064", "text X file"},
                        Case{"xof 0303bin 0032", "binary X file with 32-bit floats"},
                        Case{"xof 0302bin 0064", "binary X file with 64-bit floats"},
                        Case{"xof 0303tzip0032", "compressed text X file"},
                        Case{"xof 0301bzip0064", "compressed binary X file with 64-bit floats"}}) {
    XFileFormat format;
    ASSERT_TRUE(ReadXFileFormat(c.header, 16, format)) << c.header;
    EXPECT_EQ(DescribeXFileFormat(format), c.description);
  }
  XFileFormat format;
  for (const char* header : {"xof 0302cmp 0032", "xof 0302bin 0016", "xof 0304bin 0032",
                             "xof 0302BIN 0032", "xof 0302bzip003"})
    EXPECT_FALSE(ReadXFileFormat(header, std::strlen(header), format)) << header;
}

// ---------------------------------------------------------------- reading

TEST(XFileBinary, TriangleReadsLikeItsTextForm) {
  const XMesh mesh = MustParse(Triangle().Bytes());
  ExpectSameMesh(mesh, MustParse(kTriangleText));
  EXPECT_EQ(mesh.texcoords, (std::vector<float>{0.25f, 0.5f, 1, 0, 0, 1}));
}

TEST(XFileBinary, SixtyFourBitFloatsNarrowLikeTextNumbers) {
  XBin b(true);
  b.Name("Mesh")
      .Open()
      .Ints({3})
      .Floats({0.1, 1e-3, 123.456, 1, 0, 0, 0, 1, 0})
      .Ints({1, 3, 0, 1, 2});
  const XMesh text =
      MustParse("xof 0302txt 0064\nMesh { 3; 0.1;1e-3;123.456;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }");
  ExpectSameMesh(MustParse(b.Close().Bytes()), text);
  EXPECT_EQ(text.positions[0], 0.1f);
}

TEST(XFileBinary, ListsMaySplitOrMergeAndSeparatorsMayStandBetween) {
  XBin b;
  b.Name("Mesh").Open().Integer(3).Token(xbin::kSemicolon);
  b.Floats({0, 0, 0}).Token(xbin::kComma).Floats({1, 0, 0, 0, 1, 0}).Token(xbin::kSemicolon);
  b.Ints({1}).Ints({}).Ints({3, 0}).Token(xbin::kSemicolon).Ints({1, 2});
  b.Name("MeshTextureCoords").Open().Ints({3}).Floats({0.25, 0.5}).Floats({1, 0, 0, 1}).Close();
  ExpectSameMesh(MustParse(b.Close().Bytes()), MustParse(Triangle().Bytes()));
}

TEST(XFileBinary, TemplatesStringsGuidsReferencesAndFramesReadAsInText) {
  XBin b;
  // template Mesh { <guid> DWORD nVertices; array Vector vertices[nVertices]; [...] }
  b.Token(xbin::kTemplate).Name("Mesh").Open().Guid();
  b.Token(xbin::kDword).Name("nVertices").Token(xbin::kSemicolon);
  b.Token(xbin::kArray).Name("Vector").Name("vertices").Token(xbin::kOpenBracket);
  b.Name("nVertices").Token(xbin::kCloseBracket).Token(xbin::kSemicolon);
  b.Token(xbin::kOpenBracket).Token(xbin::kDot).Token(xbin::kDot).Token(xbin::kDot);
  b.Token(xbin::kCloseBracket).Close();
  b.Name("Material").Name("Red").Open().Floats({1, 0, 0, 1, 5, 1, 1, 1, 0, 0, 0});
  b.Name("TextureFilename").Open().String("red.bmp", true).Close();
  b.Name("Note").Open().String("{ not a brace }", false).String("", true).Close().Close();
  b.Name("Frame").Name("Root").Open().Guid();
  b.Name("FrameTransformMatrix").Open();
  b.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1}).Close();
  b.Open().Name("Red").Close();  // a reference
  b.Append(Triangle()).Close();
  const XMesh mesh = MustParse(b.Bytes());
  EXPECT_EQ(mesh.positions, (std::vector<float>{10, 20, 30, 11, 20, 30, 10, 21, 30}));
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2}));
}

// ---------------------------------------------------------------- refusing

TEST(XFileBinary, UndefinedTokensAndEmptyNamesAreRefused) {
  for (const uint16_t token : {0, 4, 8, 9, 21, 30, 32, 39, 53, 0xFFFF}) {
    XBin b;
    b.Token(token).Append(Triangle());
    EXPECT_TRUE(Refused(b.Bytes())) << token;
  }
  XBin b;
  b.Name("Mesh").Name("").Open();
  EXPECT_TRUE(Refused(b.Append(Triangle()).Bytes()));
}

TEST(XFileBinary, RecordsLongerThanTheRestOfTheFileAreRefused) {
  auto withRecord = [&](uint16_t token, uint32_t length) {
    XBin b;
    b.Append(Triangle()).Token(token).Raw32(length).Raw32(0);
    return b.Bytes();
  };
  // Each record claims one item more than the bytes after it hold.
  EXPECT_TRUE(Refused(withRecord(xbin::kName, 5)));
  EXPECT_TRUE(Refused(withRecord(xbin::kString, 5)));
  EXPECT_TRUE(Refused(withRecord(xbin::kIntegerList, 2)));
  EXPECT_TRUE(Refused(withRecord(xbin::kFloatList, 2)));
  EXPECT_TRUE(Refused(withRecord(xbin::kIntegerList, 0xFFFFFFFF)));
  // With 64-bit floats two values need 16 bytes: the 8 left hold two 32-bit values but not
  // two 64-bit ones.
  XBin wide(true);
  wide.Append(Triangle(true)).Token(xbin::kFloatList).Raw32(2).Raw32(0).Raw32(0);
  EXPECT_TRUE(Refused(wide.Bytes()));
}

TEST(XFileBinary, MeshCountsBeyondWhatTheFileHoldsAreRefused) {
  XBin b;
  b.Name("Mesh").Open().Ints({60000}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 2});
  EXPECT_TRUE(Refused(b.Close().Bytes()));
}

TEST(XFileBinary, CountsAndIndicesMustComeFromIntegers) {
  XBin b;
  b.Name("Mesh").Open().Floats({3, 0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 2});
  EXPECT_TRUE(Refused(b.Close().Bytes()));
  XBin c;
  c.Name("Mesh").Open().Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3});
  EXPECT_TRUE(Refused(c.Floats({0, 1, 2}).Close().Bytes()));
}

TEST(XFileBinary, NonFiniteOrOutOfRangeFloatsAreRefused) {
  for (const double bad :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300}) {
    for (const bool doubles : {false, true}) {
      XBin b(doubles);
      b.Name("Mesh").Open().Ints({3}).Floats({bad, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 2});
      EXPECT_TRUE(Refused(b.Close().Bytes())) << bad << " " << doubles;
    }
  }
}

TEST(XFileBinary, EveryTruncationIsRefused) {
  XBin b;
  b.Name("Frame").Open().Name("FrameTransformMatrix").Open();
  b.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Close();
  b.Name("Material").Open().String("name", true).Guid().Close().Append(Triangle()).Close();
  const std::string& file = b.Bytes();
  ASSERT_EQ(MustParse(file).indices.size(), 3u);
  for (size_t length = 0; length < file.size(); ++length)
    ASSERT_TRUE(Refused(std::string_view(file).substr(0, length))) << length;
}

TEST(XFileBinary, CorruptedBytesNeverCrashAndAcceptedResultsStayConsistent) {
  const std::string file = Triangle().Bytes();
  for (size_t pos = 16; pos < file.size(); ++pos) {
    for (const char replacement : {'\0', '\1', '\2', '\3', '\6', '\7', '\x0A', '\x0B', '\xFF'}) {
      std::string bytes = file;
      bytes[pos] = replacement;
      XMesh mesh;
      if (!ParseExact(bytes, mesh)) continue;
      const size_t vertices = mesh.positions.size() / 3;
      ASSERT_EQ(mesh.positions.size(), vertices * 3);
      ASSERT_TRUE(mesh.texcoords.empty() || mesh.texcoords.size() == vertices * 2);
      ASSERT_EQ(mesh.indices.size() % 3, 0u);
      for (const uint32_t index : mesh.indices) ASSERT_LT(index, vertices);
    }
  }
}

}  // namespace
