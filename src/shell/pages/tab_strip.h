#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

#include "ui/container_ui.h"
#include "ui/ui_defs.h"

namespace tarvo {

class Tab;

// The row of tabs in the main window: inserts, removes and moves tab controls in a
// container of the window's skin, keeps its trailing "bubble" filler, and runs the
// drag of a tab (the drop is posted to the main window as WM_USER+2).
//
// Threads: the main window's thread only. Lifetime: the container (not owned) must
// outlive the strip; tabs inside it belong to the container.
class TabStrip {
 public:
  // `container`: the skin's container for tabs; `mainWindow`: receives the drop.
  TabStrip(DuiLib::CContainerUI* container, DuiLib::HWND mainWindow);
  TabStrip(const TabStrip&) = delete;
  TabStrip& operator=(const TabStrip&) = delete;

  // Inserts the tab at `index` among the tabs (clamped); a trailing "bubble" is
  // removed first. Returns the tab.
  Tab* InsertTab(std::unique_ptr<Tab> tab, int index);
  // Removes and frees the tab, then adds a new "bubble" at the end.
  void RemoveTab(Tab* tab);
  // Moves the tab control to `index` among the tabs.
  void MoveTab(Tab* tab, int index);
  // Asks whoever keeps the page order (see SetMover) to move tab `from` to `to`;
  // without a mover only the control moves.
  void RequestMove(int from, int to);
  // Installed by the page list, so pinning keeps pages and tabs in the same order.
  void SetMover(std::function<void(int from, int to)> mover) { mover_ = std::move(mover); }

  int Count() const;
  int IndexOf(const Tab* tab) const;
  Tab* TabAt(int index) const;
  int PinnedCount() const;
  DuiLib::CContainerUI* Container() const { return container_; }
  // A private window's strip: every tab inserted from now on takes the private look.
  void UsePrivateLook() { privateLook_ = true; }

  // Drag of a tab: BeginDrag on the press (false when it can't start), DragTo while
  // the mouse moves, EndDrag on release (posts WM_USER+2 to the main window).
  bool BeginDrag(Tab* tab, QPoint mouse);
  void DragTo(QPoint mouse);
  void EndDrag(QPoint mouse);
  bool IsDragging() const { return dragCopy_ != nullptr; }

  // Where a tab dragged from `start` lands, given the remembered tab rectangles and
  // the floating copy's edges: moving left, each tab further left whose centre is at
  // or right of the copy's left edge becomes the target until one lies further left;
  // moving right, the same with the copy's right edge.
  static int DropIndex(const std::vector<QRect>& rects, int start, int copyLeft, int copyRight);

  static const QString kBubbleName;

 private:
  bool IsTab(DuiLib::CControlUI* control) const;
  void RemoveTrailingBubble();
  // Position of the tab at `index` among all children (tabs come first).
  int ChildIndexOfTab(int index) const;

  DuiLib::CContainerUI* container_;  // not owned: the window's control tree owns it
  DuiLib::HWND mainWindow_;
  bool privateLook_ = false;
  std::function<void(int, int)> mover_;

  // Drag state.
  Tab* dragCopy_ = nullptr;  // owned by the container while shown
  QPoint dragStart_;
  QRect dragTabRect_;
  int dragIndex_ = -1;
  int copyLeft_ = 0;  // the copy's left edge in window coordinates
  std::vector<QRect> dragRects_;
};

}  // namespace tarvo
