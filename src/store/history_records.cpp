#include "store/history_records.h"

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "platform/clock.h"

namespace tarvo {

int HistoryRecords::AddHistory(PageUrl& page) const {
  if (page.url == SettingsRegistry::Instance().Get(SettingsKeys::kNewPage)) {
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

}  // namespace tarvo
