#pragma once

#include <vector>

#include "store/history_visit.h"
#include "url/page_url.h"
#include "store/user_database.h"

namespace tarvo {

// The visited-address rows of the history table.
//
// Threads: any thread; the database's connection mutex guards every operation.
// Holds a non-owning reference; the database outlives it.
class HistoryRecords {
 public:
  explicit HistoryRecords(UserDatabase& database) : database_(database) {}

  // Records the page's shown and loaded address, its mapped flag and the current
  // time, and stores the new row's id in `page.historyId`. The local start page
  // (settings value "newpage") is not recorded (returns 0, id untouched).
  // Returns 0, or -1 when the insert fails.
  int AddHistory(PageUrl& page) const;

  // Deletes every row and restarts the id counter, so the next row gets id 1.
  // -1 on failure (nothing is then deleted).
  int ClearHistory() const;

  // Gives the row `id` the page's title. -1 on failure.
  int SetTitle(int64_t id, WStringView title) const;
  // Up to `limit` visits, newest first, whose address or title contains `search`
  // (any case for ASCII letters; every visit when empty). `search` is a plain text:
  // "%" and "_" in it match themselves.
  std::vector<HistoryVisit> ListVisits(WStringView search, int limit) const;
  // Deletes one visit. -1 on failure.
  int DeleteVisit(int64_t id) const;
  // Deletes the visits made in [from, to) (seconds since 1970). -1 on failure.
  int DeleteVisitsBetween(int64_t from, int64_t to) const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
