// The demo's two clocks: the uptime clock and the demo clock.
//
// ClockNow is seconds since the system started; effects, scenes and camera paths take
// the phase of their periodic motion from it. g_demoClock is seconds since the sound
// track started; the timeline decides from it what a frame shows. Every query reads the
// tick counter afresh: nothing is cached, so two readings in one frame may differ, and
// the counter's own step is the clocks' resolution.
//
// At the bottom of the demo: it depends on nothing of the demo but the tick counter, and
// every folder of the demo may read it (effects and scenes take their motion's phase from
// ClockNow).
//
// Not here: pausing, seeking or scaling time. Tests and the capture tool drive both
// clocks through the tick source (platform/tool_switches.h).
#pragma once

// Seconds since the system started: the millisecond tick counter times 0.001.
double ClockNow();

class DemoClock {
 public:
  // startTime = ClockNow, rounded to float.
  void Start();
  // Seconds since Start: ClockNow minus startTime, in double precision.
  double Elapsed();
  // from <= Elapsed <= to, both ends inclusive; the clock is read once for each end.
  bool InRange(double from, double to);

  // A float on purpose: after a long uptime it rounds the start to a coarse step
  // (1/128 s after a day), which offsets the elapsed time by a constant for the whole run.
  float startTime = 0.0f;
};

// Started once, at the end of LoadDemo, right after the sound track starts.
extern DemoClock g_demoClock;
