#include "history/exit_cleaner.h"

#include "history/i_engine_data.h"
#include "passwords/password_keeper.h"
#include "platform/debug_output.h"
#include "platform/folder_cleaner.h"
#include "session/session_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"

namespace tarvo {

bool ExitCleaner::Asked() const { return database_.IsOpen() && InfoRecords(database_).GetExitClean(); }

bool ExitCleaner::CleanWhileEnginesRun() const {
  if (!Asked()) {
    return false;
  }
  // Deleted rows are overwritten, whatever the library's default; the free pages of
  // this run's and earlier deletions go with the rebuild.
  database_.Execute("PRAGMA secure_delete=ON;");
  SearchRecords(database_).ClearSearchTexts();
  HistoryRecords(database_).ClearHistory();
  if (database_.Execute("VACUUM;") != 0) DebugOutput("exit cleaning: the database could not be rebuilt");
  // The HTTP cache and what the engines hold in memory are left to the folders'
  // removal once the engines stopped: the Chromium engine empties its cache in the
  // background and touches the profile when it is done, which a profile torn down
  // a moment later no longer survives. Cookies and visited links would be written
  // back at shut-down, so they go through the engines now.
  if (engines_ != nullptr) {
    engines_->ClearCookies();
    engines_->ClearVisitedLinks();
  }
  if (passwords_ != nullptr && passwords_->RemoveAllNow(kKeyringWait) != KeyringResult::kDone) {
    DebugOutput("exit cleaning: the keyring did not remove the saved passwords");
  }
  return true;
}

bool ExitCleaner::EmptyFoldersAfterEngines() const {
  if (!Asked()) {
    return false;
  }
  const SettingsRegistry& settings = SettingsRegistry::Instance();
  for (const char16_t* key : {SettingsKeys::kCookieFolder, SettingsKeys::kCacheFolder, SettingsKeys::kLogFolder,
                              SettingsKeys::kPictureFolder}) {
    const std::string folder = settings.GetUtf8(key);
    // An unset key must never turn into the working folder.
    if (!folder.empty()) {
      DeleteFolderFiles(folder);
    }
  }
  if (const std::string root = settings.GetUtf8(SettingsKeys::kDataRoot); !root.empty()) {
    if (!SessionFile(root + SessionFile::kFileName).Remove()) DebugOutput("exit cleaning: the session file stays");
  }
  return true;
}

}  // namespace tarvo
