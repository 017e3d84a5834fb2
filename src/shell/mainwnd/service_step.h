#pragma once
// One step of the service loop's round: a feature's work on the loop's thread, named
// for the diagnostics that tell which step failed or took long.
#include <functional>
#include <string>

namespace tarvo {

struct ServiceStep {
  std::string name;
  std::function<void()> run;
};

}  // namespace tarvo
