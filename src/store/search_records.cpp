#include "store/search_records.h"

#include "platform/clock.h"

namespace tarvo {

WString SearchRecords::GetSearchEngine() const {
  QueryTable table;
  database_.Query("select value from info where key='search_engine';", {}, &table);
  return Utf8ToWide(table.Text(0, 0));
}

WString SearchRecords::GetSearchEngineIcon() const {
  QueryTable table;
  database_.Query("select miniico from searchengine where name=(select value from info where key='search_engine');",
                  {}, &table);
  return Utf8ToWide(table.Text(0, 0));
}

int SearchRecords::SetSearchEngine(WStringView name) const {
  return database_.Execute("UPDATE info SET  value=? WHERE key='search_engine';", {name});
}

WString SearchRecords::BuildSearchUrl(WStringView query) const {
  QueryTable table;
  if (database_.Query("select prefix,suffix from searchengine "
                      "where name=(select value from info where key='search_engine');",
                      {}, &table) <= 0) {
    return {};
  }
  return Utf8ToWide(table.Text(0, 0)) + WString(query) + Utf8ToWide(table.Text(0, 1));
}

int SearchRecords::AddSearchText(WStringView text) const {
  const int64_t now = NowSeconds();
  return database_.Execute("insert into searchtext (searchtext,created_at,updated_at)values(?,?,?);",
                           {text, now, now});
}

int SearchRecords::ClearSearchTexts() const { return database_.Execute("delete from searchtext where 1"); }

}  // namespace tarvo
