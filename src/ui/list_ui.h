#pragma once
// A vertical, scrolling list of rows. Any control may be a row; rows that are list
// elements (CListContainerElementUI and its kin) can be selected, and selecting one
// sends "itemselect" from the list with wParam = new index, lParam = old index.
#include "ui/box_layout_ui.h"
#include "ui/list_owner.h"

namespace DuiLib {

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
 public:
  CListUI();
  QString GetClass() const override { return QStringLiteral("ListUI"); }
  void* GetInterface(const QString& name) override;

  TListInfoUI* GetListInfo() override { return &info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  int GetItemIndexOf(CControlUI* item) const override { return GetItemIndex(item); }
  // Scrolls by whole pixels (positive: down/right).
  void Scroll(int dx, int dy) { SetScrollPos(GetScrollPos() + QPoint(dx, dy)); }

  // One Tab stop: the keyboard goes to the chosen row (or the list, until one is
  // chosen); the arrow keys, Home and End choose rows.
  bool IsFocusable() const override { return true; }
  void SetFocus() override;
  bool IsAccessibleNode() const override;

  bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
  std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
  void RemoveAll() override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;
  // The nearest row from `from` on in direction `step` that can be chosen, or -1.
  int SelectableFrom(int from, int step) const;
  TListInfoUI info_;
  int curSel_ = -1;
};

}  // namespace DuiLib
