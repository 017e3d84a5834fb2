#include "bench/startup/process_memory_components.h"

#include <array>
#include <fstream>
#include <sstream>
#include <utility>

std::string ProcessMemoryComponents::ComponentOf(const std::string& path) {
  // First match wins: the engines before the rest of Qt.
  static const std::array<std::pair<const char*, const char*>, 15> kComponents = {{
      {"[heap]", "heap"},
      {"[stack", "stack"},
      {"libQt6WebEngine", "qt_webengine"},
      {"libwebkit2gtk", "webkitgtk"},
      {"libjavascriptcoregtk", "webkitgtk"},
      {"libgtk-3", "gtk"},
      {"libgdk-3", "gtk"},
      {"libLLVM", "mesa_llvm"},
      {"_dri.so", "mesa_llvm"},
      {"libQt6", "qt_other"},
      {".ttf", "fonts"},
      {".otf", "fonts"},
      {".ttc", "fonts"},
      {"/dev/shm", "shared_memory"},
      {"memfd:", "shared_memory"},
  }};
  if (path.empty()) return "anonymous";
  for (const auto& [needle, component] : kComponents) {
    if (path.find(needle) != std::string::npos) return component;
  }
  if (path.find(".so") != std::string::npos) return "other_libraries";
  return "other_files";
}

std::map<std::string, long long> ProcessMemoryComponents::Of(pid_t pid) {
  std::map<std::string, long long> components;
  std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps");
  std::string line;
  std::string component = "anonymous";
  while (std::getline(smaps, line)) {
    if (line.empty()) continue;
    // A mapping's header: "start-end perms offset dev inode [path]"; its fields
    // ("Pss:    12 kB") follow it.
    const auto colon = line.find(':');
    const bool field = colon != std::string::npos && line.find(' ') > colon && line.find('-') > colon;
    if (!field) {
      std::istringstream header(line);
      std::string range, perms, offset, device, inode, path;
      header >> range >> perms >> offset >> device >> inode;
      std::getline(header >> std::ws, path);
      component = ComponentOf(path);
      continue;
    }
    if (line.compare(0, 4, "Pss:") == 0) {
      components[component] += std::stoll(line.substr(4)) * 1024;
    }
  }
  return components;
}
