#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "shell/windows/popup_wnd.h"

namespace tarvo {

// The drop-down of the protection panel's country and area choices
// ("KXVNodeListWnd", "vnodelist.xml"): the given rows (NodeListRows) in "node_list";
// a click on a row hands the row's id to `chosen` and closes. Losing the focus,
// Escape and "cancel_btn" close without a choice.
//
// GUI thread. Created with new; owns itself from Popup on (PopupWnd). It closes
// with its owner, so `chosen` may refer to the owner.
class CVNodeListWnd : public PopupWnd {
 public:
  static constexpr int kMaxVisibleRows = 6;

  CVNodeListWnd(std::vector<std::unique_ptr<DuiLib::CControlUI>> rows, std::function<void(const QString& id)> chosen)
      : rows_(std::move(rows)), chosen_(std::move(chosen)) {}

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXVNodeListWnd"); }
  QString GetSkinFile() override { return QStringLiteral("vnodelist.xml"); }

 private:
  void Fill();

  std::vector<std::unique_ptr<DuiLib::CControlUI>> rows_;  // handed to the list at "windowinit"
  std::function<void(const QString&)> chosen_;
};

}  // namespace tarvo
