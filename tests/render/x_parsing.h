// Parsing X-file bytes for the loader's tests. Inputs are copied into exactly-sized heap
// buffers, so that the sanitizers catch any read past the end.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string_view>

#include "render/xfile.h"

inline bool ParseExact(std::string_view bytes, XMesh& out) {
  std::unique_ptr<char[]> copy(new char[bytes.size()]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  return ParseXFile(copy.get(), bytes.size(), out);
}

// The mesh `bytes` hold; a failure of the calling test when they are refused.
inline XMesh MustParse(std::string_view bytes) {
  XMesh mesh;
  EXPECT_TRUE(ParseExact(bytes, mesh));
  return mesh;
}
