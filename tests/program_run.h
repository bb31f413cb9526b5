// Runs one of the project's programs as its users do: a separate process, standard error
// folded into the output, the exit status decoded; and the environment such a process gets.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProgramResult {
  int status;  // the exit status; -1 when the program did not exit normally
  std::string output;
};

// Runs `command` through the shell in the current directory.
ProgramResult RunProgram(const std::string& command);

// This process's environment with `changes` applied (a variable given an empty value is
// left out), in the form execve takes.
class ChildEnvironment {
 public:
  explicit ChildEnvironment(const std::map<std::string, std::string>& changes);
  ChildEnvironment(const ChildEnvironment&) = delete;
  ChildEnvironment& operator=(const ChildEnvironment&) = delete;
  // "NAME=value" entries, ending in null; valid while this object lives.
  char** Envp() { return pointers_.data(); }

 private:
  std::vector<std::string> variables_;
  std::vector<char*> pointers_;
};
