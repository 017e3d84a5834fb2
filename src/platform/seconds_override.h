#pragma once
// A waiting time that tests shorten through an environment variable holding whole
// seconds (the sleeping-tabs delay, the service loop's period). The product itself
// never sets one.
//
// Threads: any.
#include <chrono>

namespace tarvo {

class SecondsOverride {
 public:
  // A positive whole number of seconds up to a day, else nothing (a zero duration).
  static std::chrono::milliseconds Parse(const char* seconds);
  // The variable's value parsed as above; zero when it is unset or bad.
  static std::chrono::milliseconds Read(const char* variable);
};

}  // namespace tarvo
