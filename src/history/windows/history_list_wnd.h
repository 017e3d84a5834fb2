#pragma once
// The history page ("historylist.xml"): the visits of the history table newest
// first, grouped by day, narrowed by a search over addresses and titles; a click on
// a visit opens it in a new tab, and a visit or a whole day can be deleted. The
// history table holds what normal windows visited only (a private window writes no
// rows), so the page never shows a private window's visits.
//
// GUI thread only. Modeless: OpenNew makes one that deletes itself when it closes
// (or when its owner goes).
#include <functional>

#include "platform/text.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
class CListUI;
}

namespace tarvo {

class UserDatabase;

class HistoryListWnd : public DuiLib::WindowImplBase {
 public:
  // Visits listed at first and added by each "more".
  static constexpr int kPageSize = 300;
  using OpenUrl = std::function<void(const WString& url)>;

  // Shows a new page over `owner`, centred on it; nullptr when it could not be made.
  static HistoryListWnd* OpenNew(DuiLib::HWND owner, UserDatabase& database, OpenUrl open);

  void Notify(DuiLib::TNotifyUI& msg) override;
  // Lists the visits again from the table.
  void Reload();

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXHistoryListWnd"); }
  QString GetSkinFile() override { return QStringLiteral("historylist.xml"); }
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  HistoryListWnd(UserDatabase& database, OpenUrl open) : database_(database), open_(std::move(open)) {}
  void Fill();
  void OnClick(DuiLib::CControlUI& sender);
  QString SearchText();

  UserDatabase& database_;
  OpenUrl open_;
  int limit_ = kPageSize;
  DuiLib::CListUI* list_ = nullptr;  // not owned: a control of this window while it exists
};

}  // namespace tarvo
