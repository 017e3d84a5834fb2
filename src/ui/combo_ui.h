#pragma once
// A drop-down choice: shows the selected item's text; a click opens the drop list
// (CComboWnd) under it. Items are list rows added like children of a container;
// choosing one sends "itemselect" from the combo (wParam new index, lParam old).
#include "ui/container_ui.h"
#include "ui/list_owner.h"

namespace DuiLib {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;
  QString GetClass() const override { return QStringLiteral("ComboUI"); }
  void* GetInterface(const QString& name) override;
  bool IsClickable() const override { return true; }
  // Keys: Up, Down, Home and End choose; Alt+Down, F4, Space and Return open the list.
  // A combo with nothing to choose is no Tab stop.
  bool IsFocusable() const override { return GetCount() > 0; }
  bool IsAccessibleNode() const override;

  TListInfoUI* GetListInfo() override { return &info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  int GetItemIndexOf(CControlUI* item) const override { return GetItemIndex(item); }
  // The selected item's text (empty when none).
  QString GetText() const override;
  SIZE GetDropBoxSize() const { return dropBox_; }
  // Opens the drop list; false when there is nothing to show or no window.
  bool ShowDropList();
  bool IsDropListOpen() const { return dropWnd_ != nullptr; }
  // Called by the drop list when it closes.
  void OnDropListClosed() { dropWnd_ = nullptr; }

  bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
  std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
  void SetPos(const QRect& rc) override;
  CControlUI* FindControlAt(QPoint point) override;
  void SetInternVisible(bool visible = true) override;
  bool Activate() override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoPaint(QPainter& painter, const QRect& dirty) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;

 private:
  // The nearest item from `from` on in direction `step` that can be chosen, or -1.
  int SelectableFrom(int from, int step) const;
  TListInfoUI info_;
  int curSel_ = -1;
  SIZE dropBox_{0, 150};
  RECT textPadding_{8, 0, 24, 0};
  QString normalImage_;
  QString hotImage_;
  bool hot_ = false;
  CComboWnd* dropWnd_ = nullptr;  // owns itself while open; tells us when it closes
};

}  // namespace DuiLib
