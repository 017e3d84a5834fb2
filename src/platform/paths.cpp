#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

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

}  // namespace tarvo
