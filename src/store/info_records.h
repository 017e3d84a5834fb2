#pragma once

#include "platform/text.h"
#include "store/user_database.h"

namespace tarvo {

// The key/value rows of the info table: flags, the chosen search engine, the
// favourites document, account and domain-list values.
//
// Threads: any thread; the database's connection mutex guards every operation
// (see UserDatabase). Holds a non-owning reference; the database outlives it.
class InfoRecords {
 public:
  explicit InfoRecords(UserDatabase& database) : database_(database) {}

  // 0 with the first row's value; -2 with an empty value when the key has no row;
  // -1 when the query fails.
  int GetInfo(WStringView key, WString& value) const;

  // Inserts the key or updates its value, atomically: the table never gets two
  // rows for a key through this call, even from racing threads. -1 on failure.
  int SetInfo(WStringView key, WStringView value) const;
  // Removes the key's rows. 0 also when there was none; -1 on failure.
  int DeleteInfo(WStringView key) const;

  // True when "exit_clean" exists and reads as a non-zero number.
  bool GetExitClean() const;
  // Writes "exit_clean" = "1" or "0" (updating the seeded row). -1 on failure.
  int SetExitClean(bool on) const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
