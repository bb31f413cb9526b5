// SDL's video subsystem on the desktop, started once for the windows and the GL device.
//
// Without a reachable display SDL falls back to its offscreen driver, whose windows nobody
// sees; the demo would then play unseen and never be closed. That driver is used only when
// asked for (SDL_VIDEODRIVER naming "offscreen", as headless runs do); otherwise a missing
// display is a failure. Display back ends that complain on stderr are kept quiet: callers
// say what went wrong in their own words.
#pragma once

// Starts the video subsystem if it is not running and loads the GL library, which then
// stays loaded while the subsystem runs (SDL would otherwise unload the driver with the
// last GL window and load it again with the next). False when there is no display.
bool StartVideo();
