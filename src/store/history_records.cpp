#include "store/history_records.h"

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/clock.h"
#include "url/url_encoding.h"

namespace tarvo {

int HistoryRecords::AddHistory(PageUrl& page) const {
  // The new tab's start page carries the search engine in its query: still no visit.
  if (IsStartPageUrl(page.url, SettingsRegistry::Instance().Get(SettingsKeys::kNewPage))) {
    return 0;
  }
  const int64_t id = database_.ExecReturningRowId(
      "INSERT INTO history (id, url, realurl, is_map, created_at) VALUES (null, ?,?,?,?);",
      {page.url, page.realUrl, page.mapped ? "1" : "0", NowSeconds()});
  if (id < 0) {
    return -1;
  }
  page.historyId = id;
  return 0;
}

int HistoryRecords::ClearHistory() const {
  // One transaction, so the rows and the counter are reset together or not at all.
  return database_.RunInTransaction([this] {
    return database_.Execute("delete from 'history';select * from sqlite_sequence;"
                             "update sqlite_sequence set seq=0 where name='history';") == 0;
  });
}

int HistoryRecords::SetTitle(int64_t id, WStringView title) const {
  return database_.Execute("UPDATE history SET title=?, updated_at=? WHERE id=?;", {title, NowSeconds(), id});
}

std::vector<HistoryVisit> HistoryRecords::ListVisits(WStringView search, int limit) const {
  // LIKE would take "%" and "_" of the user's text for wildcards.
  WString pattern = u"%";
  for (char16_t unit : search) {
    if (unit == u'%' || unit == u'_' || unit == u'\\') pattern.push_back(u'\\');
    pattern.push_back(unit);
  }
  pattern.push_back(u'%');
  QueryTable table;
  const int rows = database_.Query(
      "SELECT id, url, realurl, title, created_at FROM history "
      "WHERE url LIKE ?1 ESCAPE '\\' OR ifnull(title,'') LIKE ?1 ESCAPE '\\' "
      "ORDER BY created_at DESC, id DESC LIMIT ?2;",
      {pattern, int64_t{limit}}, &table);
  std::vector<HistoryVisit> visits;
  for (int i = 0; i < rows; ++i) {
    const auto row = static_cast<size_t>(i);
    visits.push_back({table.Integer(row, 0), Utf8ToWide(table.Text(row, 1)), Utf8ToWide(table.Text(row, 2)),
                      Utf8ToWide(table.Text(row, 3)), table.Integer(row, 4)});
  }
  return visits;
}

int HistoryRecords::DeleteVisit(int64_t id) const {
  return database_.Execute("DELETE FROM history WHERE id=?;", {id});
}

int HistoryRecords::DeleteVisitsBetween(int64_t from, int64_t to) const {
  return database_.Execute("DELETE FROM history WHERE created_at>=? AND created_at<?;", {from, to});
}

}  // namespace tarvo
