#include "tests/program_run.h"

#include <sys/wait.h>

#include <cstdio>

extern char** environ;

ProgramResult RunProgram(const std::string& command) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string output;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

ChildEnvironment::ChildEnvironment(const std::map<std::string, std::string>& changes) {
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    if (!changes.count(variable.substr(0, variable.find('=')))) variables_.push_back(variable);
  }
  for (const auto& [name, value] : changes)
    if (!value.empty()) variables_.push_back(name + "=" + value);
  for (std::string& variable : variables_) pointers_.push_back(variable.data());
  pointers_.push_back(nullptr);
}
