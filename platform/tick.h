// The millisecond tick counter behind every clock of the demo.
//
// GetTickCount reads milliseconds since boot (CLOCK_BOOTTIME; in the browser, since the
// page started, from its monotonic clock). It is 64 bits wide and never wraps. Tests and
// the capture tool replace the source with their own function; nothing else in the
// program knows which source is in use.
#pragma once

#include <cstdint>
#include <functional>

uint64_t GetTickCount();

// Replaces the tick source; an empty function restores the system clock.
void SetTickSource(std::function<uint64_t()> source);
