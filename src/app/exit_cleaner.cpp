#include "app/exit_cleaner.h"

#include "settings/settings_registry.h"
#include "platform/folder_cleaner.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"

namespace tarvo {

bool ExitCleaner::CleanIfAsked() const {
  if (!database_.IsOpen() || !InfoRecords(database_).GetExitClean()) {
    return false;
  }
  SearchRecords(database_).ClearSearchTexts();
  HistoryRecords(database_).ClearHistory();
  const SettingsRegistry& settings = SettingsRegistry::Instance();
  for (const char16_t* key : {u"appdata/cookie", u"appdata/cache", u"appdata/log"}) {
    const std::string folder = settings.GetUtf8(key);
    // An unset key must never turn into the working folder.
    if (!folder.empty()) {
      DeleteFolderFiles(folder);
    }
  }
  return true;
}

}  // namespace tarvo
