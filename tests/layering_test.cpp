// The include rules of CONTRIBUTING.md's table, checked on every source file of the folders
// it names: no layer reaches up, and no layer reaches into another's private headers. The
// table itself lists the layers from the bottom up, and a row may name only whole folders
// below it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Rule {
  int floor = 0;                     // the row's place in the table, from the bottom
  std::vector<std::string> allowed;  // folders ("mesh/")
  std::vector<std::string> privates;
};

// The names in backticks of one table cell.
std::vector<std::string> Names(const std::string& cell) {
  std::vector<std::string> names;
  const std::regex quoted("`([^`]+)`");
  for (std::sregex_iterator it(cell.begin(), cell.end(), quoted), end; it != end; ++it)
    names.push_back((*it)[1]);
  return names;
}

// The table's rows, by folder.
std::map<std::string, Rule> ReadRules(const std::string& markdown) {
  std::map<std::string, Rule> rules;
  std::istringstream lines(markdown);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("| `", 0) != 0) continue;
    std::vector<std::string> cells;
    std::stringstream row(line.substr(1));
    for (std::string cell; std::getline(row, cell, '|');) cells.push_back(cell);
    if (cells.size() < 3) continue;
    const std::vector<std::string> folder = Names(cells[0]);
    if (folder.size() == 1)
      rules[folder[0]] = {int(rules.size()), Names(cells[1]), Names(cells[2])};
  }
  return rules;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// What is wrong with `file` (a path from the root, in `folder`) including `header`; "" when
// the table allows it.
std::string Violation(const std::map<std::string, Rule>& rules, const std::string& folder,
                      const std::string& file, const std::string& header) {
  for (const auto& [owner, rule] : rules)
    for (const std::string& hidden : rule.privates)
      if (header == hidden && owner != folder)
        return file + " includes " + header + ", private to " + owner;
  if (StartsWith(header, folder)) return "";
  for (const std::string& allowed : rules.at(folder).allowed)
    if (StartsWith(header, allowed)) return "";
  const bool known = rules.count(header.substr(0, header.find('/') + 1)) > 0;
  return known ? file + " includes " + header + ", which " + folder + " may not see" : "";
}

// Every violation in the files of `folder` under `root`.
std::vector<std::string> Check(const std::map<std::string, Rule>& rules,
                               const std::filesystem::path& root, const std::string& folder) {
  std::vector<std::string> found;
  const std::regex include("^\\s*#\\s*include\\s+\"([^\"]+)\"");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    const std::string file = std::filesystem::relative(entry.path(), root).string();
    std::ifstream in(entry.path());
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
      if (!std::regex_search(line, match, include)) continue;
      const std::string problem = Violation(rules, folder, file, match[1]);
      if (!problem.empty()) found.push_back(problem);
    }
  }
  return found;
}

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Layering, TheTableNamesOnlyWholeFoldersBelowEachRow) {
  const std::map<std::string, Rule> rules =
      ReadRules(Contents(std::filesystem::path(EMBERHALL_SOURCE_DIR) / "CONTRIBUTING.md"));
  ASSERT_EQ(rules.size(), 10u) << "the table's rows, platform/ to web/";
  for (const auto& [folder, rule] : rules)
    for (const std::string& allowed : rule.allowed) {
      EXPECT_TRUE(rules.count(allowed))
          << folder << " may include " << allowed << ", which is not a folder of the table";
      if (rules.count(allowed)) {
        EXPECT_LT(rules.at(allowed).floor, rule.floor) << folder << " reaches up to " << allowed;
      }
    }
}

TEST(Layering, EveryIncludeFollowsTheTable) {
  const std::filesystem::path root = EMBERHALL_SOURCE_DIR;
  const std::map<std::string, Rule> rules = ReadRules(Contents(root / "CONTRIBUTING.md"));
  ASSERT_EQ(rules.size(), 10u) << "the table's rows, platform/ to web/";
  for (const auto& [folder, rule] : rules)
    for (const std::string& problem : Check(rules, root, folder)) ADD_FAILURE() << problem;
}

TEST(Layering, UpwardAndPrivateIncludesAreFound) {
  const std::map<std::string, Rule> rules =
      ReadRules(Contents(std::filesystem::path(EMBERHALL_SOURCE_DIR) / "CONTRIBUTING.md"));
  ASSERT_FALSE(rules.empty());
  EXPECT_EQ(Violation(rules, "mesh/", "mesh/mesh.cpp", "core/demo_clock.h"), "");
  EXPECT_EQ(Violation(rules, "timeline/", "timeline/timeline.cpp", "core/frame.h"), "");
  EXPECT_NE(Violation(rules, "core/", "core/frame.cpp", "app/app.h"), "");
  EXPECT_EQ(Violation(rules, "render/", "render/device.cpp", "render/device_state.h"), "");
  EXPECT_NE(Violation(rules, "mesh/", "mesh/mesh.cpp", "scenes/camera.h"), "");
  EXPECT_NE(Violation(rules, "mesh/", "mesh/mesh.cpp", "app/app.h"), "");
  EXPECT_NE(Violation(rules, "render/", "render/device.cpp", "core/device_globals.h"), "");
  EXPECT_NE(Violation(rules, "tools/", "tools/assets/x.cpp", "render/xfile_lexer_text.h"), "");
}

}  // namespace
