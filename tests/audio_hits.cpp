#include "tests/audio_hits.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/program_run.h"

double HitNear(const std::vector<int16_t>& stereo, int rate, double seconds) {
  const long millisecond = std::lround(rate / 1000.0);
  const long centre = std::lround(seconds * rate);
  const long first = centre - 50 * millisecond, last = centre + 50 * millisecond;
  const long frames = long(stereo.size() / 2);
  if (first < 10 * millisecond || last + millisecond > frames)
    return std::numeric_limits<double>::quiet_NaN();
  // Running sums of the mid channel's energy, from 10 ms before the first candidate.
  const long base = first - 10 * millisecond;
  std::vector<double> sum(size_t(last + millisecond - base) + 1);
  for (long n = base; n < last + millisecond; ++n) {
    const double mid = double(stereo[size_t(2 * n)]) + double(stereo[size_t(2 * n + 1)]);
    sum[size_t(n - base + 1)] = sum[size_t(n - base)] + mid * mid;
  }
  const auto energy = [&](long from, long to) {
    return (sum[size_t(to - base)] - sum[size_t(from - base)]) / double(to - from);
  };
  for (long n = first; n < last; ++n) {
    if (energy(n, n + millisecond) >= 10.0 * energy(n - 10 * millisecond, n) &&
        energy(n, n + millisecond) > 0.0)
      return double(n) / rate;
  }
  return std::numeric_limits<double>::quiet_NaN();
}

std::vector<int16_t> DecodeWithFfmpeg(const std::string& path) {
  const ProgramResult result = RunProgram("ffmpeg -nostdin -v error -i '" + path +
                                          "' -map 0:a:0 -f s16le -ac 2 -ar 44100 -");
  if (result.status != 0 || result.output.size() % 4 != 0) return {};
  std::vector<int16_t> pcm(result.output.size() / 2);
  std::memcpy(pcm.data(), result.output.data(), result.output.size());
  return pcm;
}
