#pragma once
// A row of a list, tree, combo or menu: a horizontal layout that can be selected. A
// press selects it (the list then sends "itemselect"); the row itself sends
// "itemclick" on release, "itemdbclick" on a double click and "itemrightclick" on a
// right click.
#include "ui/box_layout_ui.h"
#include "ui/list_owner.h"

namespace DuiLib {

class CListContainerElementUI : public CHorizontalLayoutUI {
 public:
  QString GetClass() const override { return QStringLiteral("ListContainerElementUI"); }
  void* GetInterface(const QString& name) override;

  // The list-row view of a control, or null when it is not a row.
  static CListContainerElementUI* FromControl(CControlUI* control) {
    return control != nullptr
               ? static_cast<CListContainerElementUI*>(control->GetInterface(QStringLiteral("ListItem")))
               : nullptr;
  }

  IListOwnerUI* GetOwner() const { return owner_; }
  void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
  // Position in the owner, or -1 when not in one.
  int GetIndex() const;
  bool IsSelected() const { return selected_; }
  // Changes the look only; selection as a whole is the owner's (SelectItem).
  virtual void SetSelectedState(bool selected);
  bool IsHot() const { return hot_; }
  bool IsClickable() const override { return true; }
  // Whether the row can be chosen (a caption or separator of a menu can't).
  virtual bool IsSelectable() const { return true; }
  bool IsAccessibleNode() const override;
  // Chooses the row and clicks it, as a click or the Return key does.
  bool Activate() override;

  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;
  // The row was clicked (released over it): the default sends "itemclick".
  virtual void OnItemClick(const TEventUI& event);
  virtual void OnItemRightClick(const TEventUI& event);
  bool SelectInOwner();

  IListOwnerUI* owner_ = nullptr;  // not owned: the list holding this row
  bool selected_ = false;
  bool hot_ = false;
  bool pressed_ = false;
  bool rpressed_ = false;
};

}  // namespace DuiLib
