// The millisecond tick counter behind every clock of the demo.
//
// GetTickCount reads milliseconds since boot (CLOCK_BOOTTIME; in the browser, since the
// page started, from its monotonic clock). It is 64 bits wide and never wraps. Tests and
// tools replace the source (platform/tool_switches.h); nothing else in the
// program knows which source is in use.
#pragma once

#include <cstdint>

uint64_t GetTickCount();

// The machine's own counter, whatever source GetTickCount reads: what a tool takes as the
// uptime when none is given.
uint64_t MachineTickCount();
