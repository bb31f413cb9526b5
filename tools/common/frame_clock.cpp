#include "tools/common/frame_clock.h"

#include <cctype>
#include <cmath>
#include <numeric>

namespace {

// A run of 1 to 9 digits at `at`, moved past; false when there is none or it is longer.
bool ParseDigits(const std::string& text, size_t& at, int64_t& value, int64_t& scale) {
  value = 0;
  scale = 1;
  const size_t start = at;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + (text[at] - '0');
    scale *= 10;
  }
  return at > start && at - start <= 9;
}

}  // namespace

std::string FrameRate::Text() const {
  return den == 1 ? std::to_string(num) : std::to_string(num) + "/" + std::to_string(den);
}

bool ParseFrameRate(const std::string& text, FrameRate& rate) {
  size_t at = 0;
  int64_t num = 0, den = 1, part = 0, scale = 1;
  if (!ParseDigits(text, at, num, scale)) return false;
  if (at < text.size() && (text[at] == '/' || text[at] == '.')) {
    const char separator = text[at++];
    if (!ParseDigits(text, at, part, scale)) return false;
    if (separator == '/') {
      den = part;
    } else {
      num = num * scale + part;
      den = scale;
    }
  }
  if (at != text.size() || den == 0) return false;
  const int64_t divisor = std::gcd(num, den);
  rate = FrameRate(num / divisor, den / divisor);
  return num > 0;
}

int64_t FrameAt(double t, FrameRate rate) {
  return int64_t(std::llround(t * double(rate.num) / double(rate.den)));
}

int64_t FrameMilliseconds(int64_t n, FrameRate rate) {
  // n * den * 1000 / num rounded to the nearest, halves up, in whole numbers.
  return (2 * n * rate.den * 1000 + rate.num) / (2 * rate.num);
}
