// What the demo draws, pinned: the device calls of one frame in every section of the
// schedule (the forest's moves and the cube orbit included), captured with the default
// data set under the capture tool's clock, against tests/tools/trace_reference.txt.
//
// The reference holds, per frame, the number of calls, a hash of the calls in order and
// how many there are of each kind, so that a change shows which calls it touched. A change
// that is meant to alter what the demo draws updates the reference on purpose:
//   EMBERHALL_UPDATE_TRACE_REFERENCE=1 ctest --test-dir build -R TraceReference
// and says why in its commit. The whole trace of a failing run is kept beside the test
// binary (trace-actual.txt) for a closer look.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/program_run.h"

namespace {

namespace fs = std::filesystem;

const std::vector<int> kTimes = {7, 35, 50, 70, 80, 95, 110, 120, 130, 140, 150, 160, 175, 190};
constexpr int kFps = 2;

// One line of the reference for the calls of one frame.
std::string Summary(int time, const std::vector<std::string>& calls) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the lines and their ends
  std::map<std::string, int> kinds;
  for (const std::string& call : calls) {
    for (char c : call + '\n') hash = (hash ^ uint8_t(c)) * 1099511628211ull;
    ++kinds[call.substr(0, call.find('('))];
  }
  std::ostringstream line;
  line << time << " s: " << calls.size() << " calls, hash " << std::hex << hash << std::dec;
  for (const auto& [kind, count] : kinds) line << ", " << kind << ' ' << count;
  return line.str();
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(TraceReference, TheDemoDrawsWhatTheReferenceRecords) {
  const fs::path work = fs::temp_directory_path() / "emberhall_trace_reference";
  fs::remove_all(work);
  fs::create_directories(work);
  fs::create_directory_symlink(EMBERHALL_DEFAULT_DATA, work / "Data");
  std::string command = "cd " + work.string() + " && " + EMBERHALL_CAPTURE + " --quiet --fps " +
                        std::to_string(kFps) + " --trace trace.txt";
  for (int time : kTimes) command += " --at " + std::to_string(time);
  const ProgramResult result = RunProgram(command);
  ASSERT_EQ(result.status, 0) << result.output;

  // Frames start with "# frame N"; every other line is one call.
  std::vector<std::string> actual;
  std::vector<std::string> calls;
  size_t next = 0;
  const std::vector<std::string> trace = ReadLines(work / "trace.txt");
  for (size_t i = 0; i <= trace.size(); ++i) {
    if (i == trace.size() || trace[i].starts_with("# frame ")) {
      if (i > 0) actual.push_back(Summary(kTimes[next++], calls));
      calls.clear();
    } else {
      calls.push_back(trace[i]);
    }
  }
  ASSERT_EQ(actual.size(), kTimes.size());

  const fs::path reference = fs::path(EMBERHALL_SOURCE_DIR) / "tests/tools/trace_reference.txt";
  if (std::getenv("EMBERHALL_UPDATE_TRACE_REFERENCE")) {
    std::ofstream out(reference);
    for (const std::string& line : actual) out << line << '\n';
    GTEST_SKIP() << "wrote " << reference;
  }
  const std::vector<std::string> expected = ReadLines(reference);
  bool same = expected.size() == actual.size();
  for (size_t i = 0; i < actual.size(); ++i) {
    const std::string want = i < expected.size() ? expected[i] : "(none)";
    EXPECT_EQ(actual[i], want) << "the device calls at " << kTimes[i] << " s changed";
    same = same && actual[i] == want;
  }
  if (!same)
    fs::copy_file(work / "trace.txt", "trace-actual.txt", fs::copy_options::overwrite_existing);
  fs::remove_all(work);
}

}  // namespace
