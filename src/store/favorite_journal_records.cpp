#include "store/favorite_journal_records.h"

#include "platform/clock.h"

namespace tarvo {

namespace {

constexpr const char* kColumns = "SELECT seq, kind, item_id, folder_id, data FROM favorite_journal ";

void ReadRows(const QueryTable& table, std::vector<FavoriteJournalRecords::Row>& rows) {
  for (size_t row = 0; row < table.rows.size(); ++row) {
    rows.push_back({table.Integer(row, 0), table.Text(row, 1), table.Text(row, 2), table.Text(row, 3),
                    table.Text(row, 4)});
  }
}

}  // namespace

int64_t FavoriteJournalRecords::Append(const std::string& userId, const Row& row) const {
  return database_.ExecReturningRowId(
      "INSERT INTO favorite_journal (user_id, kind, item_id, folder_id, data, created_at) VALUES (?,?,?,?,?,?);",
      {userId, row.kind, row.itemId, row.folderId, row.data, NowSeconds()});
}

int FavoriteJournalRecords::List(const std::string& userId, std::vector<Row>& rows, int64_t limit) const {
  rows.clear();
  QueryTable table;
  if (database_.Query(std::string(kColumns) + "WHERE user_id=? ORDER BY seq LIMIT ?;", {userId, limit > 0 ? limit : -1},
                      &table) < 0) {
    return -1;
  }
  ReadRows(table, rows);
  return 0;
}

int FavoriteJournalRecords::ListNaming(const std::string& userId, const std::string& id,
                                       std::vector<Row>& rows) const {
  rows.clear();
  QueryTable table;
  if (database_.Query(std::string(kColumns) + "WHERE user_id=?1 AND (item_id=?2 OR folder_id=?2) ORDER BY seq;",
                      {userId, id}, &table) < 0) {
    return -1;
  }
  ReadRows(table, rows);
  return 0;
}

int64_t FavoriteJournalRecords::Count(const std::string& userId) const {
  QueryTable table;
  if (database_.Query("SELECT count(*) FROM favorite_journal WHERE user_id=?;", {userId}, &table) <= 0) return 0;
  return table.Integer(0, 0);
}

int FavoriteJournalRecords::Rewrite(const Row& row) const {
  return database_.Execute("UPDATE favorite_journal SET kind=?, item_id=?, folder_id=?, data=? WHERE seq=?;",
                           {row.kind, row.itemId, row.folderId, row.data, row.seq});
}

int FavoriteJournalRecords::Remove(int64_t seq) const {
  return database_.Execute("DELETE FROM favorite_journal WHERE seq=?;", {seq});
}

}  // namespace tarvo
