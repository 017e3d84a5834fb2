#pragma once

#include <algorithm>
#include <cmath>

namespace tarvo {

// The zoom of a page as both bodies count it: a logarithmic level, 0 for 100 %, each
// step of the zoom commands 0.2 levels, every level a factor of 1.2, within the
// limits below (the engines show 25 % to 500 % at most).
struct ZoomLevel {
  static constexpr double kStep = 0.2;
  static constexpr double kMax = 9.0;
  static constexpr double kMin = -8.0;
  static constexpr double kMinFactor = 0.25;
  static constexpr double kMaxFactor = 5.0;

  static double In(double level) { return std::min(level + kStep, kMax); }
  static double Out(double level) { return std::max(level - kStep, kMin); }
  static double Factor(double level) { return std::clamp(std::pow(1.2, level), kMinFactor, kMaxFactor); }
};

}  // namespace tarvo
