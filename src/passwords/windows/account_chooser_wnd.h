#pragma once
// The small list of a site's saved accounts that opens under the page's user-name
// field: a click on a user name picks it (the browser then fills its form). Closes
// when it loses the focus or on Escape.
//
// Threads: the GUI thread. Created with new through Open; deletes itself when it
// closes.
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

#include "shell/windows/popup_wnd.h"

namespace tarvo {

class AccountChooserWnd : public PopupWnd {
 public:
  static constexpr int kRowHeight = 34;
  static constexpr int kMostRowsShown = 6;
  static constexpr int kMinWidth = 240;

  // Opens under `field` (a rectangle of the screen) with one row per user name;
  // `picked` hears the index of the one clicked, `closed` that the list has gone
  // (after `picked`, or without a pick). False when it could not be opened.
  static bool Open(DuiLib::HWND owner, const QRect& field, std::vector<QString> usernames,
                   std::function<void(size_t index)> picked, std::function<void()> closed);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXAccountChooserWnd"); }
  QString GetSkinFile() override { return QStringLiteral("accountchooser.xml"); }
  void InitWindow() override;
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  AccountChooserWnd(int width, std::vector<QString> usernames, std::function<void(size_t)> picked,
                    std::function<void()> closed);

  int width_;
  std::vector<QString> usernames_;
  std::function<void(size_t)> picked_;
  std::function<void()> closed_;
};

}  // namespace tarvo
