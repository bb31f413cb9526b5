#include "tools/common/transport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "timeline/timeline.h"
#include "tools/common/frame_clock.h"
#include "tools/common/schedule_sections.h"

namespace {

// How long a message stays in the bar, in the clock's milliseconds.
constexpr double kMessageTime = 4000;

int64_t EndFrame() {
  return FrameAt(kDemoEndSeconds, kToolFrameRate);
}

int64_t FrameTime(int64_t frame) {
  return FrameMilliseconds(frame, kToolFrameRate);
}

}  // namespace

Transport::Transport(std::vector<double> sections, double atSeconds, bool playing)
    : sections_(std::move(sections)), playing_(playing) {
  milliseconds_ = FrameTime(std::clamp<int64_t>(FrameAt(atSeconds, kToolFrameRate), 0, EndFrame()));
  anchorMilliseconds_ = milliseconds_;
}

double Transport::End() {
  return double(FrameTime(EndFrame())) * 0.001;
}

double Transport::LoopIn() const {
  return loopIn_ < 0 ? -1 : double(FrameTime(loopIn_)) * 0.001;
}

double Transport::LoopOut() const {
  return loopOut_ < 0 ? -1 : double(FrameTime(loopOut_)) * 0.001;
}

int64_t Transport::Frame() const {
  return FrameAt(Seconds(), kToolFrameRate);
}

std::string Transport::FormatTime(int64_t milliseconds) {
  const int64_t hundredths = std::max<int64_t>(milliseconds, 0) / 10;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d.%02d", int(hundredths / 6000),
                int(hundredths / 100 % 60), int(hundredths % 100));
  return text;
}

TransportCommand Transport::SeekFrame(int64_t frame, double clock) {
  const int64_t target = FrameTime(std::clamp<int64_t>(frame, 0, EndFrame()));
  if (target == milliseconds_) return {};
  milliseconds_ = anchorMilliseconds_ = target;
  anchorClock_ = clock;
  return {TransportCommand::kSeek, target};
}

TransportCommand Transport::SeekTo(double seconds, double clock) {
  if (!std::isfinite(seconds)) return {};
  return SeekFrame(FrameAt(std::clamp(seconds, 0.0, kDemoEndSeconds), kToolFrameRate), clock);
}

void Transport::SetPlaying(bool playing, double clock) {
  playing_ = playing;
  anchorMilliseconds_ = milliseconds_;
  anchorClock_ = clock;
}

TransportCommand Transport::TogglePlaying(double clock) {
  SetPlaying(!playing_, clock);
  // Played to the end, Space plays again from the start.
  if (playing_ && Frame() >= EndFrame()) return SeekFrame(0, clock);
  return {TransportCommand::kBar};
}

TransportCommand Transport::SetPoint(bool in, double clock) {
  const int64_t frame = Frame();
  int64_t& point = in ? loopIn_ : loopOut_;
  int64_t& other = in ? loopOut_ : loopIn_;
  point = frame;
  if (other >= 0 && (in ? other <= frame : other >= frame)) {
    other = -1;
    loopOn_ = false;
    Say(in ? "LOOP OFF: IN AT OR AFTER OUT" : "LOOP OFF: OUT AT OR BEFORE IN", clock);
  }
  return {TransportCommand::kBar};
}

TransportCommand Transport::ToggleLoop(double clock) {
  if (!loopOn_ && (loopIn_ < 0 || loopOut_ < 0)) {
    Say("LOOP NEEDS IN AND OUT: I, O", clock);
    return {TransportCommand::kBar};
  }
  loopOn_ = !loopOn_;
  return {TransportCommand::kBar};
}

bool Transport::SetLoop(double in, double out) {
  const int64_t first = FrameAt(in, kToolFrameRate), last = FrameAt(out, kToolFrameRate);
  if (first < 0 || last > EndFrame() || last <= first) return false;
  loopIn_ = first;
  loopOut_ = last;
  loopOn_ = true;
  return true;
}

TransportCommand Transport::Press(WPARAM key, bool shift, double clock) {
  const double step = shift ? 10 : 1;
  switch (key) {
    case VK_SPACE:
      return TogglePlaying(clock);
    case VK_LEFT:
    case VK_RIGHT:
      return SeekTo(Seconds() + (key == VK_LEFT ? -step : step), clock);
    case VK_PRIOR:
      return sections_.empty() ? SeekFrame(0, clock)
                               : SeekTo(PreviousSection(sections_, Seconds()), clock);
    case VK_NEXT: {
      std::vector<double> edges = sections_;
      edges.push_back(End());
      return SeekTo(NextSection(edges, Seconds()), clock);
    }
    case VK_HOME:
      return SeekFrame(0, clock);
    case VK_OEM_COMMA:
    case VK_OEM_PERIOD: {
      const bool wasPlaying = playing_;
      playing_ = false;
      const TransportCommand seek = SeekFrame(Frame() + (key == VK_OEM_COMMA ? -1 : 1), clock);
      return seek.kind == TransportCommand::kNone && wasPlaying
                 ? TransportCommand{TransportCommand::kBar}
                 : seek;
    }
    case 'I':
    case 'O':
      return SetPoint(key == 'I', clock);
    case 'L':
      return ToggleLoop(clock);
    case 'R':
      milliseconds_ = anchorMilliseconds_ = FrameTime(Frame());
      anchorClock_ = clock;
      return {TransportCommand::kSeek, milliseconds_};
    case VK_TAB:
      overlayOn_ = !overlayOn_;
      return {TransportCommand::kBar};
    case VK_ESCAPE:
    case 'Q':
      return {TransportCommand::kQuit};
    default:
      return {};
  }
}

TransportCommand Transport::Tick(double clock) {
  if (!playing_) return {};
  const int64_t to = anchorMilliseconds_ + std::llround(clock - anchorClock_);
  const int64_t out = FrameTime(loopOut_);
  if (loopOn_ && milliseconds_ < out && to >= out) {
    milliseconds_ = anchorMilliseconds_ = FrameTime(loopIn_);
    anchorClock_ = clock;
    return {TransportCommand::kSeek, milliseconds_};
  }
  const int64_t end = FrameTime(EndFrame());
  if (to >= end) playing_ = false;
  milliseconds_ = std::min(to, end);
  return {TransportCommand::kPlay, milliseconds_};
}

void Transport::Shown(double clock) {
  anchorMilliseconds_ = milliseconds_;
  anchorClock_ = clock;
  if (warning_) message_.clear();
  warning_ = false;
}

void Transport::Say(const std::string& text, double clock) {
  message_ = text;
  messageUntil_ = clock + kMessageTime;
  warning_ = false;
}

void Transport::Warn(const std::string& text) {
  message_ = text;
  warning_ = true;
}

std::string Transport::Message(double clock) const {
  return warning_ || clock < messageUntil_ ? message_ : std::string();
}
