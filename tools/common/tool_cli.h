// What the tools' command lines share: numbers read whole, and the one way a tool reports a
// bad command line or a failed run.
#pragma once

#include <string>

// The largest --uptime a tool takes, in seconds (about 126 years): the tick counter's
// milliseconds stay exact in the double the demo's clocks compute with.
constexpr double kMaxUptimeSeconds = 4e9;

// Prints "PROGRAM: message" on standard error (PROGRAM as the tool was started) and returns
// 2, the tools' exit status for a bad command line.
int Fail(const std::string& message);

// The whole of `text` as a finite number; false for anything else ("", "1x", "nan", "inf").
bool ParseNumber(const std::string& text, double& value);
