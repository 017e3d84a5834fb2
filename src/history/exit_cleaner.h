#pragma once
// The browsing-data cleaning the user can ask for at exit ("exit_clean"): search
// texts and history rows, what the engines keep (cookies, cache, visited links), and
// the files of the cookie, cache and log folders.
//
// It runs in two steps, because files deleted under a running engine come back when
// the engine writes them again: while the engines still run, the rows go and the
// engines clear their own stores; once they have stopped and closed their files,
// the folders are emptied.
//
// Threads: the first thread. Holds non-owning references; the database and the
// engines' data outlive it.
#include "store/user_database.h"

namespace tarvo {

class IEngineData;

class ExitCleaner {
 public:
  explicit ExitCleaner(UserDatabase& database = UserDatabase::Instance(), IEngineData* engines = nullptr)
      : database_(database), engines_(engines) {}

  // While the engines run: when the database is open and "exit_clean" is on, empties
  // the search-text and history tables and has the engines clear their cookies,
  // cache, visited links and remembered log-ins. True when it cleaned.
  bool CleanWhileEnginesRun() const;
  // After the engines stopped: when "exit_clean" is on, deletes every file below
  // "appdata/cookie", "appdata/cache" and "appdata/log" (folders and names beginning
  // with "." stay). True when it cleaned.
  bool EmptyFoldersAfterEngines() const;

 private:
  bool Asked() const;

  UserDatabase& database_;
  IEngineData* engines_;
};

}  // namespace tarvo
