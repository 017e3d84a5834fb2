#pragma once
// Find in page ("find.xml"): the text to find and buttons to search forward and
// backward in the current page. The window knows no page: the opener hands it the
// search as a function. The edit starts with the last searched text, which the
// opener keeps (GetFindText after the window closed).
//
// GUI thread only. Modal; the object lives on the opener's stack.
#include <functional>

#include "ui/window_impl_base.h"

namespace DuiLib {
class CEditUI;
}

namespace tarvo {

class FindWnd : public DuiLib::WindowImplBase {
 public:
  // Searches the current page for `text`, forward or backward.
  using SearchFunction = std::function<void(const QString& text, bool forward)>;

  FindWnd(SearchFunction search, QString lastText) : search_(std::move(search)), text_(std::move(lastText)) {}

  // Runs the window modally over `owner` at `screenTopLeft`; returns the close code.
  int Run(DuiLib::HWND owner, QPoint screenTopLeft);
  // Where the window goes: its right edge 5 pixels left of the download button's
  // right edge, its top at that button's bottom, 32 pixels lower while the
  // favourites bar is shown.
  static QPoint TopLeftFor(const QRect& downloadButtonOnScreen, int windowWidth, bool favoriteBarShown);

  // The text in the edit (while open) or when the window closed.
  QString GetFindText() const;

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXFindWnd"); }
  QString GetSkinFile() override { return QStringLiteral("find.xml"); }
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  void SearchNow(bool forward);

  SearchFunction search_;
  QString text_;
  DuiLib::CEditUI* edit_ = nullptr;  // not owned: a control of this window while it exists
};

}  // namespace tarvo
