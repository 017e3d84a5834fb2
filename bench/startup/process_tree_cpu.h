#pragma once

#include <sys/types.h>

// Processor time (user and system) spent so far by a process and all its live
// descendants, read from /proc. Unlike elapsed time it hardly moves when other
// programs share the processors, so it shows what a program costs on a busy
// machine.
class ProcessTreeCpu {
 public:
  // Milliseconds of processor time of the tree rooted at root; processes that end
  // while being read are skipped.
  static double Milliseconds(pid_t root);
};
