// No frame of the sequence pays for compiling a program: the device builds every program
// the demo's draws need before loading is over.
#include <gtest/gtest.h>

#include "render/fixed_function.h"
#include "tests/demo_frames.h"

namespace {

class SequenceProgramsTest : public DemoFixture {};

TEST_F(SequenceProgramsTest, NoProgramIsCompiledAfterLoadDemoReturns) {
  const uint64_t afterLoading = ProgramsBuilt();
  for (double t = 0; t <= 200; t += 0.5) Frame(t);
  EXPECT_EQ(ProgramsBuilt(), afterLoading);
}

}  // namespace
