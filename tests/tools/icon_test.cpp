// The application icon: square, a hot flame in the middle of a dark ground, written as the
// same PNG file on every run.
#include "tools/assets/icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "tests/png_reader.h"
#include "tests/test_files.h"

namespace {

TEST(Icon, IsAHotFlameOnADarkGround) {
  const textures::Canvas icon = PaintIcon(256);
  ASSERT_EQ(icon.width, 256);
  ASSERT_EQ(icon.height, 256);
  for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}}) {
    const textures::Rgb corner = icon.At(x, y);
    EXPECT_LT(std::max({corner.r, corner.g, corner.b}), 0.1f) << x << "," << y;
  }
  const textures::Rgb core = icon.At(128, 192);
  EXPECT_GT(core.r, 0.9f);
  EXPECT_GT(core.r, core.b);
}

TEST(Icon, IsTheSamePngOnEveryRun) {
  const TempDir dir("icon");
  ASSERT_TRUE(WriteIcon(dir.Path() / "a.png", 256));
  ASSERT_TRUE(WriteIcon(dir.Path() / "b.png", 256));
  const std::string a = FileContents(dir.Path() / "a.png");
  EXPECT_EQ(a.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(a, FileContents(dir.Path() / "b.png"));
  const Image decoded = ReadPng(dir.Path() / "a.png");
  EXPECT_EQ(decoded.width, 256);
  EXPECT_EQ(decoded.height, 256);
}

}  // namespace
