// The demo's score: RenderFrame draws exactly one frame of the fixed 200-second schedule.
//
// Every frame runs the same list of steps in the same order; a step with a time window
// runs only while the demo time lies in it (both ends inclusive), each window a fresh
// reading of the demo clock and each uptime T a fresh reading of the uptime clock. In the
// first frame whose demo time exceeds 200 s the quit message is posted; that frame is
// still presented. Apart from the forest moves the schedule keeps no state.
#pragma once

// The demo time, in seconds, after which the demo quits.
constexpr double kDemoEndSeconds = 200;

void RenderFrame();
