#pragma once
// Shows one child at a time, in the whole inner rectangle ("selectedid" picks it).
#include "ui/container_ui.h"

namespace DuiLib {

class CTabLayoutUI : public CContainerUI {
 public:
  QString GetClass() const override { return QStringLiteral("TabLayoutUI"); }
  void* GetInterface(const QString& name) override;

  int GetCurSel() const { return curSel_; }
  // Shows the page at `index`; false when there is no such page.
  bool SelectItem(int index);
  bool SelectItem(CControlUI* page) { return SelectItem(GetItemIndex(page)); }

  bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
  std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
  void SetInternVisible(bool visible = true) override;
  void SetVisible(bool visible = true) override;
  void SetAttribute(const QString& name, const QString& value) override;

 private:
  void ApplyPageVisibility();
  int curSel_ = -1;
};

}  // namespace DuiLib
