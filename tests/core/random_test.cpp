// The demo's random numbers: the platform rand() sequence, whatever this C library does.
#include "core/random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

TEST(RandTest, DrawsThePlatformSequenceFromTheDefaultSeed) {
  SRand(1);
  std::vector<int> draws;
  for (int i = 0; i < 10; ++i) draws.push_back(Rand());
  EXPECT_EQ(draws,
            (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}));
}

TEST(RandTest, IsIndependentOfTheCLibraryGenerator) {
  SRand(1);
  EXPECT_EQ(Rand(), 41);
  std::srand(12345);
  (void)std::rand();
  EXPECT_EQ(Rand(), 18467);
}

TEST(RandTest, StaysWithinFifteenBits) {
  SRand(1);
  int lowest = 32767, highest = 0;
  for (int i = 0; i < 100000; ++i) {
    const int draw = Rand();
    lowest = std::min(lowest, draw);
    highest = std::max(highest, draw);
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 32767);
}

}  // namespace
