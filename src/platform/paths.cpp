#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tarvo {

namespace {

constexpr const char* kProductFolder = "TarvoBrowser/";

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    return home;
  }
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/tmp";
}

// The XDG rule: the variable when set to an absolute path, else the fallback below home.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  std::string base;
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
    base = value;
  } else {
    base = HomeFolder() + "/" + fallbackBelowHome;
  }
  if (base.back() != '/') {
    base += '/';
  }
  return base + kProductFolder;
}

}  // namespace

std::string ExecutablePath() {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::string ExecutableFolder() {
  const std::string exe = ExecutablePath();
  const auto slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

std::string DataRoot() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

std::string ConfigRoot() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

bool CreatePrivateFolders(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  // Each prefix ending before a "/" names one folder along the path, the root first.
  for (size_t end = path.find('/', 1); ; end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
    if (end == std::string::npos || end + 1 >= path.size()) {
      break;
    }
  }
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace tarvo
