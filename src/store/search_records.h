#pragma once

#include "platform/text.h"
#include "store/user_database.h"

namespace tarvo {

// The search engines (table searchengine, the choice in info "search_engine") and
// the typed search texts (table searchtext).
//
// Threads: any thread; the database's connection mutex guards every operation.
// Holds a non-owning reference; the database outlives it.
class SearchRecords {
 public:
  explicit SearchRecords(UserDatabase& database) : database_(database) {}

  // The chosen engine's name ("baidu", "so", "sogou", "google"); "" when none.
  WString GetSearchEngine() const;
  // The chosen engine's 22-pixel icon name in the skin package; "" when none.
  WString GetSearchEngineIcon() const;
  // Makes `name` the chosen engine. -1 on failure.
  int SetSearchEngine(WStringView name) const;
  // prefix + query + suffix of the chosen engine; "" when none. The query is used
  // as given (the caller prepares it).
  WString BuildSearchUrl(WStringView query) const;

  // Records a typed text with the current time. A text already present reports -1
  // and keeps its first timestamps.
  int AddSearchText(WStringView text) const;
  // Forgets every search text. -1 on failure.
  int ClearSearchTexts() const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo
