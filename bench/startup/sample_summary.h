#pragma once

#include <algorithm>
#include <vector>

// Median and spread of a handful of measurements: the median resists the odd run
// slowed by other work on the machine, the quartiles and extremes show how far
// the runs scattered.
struct SampleSummary {
  double median = 0;
  double low_quartile = 0;
  double high_quartile = 0;
  double minimum = 0;
  double maximum = 0;

  static SampleSummary Of(std::vector<double> samples) {
    SampleSummary summary;
    if (samples.empty()) {
      return summary;
    }
    std::sort(samples.begin(), samples.end());
    summary.median = Quantile(samples, 0.5);
    summary.low_quartile = Quantile(samples, 0.25);
    summary.high_quartile = Quantile(samples, 0.75);
    summary.minimum = samples.front();
    summary.maximum = samples.back();
    return summary;
  }

 private:
  // Linear interpolation between the two nearest ranks of sorted samples.
  static double Quantile(const std::vector<double>& sorted, double fraction) {
    const double position = fraction * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<size_t>(position);
    const size_t above = std::min(below + 1, sorted.size() - 1);
    const double weight = position - static_cast<double>(below);
    return sorted[below] * (1 - weight) + sorted[above] * weight;
  }
};
