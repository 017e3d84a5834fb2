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

  bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
  std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
  void RemoveAll() override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;

 protected:
  TListInfoUI info_;
  int curSel_ = -1;
};

}  // namespace DuiLib
