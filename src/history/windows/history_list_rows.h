#pragma once
// The rows of the history page: a heading for each day (with its "delete the day"
// button) and one row per visit (time, title, address, delete button). Clicking a
// visit's title opens it. Titles and addresses are set as texts, never spliced into
// attribute lists.
//
// GUI thread only. The rows belong to the list they are added to.
#include <QDate>
#include <memory>

#include "store/history_visit.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

class HistoryListRows {
 public:
  // A day's heading; its button ("historylist_delete_day") carries the day as
  // user data (yyyy-MM-dd).
  static std::unique_ptr<DuiLib::CControlUI> DayHeading(const QDate& day, const QDate& today);
  // A visit: "historylist_open" carries the address as user data, both buttons the
  // visit's id as tag.
  static std::unique_ptr<DuiLib::CControlUI> Visit(const HistoryVisit& visit);
  // The single row of an empty result.
  static std::unique_ptr<DuiLib::CControlUI> Nothing();
  // The local day of a visit.
  static QDate DayOf(const HistoryVisit& visit);
};

}  // namespace tarvo
