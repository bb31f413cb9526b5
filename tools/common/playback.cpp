#include "tools/common/playback.h"

#include "app/app.h"
#include "platform/bass.h"
#include "tools/common/frame_clock.h"

bool Playback::Seek(int64_t milliseconds, bool playing) {
  if (!session_.Restart()) return false;
  // The load starts the music at 0; it waits, silent, until the frame at T is shown.
  BASS_ChannelPause(g_musicStream);
  const int64_t frame = FrameAt(double(milliseconds) * 0.001, kToolFrameRate);
  if (!session_.FastForward(0, frame, kToolFrameRate) || !session_.RunFrame()) return false;
  FollowMusic(milliseconds, playing);
  return true;
}

bool Playback::Play(int64_t milliseconds) {
  session_.SetDemoTime(milliseconds);
  if (!session_.RunFrame()) return false;
  const double length = BASS_ChannelGetLength(g_musicStream);
  if (length >= 0 && double(milliseconds) * 0.001 >= length) BASS_ChannelPause(g_musicStream);
  return true;
}

void Playback::FollowMusic(int64_t milliseconds, bool playing) {
  const double at = double(milliseconds) * 0.001;
  const double length = BASS_ChannelGetLength(g_musicStream);
  BASS_ChannelPause(g_musicStream);
  if (length >= 0 && at >= length) return;
  BASS_ChannelSetPosition(g_musicStream, at);
  if (playing) BASS_ChannelPlay(g_musicStream, FALSE);
}
