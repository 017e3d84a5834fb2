#pragma once

#include "history/clear_option.h"
#include "store/user_database.h"

namespace tarvo {

class DownloadManager;
class IEngineData;
class PasswordKeeper;

// What each option of the clear-data window clears:
// - records: the history rows, the typed search texts and the engine's visited-link
//   marks;
// - downloads: the complete downloads leave the list and the table (their files stay);
// - files: the picture cache (site icons) and the working files ended downloads left;
// - cookies: every cookie, through the engines; the site data the Chromium engine
//   keeps open (local storage, databases, service workers: the cookie folder's
//   sub-folders) has no clearing call in that engine and is emptied once it has
//   stopped; the compatibility engine clears its own through its data manager;
// - passwords: the log-ins the browser saved in the desktop's keyring (and its
//   "never for this site" marks), and the engines' caches, which hold the pages that
//   carried them (HTTP log-ins remembered for the session have no clearing call in
//   either engine and end with the process);
// - forms: neither engine keeps form entries on disk (no autofill); the engines'
//   caches are cleared.
//
// Threads: the GUI thread (the engines are reached there). Lifetime: start-up makes
// the browser's once the database is open; tests make their own.
class BrowsingDataCleaner {
 public:
  explicit BrowsingDataCleaner(UserDatabase& database);
  BrowsingDataCleaner(const BrowsingDataCleaner&) = delete;
  BrowsingDataCleaner& operator=(const BrowsingDataCleaner&) = delete;

  // Non-owning; null while the engines are not running (their part is skipped).
  void SetEngines(IEngineData* engines) { engines_ = engines; }
  IEngineData* Engines() const { return engines_; }
  // The list of downloads (non-owning; null: no downloads feature, none to clear).
  void SetDownloads(DownloadManager* downloads) { downloads_ = downloads; }
  // The saved passwords' keeper (non-owning; null: no saved passwords to clear).
  void SetSavedPasswords(PasswordKeeper* passwords) { passwords_ = passwords; }
  PasswordKeeper* SavedPasswords() const { return passwords_; }

  void Clear(ClearOption option);
  // Empties what cookie clearing left for a time the engine is not running. Call
  // after the engine stopped, or before it starts.
  void EmptyPendingSiteData();

 private:
  UserDatabase& database_;
  DownloadManager* downloads_ = nullptr;
  IEngineData* engines_ = nullptr;
  PasswordKeeper* passwords_ = nullptr;
};

}  // namespace tarvo
