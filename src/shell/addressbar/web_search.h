#pragma once
// Searching with the chosen engine: remembering the chooser's answer, building the
// search address, and the start page's address that carries the engine along.
//
// GUI thread in the browser, though nothing here touches a window: the records are
// guarded by the database's own mutex. Holds a non-owning reference to the records.
#include <QString>
#include <array>
#include <functional>

#include "platform/text.h"
#include "store/search_records.h"

namespace tarvo {

class WebSearch {
 public:
  // The engines of the chooser, in the order of its results.
  static constexpr std::array<WStringView, 4> kEngineNames = {u"baidu", u"so", u"sogou", u"google"};

  explicit WebSearch(const SearchRecords& records) : records_(records) {}

  // Stores the engine of a chooser result (0 to 3) and gives its small icon in
  // `icon`. Any other result, or a failed store, changes nothing and returns -1.
  int ApplyChooserResult(int result, WString& icon) const;

  // Records `text` in the search history (unless `remember` is false: a private
  // window's search) and hands the engine's address for it to `openInNewTab`.
  // Returns 0, or -1 (nothing recorded, nothing opened) when the text is blank or no
  // engine is chosen. The text is percent-encoded as UTF-8 inside the address, so
  // "&", "#", "+" and blanks stay part of what is searched.
  int Search(const QString& text, const std::function<void(const WString&)>& openInNewTab,
             bool remember = true) const;

  // The address the search box of the start page uses: `startPage` (the local start
  // page URL) with the chosen engine's prefix and suffix as the query parameters
  // "sp" and "ss". Without a chosen engine, `startPage` unchanged.
  WString StartPageWithEngine(WStringView startPage) const;

 private:
  const SearchRecords& records_;
};

}  // namespace tarvo
