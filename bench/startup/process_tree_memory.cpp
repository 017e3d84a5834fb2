#include "bench/startup/process_tree_memory.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

std::vector<pid_t> ProcessTreeMemory::Tree(pid_t root) {
  std::multimap<pid_t, pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) {
      continue;
    }
    // The command name may hold blanks; the parent id follows its closing bracket.
    const auto close = line.rfind(')');
    if (close == std::string::npos) {
      continue;
    }
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    children.emplace(parent, static_cast<pid_t>(std::stol(name)));
  }
  std::vector<pid_t> tree{root};
  for (size_t i = 0; i < tree.size(); ++i) {
    const auto range = children.equal_range(tree[i]);
    for (auto it = range.first; it != range.second; ++it) {
      tree.push_back(it->second);
    }
  }
  return tree;
}

long long ProcessTreeMemory::PssBytes(pid_t root) {
  long long total = 0;
  for (pid_t pid : Tree(root)) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long long kilobytes = 0;
    std::string unit;
    while (rollup >> key) {
      if (key == "Pss:") {
        rollup >> kilobytes >> unit;
        total += kilobytes * 1024;
        break;
      }
      rollup.ignore(1 << 12, '\n');
    }
  }
  return total;
}
