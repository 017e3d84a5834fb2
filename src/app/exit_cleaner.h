#pragma once
// The browsing-data cleaning the user can ask for at exit ("exit_clean"): search
// texts and history rows, and the files of the cookie, cache and log folders.
//
// Threads: the first thread, after the engine has shut down (its files must be
// closed before they are deleted). Holds a non-owning reference to the database.
#include "store/user_database.h"

namespace tarvo {

class ExitCleaner {
 public:
  explicit ExitCleaner(UserDatabase& database = UserDatabase::Instance()) : database_(database) {}

  // When the database is open and "exit_clean" is on: empties the search-text and
  // history tables, then deletes every file below "appdata/cookie", "appdata/cache"
  // and "appdata/log" (folders and names beginning with "." stay). True when it
  // cleaned.
  bool CleanIfAsked() const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
