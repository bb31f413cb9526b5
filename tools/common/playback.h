// Carries out a transport's seeks and frames (tools/common/transport.h) on a demo session,
// the music with them, for both studios.
//
// A seek to T gives exactly the frame `emberhall-capture --at T` gives for the same uptime:
// the demo loaded again from scratch, the frames before T run at 60 per second of demo time
// with drawing skipped (nothing is presented while they run, so the window keeps the frame
// it showed), then frame T drawn. The music follows through the audio library's calls: held
// at T while paused, playing from T with the demo, silent past its own end.
#pragma once

#include <cstdint>

#include "tools/common/demo_session.h"

class Playback {
 public:
  explicit Playback(DemoSession& session) : session_(session) {}

  // Loads the demo again and shows the frame at `milliseconds` (on the tools' grid), the
  // music there, playing or not; false when the demo could not be loaded or shown (the
  // window then keeps the last frame it showed).
  bool Seek(int64_t milliseconds, bool playing);
  // Runs one frame at `milliseconds`; false when the demo is not running.
  bool Play(int64_t milliseconds);
  // The music at `milliseconds`, playing or paused as the demo is.
  void FollowMusic(int64_t milliseconds, bool playing);

 private:
  DemoSession& session_;
};
