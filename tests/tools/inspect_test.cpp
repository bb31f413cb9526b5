// emberhall-inspect as its users run it, on files of the demo's own kinds.
#include <gtest/gtest.h>

#include <string>

#include "tests/demo_data.h"
#include "tests/program_run.h"

namespace {

ProgramResult Inspect(const std::string& files) {
  return RunProgram(std::string(EMBERHALL_INSPECT) + " " + files);
}

TEST(Inspect, UsableFilesReportWhatTheyHoldAndExitZero) {
  DemoDataDir data;
  const ProgramResult result = Inspect("Data/kub.x Data/eld.msh Data/cube.bmp");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("Data/kub.x: text X file"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("Data/eld.msh: .msh mesh"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("Data/cube.bmp: BMP picture"), std::string::npos) << result.output;
}

TEST(Inspect, TheWorstFileDecidesTheExitStatus) {
  DemoDataDir data;
  WriteFile("Data/short.msh", "MSH");
  WriteFile("notes.txt", "hello");
  EXPECT_EQ(Inspect("Data/cube.bmp Data/short.msh").status, 1);
  EXPECT_EQ(Inspect("Data/short.msh notes.txt").status, 2);
  const ProgramResult missing = Inspect("Data/nothing.bmp");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("it cannot be read"), std::string::npos) << missing.output;
}

TEST(Inspect, NoFilesIsAUsageError) {
  EXPECT_EQ(Inspect("").status, 2);
}

}  // namespace
