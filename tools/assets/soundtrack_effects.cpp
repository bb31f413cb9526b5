#include "tools/assets/soundtrack_effects.h"

namespace soundtrack {
namespace {

// Far below the 16-bit floor; anything smaller only costs denormal arithmetic.
float Flush(float x) {
  return std::fabs(x) < 1e-12f ? 0.0f : x;
}

// The classic tunings (in frames at 44.1 kHz): mutually prime-ish lengths, so the combs'
// echoes do not line up into a metallic ring.
constexpr std::array<size_t, 8> kCombFrames = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<size_t, 4> kAllpassFrames = {556, 441, 341, 225};
// The right side's lines are a little longer, which decorrelates the sides into width.
constexpr size_t kStereoSpread = 23;
constexpr float kCombDamp = 0.3f;
constexpr float kInputGain = 0.015f;

}  // namespace

PingPongDelay::PingPongDelay(double seconds, float feedback, double dampHz)
    : left_(FrameAt(seconds)), right_(FrameAt(seconds)), feedback_(feedback), damp_(dampHz) {}

std::pair<float, float> PingPongDelay::Process(float in) {
  const float outLeft = left_[pos_];
  const float outRight = right_[pos_];
  left_[pos_] = in + Flush(damp_.LowPass(outRight)) * feedback_;
  right_[pos_] = outLeft;
  if (++pos_ == left_.size()) pos_ = 0;
  return {outLeft, outRight};
}

Reverb::Reverb() {
  for (size_t i = 0; i < kCombFrames.size(); ++i) {
    combsLeft_[i].buffer.assign(kCombFrames[i], 0.0f);
    combsRight_[i].buffer.assign(kCombFrames[i] + kStereoSpread, 0.0f);
  }
  for (size_t i = 0; i < kAllpassFrames.size(); ++i) {
    allpassLeft_[i].buffer.assign(kAllpassFrames[i], 0.0f);
    allpassRight_[i].buffer.assign(kAllpassFrames[i] + kStereoSpread, 0.0f);
  }
}

float Reverb::Comb::Process(float x, float feedback) {
  const float out = buffer[pos];
  store = Flush(out * (1.0f - kCombDamp) + store * kCombDamp);
  buffer[pos] = x + store * feedback;
  if (++pos == buffer.size()) pos = 0;
  return out;
}

float Reverb::Allpass::Process(float x) {
  const float delayed = buffer[pos];
  buffer[pos] = Flush(x + delayed * 0.5f);
  if (++pos == buffer.size()) pos = 0;
  return delayed - x;
}

std::pair<float, float> Reverb::Process(float in, float size) {
  const float x = in * kInputGain;
  float left = 0.0f;
  float right = 0.0f;
  for (size_t i = 0; i < combsLeft_.size(); ++i) {
    left += combsLeft_[i].Process(x, size);
    right += combsRight_[i].Process(x, size);
  }
  for (size_t i = 0; i < allpassLeft_.size(); ++i) {
    left = allpassLeft_[i].Process(left);
    right = allpassRight_[i].Process(right);
  }
  return {left, right};
}

}  // namespace soundtrack
