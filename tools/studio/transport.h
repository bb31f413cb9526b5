// The studio's transport: where the demo stands, whether it plays, and the music with it.
//
// Seek(T) gives exactly the frame `emberhall-capture --at T` gives for the same uptime: the
// demo loaded again from scratch, the frames before T run at 60 per second of demo time
// with drawing skipped, then frame T drawn. Targets lie on that 1/60 s grid. While playing,
// the demo time advances with the steady clock from the last seek or resume; paused, it
// stands still and no frame runs, so the picture stands still too. The music follows: it
// is paused with the demo, moved to T by a seek, and silent before 0 and after its end.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "tools/common/demo_session.h"

class Transport {
 public:
  explicit Transport(DemoSession& session) : session_(session) {}

  // Loads the demo again (the session is started) and shows frame FrameAt(seconds, 60),
  // playing or paused as before; false when the demo could not be loaded.
  bool Seek(double seconds);
  // Pauses or plays on from the current time.
  void SetPlaying(bool playing);
  bool Playing() const { return playing_; }
  // The demo time shown now, in seconds.
  double Now() const { return double(session_.DemoTime()) * 0.001; }
  // While playing, the demo time the steady clock has reached, not yet shown.
  double PlayedTo() const;
  // One frame at the played time; false once the session has quit.
  bool Advance();
  // The frame-grid index of the time shown.
  int64_t Frame() const;

  // Called inside the frame of every seek, after the frames before it (measuring mode).
  std::function<void()> onSeekDone;

 private:
  // The music at the current demo time, playing or paused as the demo is.
  void FollowMusic();

  using Clock = std::chrono::steady_clock;
  DemoSession& session_;
  bool playing_ = false;
  Clock::time_point anchorClock_;  // the steady clock at the last seek or resume
  int64_t anchorDemo_ = 0;         // the demo time then, in milliseconds
};
