// Tests for compressed X files ("tzip", "bzip"): MSZIP blocks that refer back into earlier
// output must decompress to the plain file, and damaged blocks, sizes that disagree and
// decompression bombs must be refused before they cost memory.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <string_view>

#include "render/xfile.h"
#include "tests/render/x_parsing.h"
#include "tests/test_files.h"

namespace {

bool Refused(std::string_view bytes) {
  XMesh mesh;
  mesh.positions = {1, 2, 3};
  return !ParseExact(bytes, mesh) && mesh.positions.empty();
}

// `data` as a raw deflate stream that may refer back into `history`.
std::string Deflate(std::string_view history, std::string_view data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(history.data()), uInt(history.size()));
  std::string out(deflateBound(&z, uLong(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// One MSZIP block: sizes, "CK", the stream.
std::string Block(size_t plainSize, const std::string& stream) {
  std::string out;
  Put16(out, uint32_t(plainSize));
  Put16(out, uint32_t(stream.size() + 2));
  return out + "CK" + stream;
}

// `plain` (a whole X file) compressed in blocks of `blockSize`, each referring back into the
// output before it unless `independent`, with the given encoding ("tzip" or "bzip").
std::string Compress(std::string_view plain, const char* encoding, size_t blockSize = 32768,
                     bool independent = false) {
  std::string out(plain.substr(0, 16));
  out.replace(8, 4, encoding);
  Put32(out, uint32_t(plain.size()));
  const std::string_view body = plain.substr(16);
  for (size_t at = 0; at < body.size(); at += blockSize) {
    const size_t back = independent ? 0 : std::min<size_t>(at, 32768);
    const std::string_view data = body.substr(at, blockSize);
    out += Block(data.size(), Deflate(body.substr(at - back, back), data));
  }
  return out;
}

const std::string kTriangle =
    "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";

// A text file of one triangle after `lines` copies of a comment of 499 pseudo-random
// characters: deflate can only shrink it by referring back to an earlier copy, and with
// blocks of 1,000 bytes most of those copies lie in the block before.
std::string NoisyTriangle(int lines) {
  std::string comment = "#";
  uint32_t state = 12345;
  while (comment.size() < 499) {
    state = state * 1664525 + 1013904223;
    comment += char('!' + (state >> 24) % 90);
  }
  std::string text = "xof 0303txt 0032\n";
  for (int i = 0; i < lines; ++i) text += comment + "\n";
  return text + kTriangle.substr(17);
}

// The smallest binary X triangle: Mesh { [3] [0 0 0 1 0 0 0 1 0] [1 3 0 1 2] }.
std::string BinaryTriangle() {
  std::string b = "xof 0302bin 0032";
  Put16(b, 1), Put32(b, 4), b += "Mesh";
  Put16(b, 10), Put16(b, 6), Put32(b, 1), Put32(b, 3), Put16(b, 7), Put32(b, 9);
  for (const float f : {0, 0, 0, 1, 0, 0, 0, 1, 0}) PutFloat(b, f);
  Put16(b, 6), Put32(b, 5);
  for (const uint32_t i : {1, 3, 0, 1, 2}) Put32(b, i);
  Put16(b, 11);
  return b;
}

void ExpectSameMesh(std::string_view a, std::string_view b) {
  XMesh ma, mb;
  ASSERT_TRUE(ParseExact(a, ma));
  ASSERT_TRUE(ParseExact(b, mb));
  EXPECT_EQ(ma.positions, mb.positions);
  EXPECT_EQ(ma.texcoords, mb.texcoords);
  EXPECT_EQ(ma.indices, mb.indices);
}

// ---------------------------------------------------------------- reading

TEST(XFileCompressed, TextAndBinaryBodiesLoadLikeThePlainFiles) {
  ExpectSameMesh(Compress(kTriangle, "tzip"), kTriangle);
  ExpectSameMesh(Compress(BinaryTriangle(), "bzip"), BinaryTriangle());
}

TEST(XFileCompressed, FullSizedBlocksFollowOneAnother) {
  // 4,000 vertices of pseudo-random coordinates: about 100 KB of text, four blocks.
  std::string plain = "xof 0303txt 0032\nMesh {\n 4000;\n";
  uint32_t state = 1;
  for (int i = 0; i < 12000; ++i) {
    state = state * 1664525 + 1013904223;
    plain += std::to_string(state >> 20) + "." + std::to_string(state % 10000) + ";";
  }
  plain += "; 1; 3;0,1,2;; }\n";
  ASSERT_GT(plain.size(), 3 * 32768u);
  ExpectSameMesh(Compress(plain, "tzip"), plain);
}

TEST(XFileCompressed, BlocksReferBackIntoTheOutputBeforeThem) {
  const std::string plain = NoisyTriangle(40);
  const std::string small = Compress(plain, "tzip", 1000);
  ExpectSameMesh(small, plain);
  // The blocks really do refer back: on their own they compress far worse.
  const std::string independent = Compress(plain, "tzip", 1000, true);
  ExpectSameMesh(independent, plain);
  EXPECT_LT(small.size() * 4, independent.size()) << small.size() << " " << independent.size();
}

// ---------------------------------------------------------------- refusing

TEST(XFileCompressed, DeclaredSizeMustBeWhatTheBlocksMake) {
  std::string file = Compress(kTriangle, "tzip");
  const uint32_t size = uint32_t(kTriangle.size());
  for (const uint32_t declared : {size - 1, size + 1, 15u, 0u}) {
    std::string bad = file;
    std::string field;
    Put32(field, declared);
    bad.replace(16, 4, field);
    EXPECT_TRUE(Refused(bad)) << declared;
  }
  // A block that makes more than the file still needs is refused.
  std::string twice = file + file.substr(20);
  std::string field;
  Put32(field, uint32_t(kTriangle.size() + 10));
  EXPECT_TRUE(Refused(twice.replace(16, 4, field)));
}

TEST(XFileCompressed, DamagedBlocksAreRefused) {
  const std::string file = Compress(kTriangle, "tzip");
  std::string noSignature = file;
  noSignature[24] = 'X';
  EXPECT_TRUE(Refused(noSignature));
  std::string shortBlock = file;
  shortBlock[22] = 1, shortBlock[23] = 0;  // compressed size 1: not even the signature
  EXPECT_TRUE(Refused(shortBlock));
  std::string junk = file.substr(0, 20) + Block(kTriangle.size() - 16, file.substr(26) + "extra");
  EXPECT_TRUE(Refused(junk)) << "the stream must end where the block does";
  for (size_t pos = 26; pos < file.size(); ++pos) {
    std::string flipped = file;
    flipped[pos] = char(flipped[pos] ^ 0x5A);
    XMesh mesh;
    if (ParseExact(flipped, mesh)) {
      EXPECT_EQ(mesh.indices.size() % 3, 0u);
    }
  }
  for (size_t length = 0; length < file.size(); ++length)
    ASSERT_TRUE(Refused(std::string_view(file).substr(0, length))) << length;
}

TEST(XFileCompressed, ABlockInflatingBeyondItsDeclaredSizeIsRefused) {
  // 60,000 spaces deflate to a few hundred bytes; the block claims they make 100.
  const std::string spaces(60000, ' ');
  std::string file = "xof 0302tzip0032";
  Put32(file, 16 + 100);
  EXPECT_TRUE(Refused(file + Block(100, Deflate("", spaces))));
}

TEST(XFileCompressed, DecompressedSizeIsLimitedToSixtyFourTimesTheFile) {
  // A header that asks for 4 GB from a few bytes is refused before anything is allocated.
  std::string bomb = "xof 0302tzip0032";
  Put32(bomb, 0xFFFFFFFF);
  EXPECT_TRUE(Refused(bomb + Block(65535, Deflate("", std::string(65535, ' ')))));

  // Text padded with spaces, which deflate compresses far past 64 to 1: find the padding at
  // which the whole decompressed file is exactly 64 times the compressed one.
  auto padded = [](size_t spaces) {
    return Compress(kTriangle + std::string(spaces, ' '), "tzip");
  };
  size_t spaces = 1000;
  for (int i = 0; i < 20; ++i) spaces = 64 * padded(spaces).size() - kTriangle.size();
  ASSERT_EQ(kTriangle.size() + spaces, 64 * padded(spaces).size());
  EXPECT_FALSE(Refused(padded(spaces)));
  ASSERT_EQ(padded(spaces + 1).size(), padded(spaces).size());
  EXPECT_TRUE(Refused(padded(spaces + 1)));
}

}  // namespace
