#pragma once
// The drop list of a combo: a pop-up under the combo listing its items' texts. A click
// selects the item in the combo and closes; losing the focus or Escape closes.
// Deletes itself when closed.
#include "ui/window_impl_base.h"

namespace DuiLib {

class CComboUI;
class CListUI;

class CComboWnd : public WindowImplBase {
 public:
  explicit CComboWnd(CComboUI* combo) : combo_(combo) {}

  // Opens under the combo inside `owner`'s window; false when it could not.
  bool Open(CWindowWnd* owner);
  // The combo is going away: forget it and close.
  void DetachCombo();

  void Notify(TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("ComboWnd"); }
  QString GetSkinFile() override { return QString(); }
  void InitWindow() override;
  LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  CComboUI* combo_;           // not owned; null once the combo is gone
  CListUI* list_ = nullptr;   // owned by this window's manager
};

}  // namespace DuiLib
