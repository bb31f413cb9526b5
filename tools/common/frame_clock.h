// The tools' fixed-step clock: frame n of a run at a rate of num/den frames per second
// shows demo time n * den / num, in the tick counter's whole milliseconds (rounded to the
// nearest, halves up), with the tick counter reading the uptime at demo time 0 plus that.
// Rates are exact fractions, so that 60000/1001 (59.94) frames per second steps exactly as
// a video player shows its frames. The capture tool, the studio and the page's stills all
// step the demo this way, so they show the same frame for the same demo time.
#pragma once

#include <cstdint>
#include <string>

struct FrameRate {
  constexpr FrameRate(int64_t perSecond, int64_t per = 1) : num(perSecond), den(per) {}
  double PerSecond() const { return double(num) / double(den); }
  // "60" or "60000/1001", as ffmpeg takes it.
  std::string Text() const;
  int64_t num, den;  // both positive
};

// The grid the tools step the demo on unless told otherwise: 60 frames a second of demo
// time. The studio and the page seek on it, the schedule's sections are read on it, and it
// is the capture's default rate.
constexpr FrameRate kToolFrameRate{60};

// "N", "N/D" or "N.F" (at most 9 digits each) as a rate in lowest terms; false for anything
// else, a zero denominator included.
bool ParseFrameRate(const std::string& text, FrameRate& rate);

// The frame index that shows demo time t.
int64_t FrameAt(double t, FrameRate rate);
// The demo time of frame n in whole milliseconds.
int64_t FrameMilliseconds(int64_t n, FrameRate rate);
