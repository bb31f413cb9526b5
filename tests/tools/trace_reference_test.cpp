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

// The reference stills' capture options (one a line, # for comments) and their times.
struct ReferenceStills {
  std::string options;
  std::vector<int> times;
};

ReferenceStills ReadReferenceStills() {
  ReferenceStills stills;
  for (const std::string& line :
       ReadLines(fs::path(EMBERHALL_SOURCE_DIR) / "tests/tools/reference_stills.txt")) {
    if (line.empty() || line[0] == '#') continue;
    stills.options += " " + line;
    if (line.starts_with("--at ")) stills.times.push_back(std::stoi(line.substr(5)));
  }
  return stills;
}

TEST(TraceReference, TheDemoDrawsWhatTheReferenceRecords) {
  const fs::path work = fs::temp_directory_path() / "emberhall_trace_reference";
  fs::remove_all(work);
  fs::create_directories(work);
  fs::create_directory_symlink(EMBERHALL_DEFAULT_DATA, work / "Data");
  const ReferenceStills stills = ReadReferenceStills();
  ASSERT_FALSE(stills.times.empty());
  const ProgramResult result = RunProgram("cd " + work.string() + " && " + EMBERHALL_CAPTURE +
                                          " --quiet --trace trace.txt" + stills.options);
  ASSERT_EQ(result.status, 0) << result.output;

  // Frames start with "# frame N"; every other line is one call.
  std::vector<std::string> actual;
  std::vector<std::string> calls;
  size_t next = 0;
  const std::vector<std::string> trace = ReadLines(work / "trace.txt");
  for (size_t i = 0; i <= trace.size(); ++i) {
    if (i == trace.size() || trace[i].starts_with("# frame ")) {
      if (i > 0) actual.push_back(Summary(stills.times[next++], calls));
      calls.clear();
    } else {
      calls.push_back(trace[i]);
    }
  }
  ASSERT_EQ(actual.size(), stills.times.size());

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
    EXPECT_EQ(actual[i], want) << "the device calls at " << stills.times[i] << " s changed";
    same = same && actual[i] == want;
  }
  if (!same)
    fs::copy_file(work / "trace.txt", "trace-actual.txt", fs::copy_options::overwrite_existing);
  fs::remove_all(work);
}

}  // namespace
