#pragma once

#include "url/page_url.h"
#include "store/user_database.h"

namespace tarvo {

// The visited-address rows of the history table.
//
// Threads: any thread; the database's connection mutex guards every operation.
// Holds a non-owning reference; the database outlives it.
class HistoryRecords {
 public:
  explicit HistoryRecords(UserDatabase& database = UserDatabase::Instance()) : database_(database) {}

  // Records the page's shown and loaded address, its mapped flag and the current
  // time, and stores the new row's id in `page.historyId`. The local start page
  // (settings value "newpage") is not recorded (returns 0, id untouched).
  // Returns 0, or -1 when the insert fails.
  int AddHistory(PageUrl& page) const;

  // Deletes every row and restarts the id counter, so the next row gets id 1.
  // -1 on failure (nothing is then deleted).
  int ClearHistory() const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
