// The studios' transport: where the demo stands, whether it plays, the loop, the sections,
// the table from keys to what they do, and the time's text. It has no window, device or
// clock of its own: the window's studio and the page's both feed it keys (Win32 virtual
// keys, as the window layer hands them out), seek-bar moves and their clock's readings in
// milliseconds, and carry out the command it answers with on a demo session
// (tools/common/playback.h).
//
// Its rules, the same in both studios:
//   - Times lie on the tools' 1/60 s grid while paused and after every seek; while playing
//     the demo time follows the clock from the last seek or resume.
//   - The ends hold: a seek before 0 or past the demo's end goes to 0 or to the end; playing
//     reaches the end and pauses there on its last frame; Space at the end plays from 0.
//   - Page Down goes to the next section's start, from the last section to the demo's end;
//     Page Up goes to the start of the section before, from inside a section to its start.
//   - In and out are always in order: I at or after the out point (or O at or before the
//     in point) drops the other point and turns the loop off, and the bar says so; the loop
//     turns on only with both points set, so it is never shorter than one frame. Playing
//     that reaches the out point from before it goes back to the in point; from the out
//     point on (after a seek there) it plays on.
//   - A key that changes nothing on screen answers kNone; one that changes only the bar,
//     kBar; nothing reloads the demo except a seek to another frame or R.
//   - Time text is "m:ss.ff", the hundredths cut, not rounded (a clock never shows a time
//     it has not reached).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

// What the driver does next.
struct TransportCommand {
  enum Kind {
    kNone,  // nothing changes
    kBar,   // only the bar changed: draw it again over the frame shown
    kPlay,  // run one frame at `milliseconds`
    kSeek,  // load the demo again and show the frame at `milliseconds` (on the grid)
    kQuit,
  };
  Kind kind = kNone;
  int64_t milliseconds = 0;
  bool operator==(const TransportCommand&) const = default;
};

class Transport {
 public:
  // `sections`: the section starts in seconds, ascending from 0 (may be empty); starting at
  // `atSeconds`, playing or not. The driver seeks there first (StartCommand).
  Transport(std::vector<double> sections, double atSeconds, bool playing);

  // The first command: the seek to the starting time.
  TransportCommand StartCommand() const { return {TransportCommand::kSeek, milliseconds_}; }
  // A key press (a Win32 virtual key, Shift held or not) at clock reading `clock`.
  TransportCommand Press(WPARAM key, bool shift, double clock);
  // A seek bar moved to `seconds` (clamped to the demo, on the grid).
  TransportCommand SeekTo(double seconds, double clock);
  // What to show at clock reading `clock`: while playing the next frame, the loop's return
  // or the end; otherwise nothing.
  TransportCommand Tick(double clock);
  // Pauses or plays on from the time shown (a driver that cannot show frames pauses).
  void SetPlaying(bool playing, double clock);
  // A seek's frame is on screen: playing runs on from `clock`, and a warning is over.
  void Shown(double clock);
  // Sets the loop from the command line, turned on; false (nothing set) unless `in` lies at
  // least one frame before `out`.
  bool SetLoop(double in, double out);

  // Shows `text` in the bar for a few seconds from `clock`; a warning stays until the next
  // seek's frame is shown.
  void Say(const std::string& text, double clock);
  void Warn(const std::string& text);
  // The bar's line of text at `clock`: the last said or warned, or "".
  std::string Message(double clock) const;

  int64_t Milliseconds() const { return milliseconds_; }
  double Seconds() const { return double(milliseconds_) * 0.001; }
  bool Playing() const { return playing_; }
  bool OverlayOn() const { return overlayOn_; }
  bool LoopOn() const { return loopOn_; }
  // The loop's points in seconds, -1 when not set.
  double LoopIn() const;
  double LoopOut() const;
  const std::vector<double>& Sections() const { return sections_; }
  // The demo's end, the last frame of the grid, in seconds.
  static double End();

  // "m:ss.ff" of the time shown.
  std::string Text() const { return FormatTime(milliseconds_); }
  static std::string FormatTime(int64_t milliseconds);

 private:
  TransportCommand SeekFrame(int64_t frame, double clock);
  TransportCommand SetPoint(bool in, double clock);
  TransportCommand ToggleLoop(double clock);
  TransportCommand TogglePlaying(double clock);
  int64_t Frame() const;

  std::vector<double> sections_;
  int64_t milliseconds_ = 0;  // the demo time shown, or sought
  bool playing_ = false;
  double anchorClock_ = 0;  // the clock at the last seek or resume
  int64_t anchorMilliseconds_ = 0;
  int64_t loopIn_ = -1, loopOut_ = -1;  // frames; -1 not set
  bool loopOn_ = false;
  bool overlayOn_ = true;
  std::string message_;
  double messageUntil_ = 0;  // clock; a warning has no end
  bool warning_ = false;
};
