#include "tools/assets/soundtrack_dsp.h"

#include <algorithm>

namespace soundtrack {

uint32_t Seed(uint64_t a, uint64_t b) {
  // splitmix64's finaliser: every input bit moves about half of the output bits.
  uint64_t z = a * 0x9E3779B97F4A7C15ull + b + 0x632BE59BD9B4E019ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return uint32_t(z) | 1u;
}

Adsr::Adsr(const EnvelopeShape& shape, double gate)
    : attackFrames_(std::max<size_t>(1, FrameAt(shape.attack))),
      gateFrames_(std::max<size_t>(1, FrameAt(gate))),
      releaseFrames_(std::max<size_t>(1, FrameAt(shape.release))),
      sustain_(shape.sustain),
      decayCoef_(float(std::exp(-1.0 / (std::max(shape.decay, 1e-4) * kRate)))) {}

void Svf::Tune(double hz, double q) {
  hz = std::clamp(hz, 10.0, 0.45 * kRate);
  const double g = std::tan(std::numbers::pi * hz / kRate);
  const double k = 1.0 / q;
  const double a1 = 1.0 / (1.0 + g * (g + k));
  a1_ = float(a1);
  a2_ = float(g * a1);
  a3_ = float(g * g * a1);
  k_ = float(k);
}

float Curve::At(double seconds) const {
  if (seconds <= points_.front().first) return points_.front().second;
  if (seconds >= points_.back().first) return points_.back().second;
  const auto next = std::upper_bound(points_.begin(), points_.end(), seconds,
                                     [](double t, const auto& point) { return t < point.first; });
  const auto& [t1, v1] = *next;
  const auto& [t0, v0] = *(next - 1);
  return v0 + float((seconds - t0) / (t1 - t0)) * (v1 - v0);
}

}  // namespace soundtrack
