#include "update/pending_installer.h"

#include <filesystem>

#include "platform/debug_output.h"
#include "platform/process_finder.h"
#include "platform/program_launcher.h"
#include "update/update_check.h"

namespace tarvo {

bool PendingInstaller::Run(const UpdateCheck& check, const UpdateSettings& settings, bool checkUpdates) {
  if (!checkUpdates || settings.packageManaged) return false;
  const std::string path = WideToUtf8(check.GetInstallerPath());
  std::error_code error;
  if (path.empty() || !check.IsAnnouncedNewer() || !std::filesystem::is_regular_file(path, error)) return false;
  const std::string fileName = path.substr(path.rfind('/') + 1);
  if (FindProcessByName(fileName) != 0) {
    DebugOutput("update: the installer " + fileName + " is running already; the browser starts");
    return false;
  }
  // Checked right before the start, on the bytes that will run: a file changed since
  // the download, or one the brand never signed for, is not started.
  if (!UpdateCheck::MatchesAnnouncement(path, check.Announced())) {
    DebugOutput("update: " + fileName + " is not the published installer; deleted");
    std::filesystem::remove(path, error);
    return false;
  }
  std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace, error);
  // "$0" is the installer: exec keeps its own name as the process's name.
  if (LaunchDetached("/bin/sh", {"-c", "exec \"$0\"", path}) != 0) {
    DebugOutput("update: the installer " + fileName + " could not be started");
    return false;
  }
  DebugOutput("update: installer " + fileName + " started");
  return true;
}

}  // namespace tarvo
