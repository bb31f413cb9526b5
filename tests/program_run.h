// Runs one of the project's programs as its users do: a separate process, standard error
// folded into the output, the exit status decoded.
#pragma once

#include <string>

struct ProgramResult {
  int status;  // the exit status; -1 when the program did not exit normally
  std::string output;
};

// Runs `command` through the shell in the current directory.
ProgramResult RunProgram(const std::string& command);
