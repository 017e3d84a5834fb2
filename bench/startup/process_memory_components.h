#pragma once

#include <sys/types.h>

#include <map>
#include <string>

// Where one process's memory is: the PSS of its mappings in /proc/<pid>/smaps,
// summed by the component that owns them (the heap, anonymous memory, Qt WebEngine,
// WebKitGTK, GTK, the software renderer, fonts, ...), so two programs can be compared
// component by component.
class ProcessMemoryComponents {
 public:
  // Component name -> PSS in bytes; empty when the process is gone.
  static std::map<std::string, long long> Of(pid_t pid);
  // The component a mapping's path belongs to ("" for anonymous memory).
  static std::string ComponentOf(const std::string& path);
};
