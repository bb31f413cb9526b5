#include "tools/studio/transport.h"

#include <algorithm>

#include "app/app.h"
#include "platform/bass.h"
#include "timeline/timeline.h"
#include "tools/common/frame_clock.h"

namespace {


}  // namespace

bool Transport::Seek(double seconds) {
  seconds = std::clamp(seconds, 0.0, kDemoEndSeconds);
  if (!session_.Restart()) return false;
  // The load starts the music at 0; it waits, silent, until the frame at T is shown.
  BASS_ChannelPause(g_musicStream);
  const int64_t frame = FrameAt(seconds, kToolFrameRate);
  session_.FastForward(0, frame, kToolFrameRate);
  if (onSeekDone) onSeekDone();
  const bool shown = session_.RunFrame();
  anchorDemo_ = session_.DemoTime();
  FollowMusic();
  anchorClock_ = Clock::now();  // the music's seek takes a while: the clock runs from here
  return shown;
}

void Transport::SetPlaying(bool playing) {
  if (playing == playing_) return;
  playing_ = playing;
  anchorDemo_ = session_.DemoTime();
  FollowMusic();
  anchorClock_ = Clock::now();
}

double Transport::PlayedTo() const {
  if (!playing_) return Now();
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - anchorClock_);
  return double(anchorDemo_ + elapsed.count()) * 0.001;
}

bool Transport::Advance() {
  const double to = std::min(PlayedTo(), kDemoEndSeconds);
  session_.SetDemoTime(int64_t(to * 1000));
  if (!session_.RunFrame()) return false;
  // The demo's end holds still; silence after the sound track's own end.
  if (to >= kDemoEndSeconds) SetPlaying(false);
  const double length = BASS_ChannelGetLength(g_musicStream);
  if (playing_ && length >= 0 && to >= length) BASS_ChannelPause(g_musicStream);
  return true;
}

int64_t Transport::Frame() const {
  return FrameAt(Now(), kToolFrameRate);
}

void Transport::FollowMusic() {
  const double at = Now();
  const double length = BASS_ChannelGetLength(g_musicStream);
  BASS_ChannelPause(g_musicStream);
  if (length >= 0 && at >= length) return;
  BASS_ChannelSetPosition(g_musicStream, at);
  if (playing_) BASS_ChannelPlay(g_musicStream, FALSE);
}
