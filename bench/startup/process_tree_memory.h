#pragma once

#include <sys/types.h>

#include <vector>

// Proportional set size of a process and all its descendants, read from /proc,
// so shared pages count once across the tree.
class ProcessTreeMemory {
 public:
  // The process and every descendant alive now.
  static std::vector<pid_t> Tree(pid_t root);
  // Sum of "Pss:" of /proc/<pid>/smaps_rollup over the tree, in bytes; processes
  // that end while being read are skipped.
  static long long PssBytes(pid_t root);
};
