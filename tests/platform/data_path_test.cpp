#include "platform/data_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

class DataPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/emberhall_paths_XXXXXX";
    root_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    std::filesystem::create_directory("Data");
    Write("Data/Gray.bmp", "gray");
    Write("Data/solen.mp3", "music");
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(root_);
  }
  static void Write(const char* path, const char* text) {
    FILE* file = std::fopen(path, "wb");
    std::fputs(text, file);
    std::fclose(file);
  }

  std::string root_;
  std::filesystem::path previous_;
};

TEST_F(DataPathTest, BackslashesAndLetterCaseAreIgnored) {
  EXPECT_EQ(ResolveDataPath("Data\\Gray.bmp"), "Data/Gray.bmp");
  EXPECT_EQ(ResolveDataPath("Data\\gray.bmp"), "Data/Gray.bmp");
  EXPECT_EQ(ResolveDataPath("data/solen.mp3"), "Data/solen.mp3");
  EXPECT_EQ(ResolveDataPath("DATA\\SOLEN.MP3"), "Data/solen.mp3");
}

TEST_F(DataPathTest, MissingFilesAndDirectoriesGiveNothing) {
  EXPECT_EQ(ResolveDataPath("Data\\missing.bmp"), "");
  EXPECT_EQ(ResolveDataPath("Nowhere\\Gray.bmp"), "");
  EXPECT_EQ(ResolveDataPath(""), "");
  EXPECT_EQ(ResolveDataPath(nullptr), "");
}

TEST_F(DataPathTest, ExactMatchWinsOverCaseBlindOne) {
  Write("Data/gray.bmp", "lower");
  EXPECT_EQ(ResolveDataPath("Data\\gray.bmp"), "Data/gray.bmp");
  EXPECT_EQ(ResolveDataPath("Data\\Gray.bmp"), "Data/Gray.bmp");
}

TEST_F(DataPathTest, ReadsWholeFileThroughTheLookup) {
  std::string contents;
  ASSERT_TRUE(ReadDataFile("DATA\\GRAY.BMP", contents));
  EXPECT_EQ(contents, "gray");
  EXPECT_FALSE(ReadDataFile("Data\\none.bmp", contents));
  EXPECT_TRUE(contents.empty());
}

TEST_F(DataPathTest, AbsolutePathsResolveToo) {
  EXPECT_EQ(ResolveDataPath((root_ + "/data/GRAY.bmp").c_str()), root_ + "/Data/Gray.bmp");
}

}  // namespace
