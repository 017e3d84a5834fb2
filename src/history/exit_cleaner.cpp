#include "history/exit_cleaner.h"

#include "history/i_engine_data.h"
#include "platform/folder_cleaner.h"
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
  SearchRecords(database_).ClearSearchTexts();
  HistoryRecords(database_).ClearHistory();
  if (engines_ != nullptr) {
    engines_->ClearCookies();
    engines_->ClearCache();
    engines_->ClearVisitedLinks();
    engines_->ClearCredentials();
  }
  return true;
}

bool ExitCleaner::EmptyFoldersAfterEngines() const {
  if (!Asked()) {
    return false;
  }
  const SettingsRegistry& settings = SettingsRegistry::Instance();
  for (const char16_t* key : {SettingsKeys::kCookieFolder, SettingsKeys::kCacheFolder, SettingsKeys::kLogFolder}) {
    const std::string folder = settings.GetUtf8(key);
    // An unset key must never turn into the working folder.
    if (!folder.empty()) {
      DeleteFolderFiles(folder);
    }
  }
  return true;
}

}  // namespace tarvo
