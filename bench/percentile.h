// The p-th quantile (0 to 1) of a sorted, non-empty list of frame times: the nearest rank
// at or below it, so that 0.5 is the median and 1 the worst.
#pragma once

#include <algorithm>
#include <vector>

inline double Percentile(const std::vector<double>& sorted, double p) {
  return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
}
