#pragma once
// The most heap one input took: the replay counts every operator new and delete of
// the process, so a target can hold a reader to memory in proportion to its input.
// Under libFuzzer the sanitizer owns operator new and nothing is counted; there the
// run's own memory limit (-rss_limit_mb) stands in.
// Single-threaded, like both drivers.
#include <cstddef>
#include <optional>

namespace tarvo::fuzz {

class HeapPeak {
 public:
  // Starts a measurement at the heap in use now.
  static void Reset();
  // The most heap in use above that since Reset; nothing where it is not counted.
  static std::optional<size_t> Bytes();
};

}  // namespace tarvo::fuzz
