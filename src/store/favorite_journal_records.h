#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/user_database.h"

namespace tarvo {

// The favourites changes a logged-in user made that the service has not confirmed
// yet, in the order they were made, one list per user. Each row says what kind of
// change it was, which item it concerns, the folder it names (so a folder's new id
// can be carried into the rows that name it) and the change's own text.
//
// Threads: any thread; the database's connection mutex guards every statement, and
// callers that change the document with a row run both in one RunInTransaction.
// Holds a non-owning reference; the database outlives it.
class FavoriteJournalRecords {
 public:
  struct Row {
    int64_t seq = 0;
    std::string kind;
    std::string itemId;
    std::string folderId;
    std::string data;
  };

  explicit FavoriteJournalRecords(UserDatabase& database) : database_(database) {}

  // Appends a row for `userId`; its seq, or -1 on failure.
  int64_t Append(const std::string& userId, const Row& row) const;
  // The user's rows, oldest first (the first `limit` of them when it is positive). -1
  // when they cannot be read (rows left empty).
  int List(const std::string& userId, std::vector<Row>& rows, int64_t limit = 0) const;
  // The user's rows naming `id` as their item or their folder, oldest first.
  int ListNaming(const std::string& userId, const std::string& id, std::vector<Row>& rows) const;
  // How many rows the user has; 0 also when they cannot be read.
  int64_t Count(const std::string& userId) const;
  // Replaces the kind, ids and data of the row `row.seq`. 0 or -1.
  int Rewrite(const Row& row) const;
  // Removes one row. 0 or -1.
  int Remove(int64_t seq) const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
