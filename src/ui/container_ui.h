#pragma once
// A control that owns child controls. The plain container gives every child its whole
// inner rectangle (inset removed); box layouts and tab layouts arrange them otherwise.
// Floating children ("float") are placed by their "pos" offset in every container.
#include <memory>
#include <vector>

#include "ui/control_ui.h"
#include "ui/scroll_bar_ui.h"

namespace DuiLib {

class CContainerUI : public CControlUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  QString GetClass() const override;
  void* GetInterface(const QString& name) override;

  // Children. Adding takes ownership; a failed add frees nothing the caller still holds
  // (it returns null / false and the control is destroyed with the unique_ptr).
  template <class T>
  T* Add(std::unique_ptr<T> control) {
    T* raw = control.get();
    return AddAt(std::move(control), GetCount()) ? raw : nullptr;
  }
  // Inserts at `index` (clamped to 0..count).
  virtual bool AddAt(std::unique_ptr<CControlUI> control, int index);
  // Removes and frees the child (freed once the current event is handled, so a control
  // may remove itself from inside its own notification).
  virtual bool Remove(CControlUI* control);
  bool RemoveAt(int index);
  virtual void RemoveAll();
  // Removes the child and hands it back to the caller, for moving it elsewhere.
  virtual std::unique_ptr<CControlUI> Detach(CControlUI* control);
  int GetCount() const { return static_cast<int>(items_.size()); }
  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;
  // Moves a child to a new position among its siblings.
  bool SetItemIndex(CControlUI* control, int index);

  const RECT& GetInset() const { return inset_; }
  void SetInset(const RECT& inset);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);
  void SetMouseChildEnabled(bool enabled) { mouseChild_ = enabled; }

  // Scrolling (only for containers with "vscrollbar"/"hscrollbar" on).
  void EnableScrollBar(bool vertical, bool horizontal);
  QPoint GetScrollPos() const;
  QSize GetScrollRange() const;
  void SetScrollPos(QPoint pos);
  void LineUp();
  void LineDown();
  // Scrolls so that the child at `index` is fully visible.
  void EnsureVisible(int index);
  int GetLineSize() const { return lineSize_; }
  // The scroll bar, null when scrolling that way is off.
  CScrollBarUI* GetScrollBar(bool vertical) const { return vertical ? vscroll_.get() : hscroll_.get(); }
  // Its accessibility interface, made on the first request; null without the bar.
  QAccessibleInterface* GetScrollBarAccessible(bool vertical);

  // A container is no node of the accessibility tree unless its skin gives it a role
  // or a name; its children stand in its place.
  bool IsAccessibleNode() const override;

  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  CControlUI* FindControl(const std::function<bool(CControlUI*)>& visitor) override;
  CControlUI* FindControlAt(QPoint point) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enabled = true) override;
  void SetPos(const QRect& rc) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoPaint(QPainter& painter, const QRect& dirty) override;
  void DoEvent(TEventUI& event) override;

 protected:
  // Arrow keys in a menu, tab strip or toolbar (by "accrole") move the focus among the
  // container's focusable controls; true when the key was one of those.
  bool MoveFocusByArrow(const TEventUI& event);
  // The rectangle children are laid out in: the item rectangle less inset and the
  // space of a shown vertical scroll bar.
  QRect InnerRect() const;
  // Places a floating child by its "pos" offset relative to this control.
  void SetFloatPos(CControlUI* child);
  // Sets the scroll ranges for content of the given size; call from SetPos.
  void ProcessScrollBar(const QRect& inner, int contentWidth, int contentHeight);
  virtual void OnChildAdded(CControlUI*) {}

  std::vector<std::unique_ptr<CControlUI>> items_;
  RECT inset_;
  int childPadding_ = 0;
  bool mouseChild_ = true;
  std::unique_ptr<CScrollBarUI> vscroll_;
  std::unique_ptr<CScrollBarUI> hscroll_;
  int lineSize_ = 24;
};

}  // namespace DuiLib
