#pragma once
// The browsing-data cleaning the user can ask for at exit ("exit_clean"): search
// texts and history rows, what the engines keep (cookies, cache, visited links), the
// passwords saved in the desktop's keyring, the files of the cookie, cache, log and
// site-icon folders, and the saved session ("session.json", which names the tabs'
// addresses and titles). The rows deleted are overwritten in the database file and
// its free pages rebuilt away, so nothing of them stays readable in it.
//
// It runs in two steps, because files deleted under a running engine come back when
// the engine writes them again: while the engines still run, the rows go and the
// engines clear their own stores; once they have stopped and closed their files,
// the folders are emptied.
//
// Threads: the first thread. Holds non-owning references; the database and the
// engines' data outlive it.
#include <chrono>

#include "store/user_database.h"

namespace tarvo {

class IEngineData;
class PasswordKeeper;

class ExitCleaner {
 public:
  // How long the end waits for the keyring to remove the saved passwords.
  static constexpr std::chrono::milliseconds kKeyringWait{10000};

  explicit ExitCleaner(UserDatabase& database, IEngineData* engines = nullptr, PasswordKeeper* passwords = nullptr)
      : database_(database), engines_(engines), passwords_(passwords) {}

  // While the engines run: when the database is open and "exit_clean" is on, empties
  // the search-text and history tables with secure deletion, rebuilds the database
  // without the pages they left free (VACUUM; the write-ahead log goes when the
  // browser writes it back at its end), has the engines clear their cookies and
  // visited links, and removes the saved passwords (waiting for the keyring at most
  // kKeyringWait). True when it cleaned.
  bool CleanWhileEnginesRun() const;
  // After the engines stopped and the session was written for the last time: when
  // "exit_clean" is on, deletes every file below "appdata/cookie", "appdata/cache",
  // "appdata/log" and "appdata/picture" (folders and names beginning with "." stay)
  // and the session file with the one set aside beside it. True when it cleaned.
  bool EmptyFoldersAfterEngines() const;

 private:
  bool Asked() const;

  UserDatabase& database_;
  IEngineData* engines_;
  PasswordKeeper* passwords_;
};

}  // namespace tarvo
