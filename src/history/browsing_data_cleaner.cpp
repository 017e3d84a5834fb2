#include "history/browsing_data_cleaner.h"

#include <filesystem>

#include "downloads/download_manager.h"
#include "history/i_engine_data.h"
#include "passwords/password_keeper.h"
#include "platform/folder_cleaner.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/history_records.h"
#include "store/info_records.h"
#include "store/search_records.h"

namespace tarvo {

namespace {

constexpr char16_t kSiteDataPending[] = u"clear_site_data_pending";

// Folders that come from unset settings keys would turn into the working folder.
void EmptyFolderOf(WStringView key) {
  const std::string folder = SettingsRegistry::Instance().GetUtf8(key);
  if (!folder.empty()) DeleteFolderFiles(folder);
}

}  // namespace

BrowsingDataCleaner::BrowsingDataCleaner(UserDatabase& database) : database_(database) {}

void BrowsingDataCleaner::Clear(ClearOption option) {
  switch (option) {
    case ClearOption::kRecords:
      HistoryRecords(database_).ClearHistory();
      SearchRecords(database_).ClearSearchTexts();
      if (engines_ != nullptr) engines_->ClearVisitedLinks();
      break;
    case ClearOption::kDownloads:
      if (downloads_ != nullptr) downloads_->ClearFinished();
      break;
    case ClearOption::kFiles:
      EmptyFolderOf(SettingsKeys::kPictureFolder);
      if (downloads_ != nullptr) downloads_->DeleteLeftovers();
      break;
    case ClearOption::kCookies:
      if (engines_ != nullptr) engines_->ClearCookies();
      InfoRecords(database_).SetInfo(kSiteDataPending, u"1");
      break;
    case ClearOption::kPasswords:
      // The keyring answers in the background; lookups made after this see it done.
      if (passwords_ != nullptr) passwords_->RemoveAll();
      [[fallthrough]];
    case ClearOption::kForms:
      if (engines_ != nullptr) engines_->ClearCache();
      break;
  }
}

void BrowsingDataCleaner::EmptyPendingSiteData() {
  WString pending;
  if (InfoRecords(database_).GetInfo(kSiteDataPending, pending) != 0 || pending != u"1") return;
  const std::string folder = SettingsRegistry::Instance().GetUtf8(SettingsKeys::kCookieFolder);
  std::error_code error;
  if (!folder.empty()) {
    // The top-level files are the cookie stores, emptied through the engines
    // already; cookies set since then stay.
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      const bool hidden = entry.path().filename().string().starts_with('.');
      if (!hidden && entry.is_directory(error) && !entry.is_symlink(error)) DeleteFolderFiles(entry.path().string());
    }
  }
  InfoRecords(database_).DeleteInfo(kSiteDataPending);
}

}  // namespace tarvo
