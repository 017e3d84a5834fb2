#include "bench/startup/process_tree_cpu.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "bench/startup/process_tree_memory.h"

double ProcessTreeCpu::Milliseconds(pid_t root) {
  const double ticks_per_second = static_cast<double>(sysconf(_SC_CLK_TCK));
  long long ticks = 0;
  for (pid_t pid : ProcessTreeMemory::Tree(root)) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
      continue;
    }
    // After the bracketed command name: state, then 10 fields, then utime and stime.
    const auto close = line.rfind(')');
    if (close == std::string::npos) {
      continue;
    }
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    for (int i = 0; i < 11 && rest >> field; ++i) {
    }
    long long user = 0;
    long long system = 0;
    if (rest >> user >> system) {
      ticks += user + system;
    }
  }
  return static_cast<double>(ticks) * 1000.0 / ticks_per_second;
}
