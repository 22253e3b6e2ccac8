// The benchmarks' clock and their summary of repeated runs.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// Milliseconds since start.
inline double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The middle value (the upper one of an even count).
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
