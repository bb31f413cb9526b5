// The studio: the demo in a resizable window with the tools' transport
// (tools/common/transport.h: sections, loop, keys, ends), reload when a data file changes,
// and an overlay bar that the mouse can seek on. A seek or reload that fails says so in
// the bar and on stderr and leaves the last frame on screen.
// Keys (as messages from the window layer, none of which reaches the demo):
//   Space play/pause; Left/Right 1 s (with Shift 10 s); Page Up/Down the previous/next
//   section; Home 0; comma/period one frame back/forward, pausing first; I/O the loop's in
//   and out at the current time, L the loop on/off; R reload; Tab the overlay; Esc, Q or
//   closing the window quit; Alt+Enter full screen. A click or drag on the bar seeks.
#pragma once

#include <string>

struct StudioOptions {
  double at = 0;
  bool paused = false;
  double loopIn = -1, loopOut = -1;  // --loop A:B turns the loop on
  double uptime = 0;
  bool overlay = true;
};

// The keys, one per line, for --help.
extern const char* const kStudioKeys;

// Runs the studio from the current folder's Data until the user quits; the exit status.
int RunStudio(const StudioOptions& options);
