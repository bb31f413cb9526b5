// The platform layer's tool switches: the tick source behind every clock and an observer of
// data-file lookups, for tests and tools only (the demo
// never sets them), from the thread that runs the demo. A tool that runs the demo does so
// through its session (tools/common/demo_session.h), which restores the whole struct when
// it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct PlatformSwitches {
  // Replaces the system clock behind GetTickCount; empty: the system clock.
  std::function<uint64_t()> tickSource;
  // Called with every data path looked up and what it resolved to ("" when missing); tools
  // use it to list the files a data set lacks.
  std::function<void(const char* path, const std::string& resolved)> lookupObserver;
};

extern PlatformSwitches g_platformSwitches;
