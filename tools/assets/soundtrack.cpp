#include "tools/assets/soundtrack.h"

#include <cmath>

#include "tools/assets/soundtrack_effects.h"
#include "tools/assets/soundtrack_mix.h"
#include "tools/assets/soundtrack_score.h"

namespace soundtrack {
namespace {

static_assert(kSoundtrackSampleRate == int(kRate));

// A dotted eighth at 120 BPM: echoes fall between the beats instead of on them.
constexpr double kEchoSeconds = 0.375;
constexpr float kEchoFeedback = 0.45f;
constexpr float kEchoReturn = 0.5f;
constexpr float kEchoIntoRoom = 0.3f;
constexpr float kRoomReturn = 1.0f;

constexpr float kMasterGain = 1.1f;
// -1 dBFS is 0.891 of full scale; the ceiling sits under it so that rounding never crosses.
constexpr float kCeiling = 0.88f;
// Below this the limiter is a plain wire; only the beat's loudest peaks are bent.
constexpr float kKnee = 0.6f;

void AddEchoesAndRoom(Mix& mix) {
  PingPongDelay echo(kEchoSeconds, kEchoFeedback, 3000.0);
  Reverb room;
  const Curve roomSize = RoomSize();
  float size = roomSize.At(0.0);
  for (size_t i = 0; i < mix.Frames(); ++i) {
    if (i % 256 == 0) size = roomSize.At(double(i) / kRate);
    const auto [echoLeft, echoRight] = echo.Process(mix.delaySend[i]);
    const auto [roomLeft, roomRight] =
        room.Process(mix.reverbSend[i] + kEchoIntoRoom * (echoLeft + echoRight), size);
    mix.left[i] += kEchoReturn * echoLeft + kRoomReturn * roomLeft;
    mix.right[i] += kEchoReturn * echoRight + kRoomReturn * roomRight;
  }
}

// Removes DC and anything below hearing (a one-pole high-pass near 10 Hz), which would
// otherwise eat headroom.
class DcBlocker {
 public:
  float Process(float x) {
    y_ = x - x_ + kPole * y_;
    x_ = x;
    return y_;
  }

 private:
  static constexpr float kPole = float(1.0 - kTwoPi * 10.0 / kRate);
  float x_ = 0.0f;
  float y_ = 0.0f;
};

std::vector<int16_t> Master(const Mix& mix) {
  const Curve fader = MasterFader();
  DcBlocker dcLeft;
  DcBlocker dcRight;
  std::vector<int16_t> pcm(mix.Frames() * kSoundtrackChannels);
  for (size_t i = 0; i < mix.Frames(); ++i) {
    const float gain = kMasterGain * fader.At(double(i) / kRate);
    const float left = SoftLimit(dcLeft.Process(mix.left[i]) * gain, kKnee, kCeiling);
    const float right = SoftLimit(dcRight.Process(mix.right[i]) * gain, kKnee, kCeiling);
    pcm[2 * i] = int16_t(std::lround(left * 32767.0f));
    pcm[2 * i + 1] = int16_t(std::lround(right * 32767.0f));
  }
  return pcm;
}

}  // namespace
}  // namespace soundtrack

std::vector<int16_t> SynthesizeSoundtrack() {
  using namespace soundtrack;
  Mix mix(size_t(kSoundtrackSeconds) * size_t(kSoundtrackSampleRate));
  PerformScore(mix);
  AddEchoesAndRoom(mix);
  return Master(mix);
}
