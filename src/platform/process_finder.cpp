#include "platform/process_finder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tarvo {

namespace {

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names one process goes by: the base name of its executable and of its first
// argument, and the kernel's name. The kernel names a process after the file it
// executed, also when that file is a script whose executable and first argument name
// the interpreter; it cuts the name to 15 bytes, so it is asked only for names it can
// hold whole.
bool ProcessMatches(const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink(folder / "exe", error);
  if (!error && BaseName(exe.string()) == name) {
    return true;
  }
  std::ifstream cmdline(folder / "cmdline", std::ios::binary);
  std::string argument0;
  const bool hasArgument = cmdline && std::getline(cmdline, argument0, '\0') && !argument0.empty();
  if (hasArgument && BaseName(argument0) == name) {
    return true;
  }
  if (name.size() >= 15) {
    return false;
  }
  std::ifstream comm(folder / "comm");
  std::string kernelName;
  return comm && std::getline(comm, kernelName) && kernelName == name;
}

// An ended process whose parent has not collected it yet keeps its names but runs no
// more.
bool HasEnded(const std::filesystem::path& folder) {
  std::ifstream stat(folder / "stat");
  std::string text;
  std::getline(stat, text);
  const auto close = text.rfind(") ");
  return close != std::string::npos && close + 2 < text.size() && (text[close + 2] == 'Z' || text[close + 2] == 'X');
}

bool IsProcessFolder(const std::string& entry) {
  return !entry.empty() && std::all_of(entry.begin(), entry.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

}  // namespace

pid_t FindProcessByName(const std::string& executableName) {
  if (executableName.empty()) {
    return 0;
  }
  std::error_code error;
  for (std::filesystem::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (IsProcessFolder(entry) && ProcessMatches(it->path(), executableName) && !HasEnded(it->path())) {
      return static_cast<pid_t>(std::stol(entry));
    }
  }
  return 0;
}

}  // namespace tarvo
