// The studio: the demo in a resizable window with a transport (tools/studio/transport.h),
// the schedule's sections, a loop, reload when a data file changes, and an overlay bar.
// Keys (as messages from the window layer, none of which reaches the demo):
//   Space play/pause; Left/Right 1 s (with Shift 10 s); Page Up/Down the previous/next
//   section; Home 0; comma/period one frame back/forward, pausing first; I/O the loop's in
//   and out at the current time, L the loop on/off; R reload; Tab the overlay; Esc, Q or
//   closing the window quit; Alt+Enter full screen.
#pragma once

#include <string>

struct StudioOptions {
  double at = 0;
  bool paused = false;
  double loopIn = -1, loopOut = -1;  // --loop A:B turns the loop on
  double uptime = 0;
  bool overlay = true;
  bool measure = false;  // report seek times and the music's offset, then quit
};

// The keys, one per line, for --help.
extern const char* const kStudioKeys;

// Runs the studio from the current folder's Data until the user quits; the exit status.
int RunStudio(const StudioOptions& options);
