#pragma once

#include "history/clear_option.h"
#include "store/user_database.h"

namespace tarvo {

class DownloadManager;
class IEngineData;

// What each option of the clear-data window clears:
// - records: the history rows, the typed search texts and the engine's visited-link
//   marks;
// - downloads: the complete downloads leave the list and the table (their files stay);
// - files: the picture cache (site icons) and the working files ended downloads left;
// - cookies: every cookie, through the engines; the site data the engine keeps open
//   (local storage, databases, service workers: the cookie folder's sub-folders) has
//   no clearing call in this engine and is emptied once the engine has stopped;
// - passwords, forms: neither engine keeps passwords or form entries on disk (Qt
//   WebEngine 5.15 has no password manager or autofill, QtWebKit neither); the
//   engines' caches hold the pages that carried them and are cleared, and for
//   passwords the HTTP log-ins remembered for the session go too.
//
// Threads: the GUI thread (the engines are reached there). Lifetime: Instance() for
// the process; tests make their own.
class BrowsingDataCleaner {
 public:
  static BrowsingDataCleaner& Instance();

  BrowsingDataCleaner(UserDatabase& database, DownloadManager& downloads);

  // Non-owning; null while the engines are not running (their part is skipped).
  void SetEngines(IEngineData* engines) { engines_ = engines; }
  IEngineData* Engines() const { return engines_; }

  void Clear(ClearOption option);
  // Empties what cookie clearing left for a time the engine is not running. Call
  // after the engine stopped, or before it starts.
  void EmptyPendingSiteData();

 private:
  UserDatabase& database_;
  DownloadManager& downloads_;
  IEngineData* engines_ = nullptr;
};

}  // namespace tarvo
