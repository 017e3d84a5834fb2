#pragma once

#include "ui/option_ui.h"

namespace tarvo {

class Tab;

// The tab's background and click target. While its tab sits in a strip, a press and
// move drags the tab: the strip shows a floating copy that follows the mouse and, on
// release, asks the main window to move the tab.
// Threads: the main window's thread only. Owned by its Tab.
class TabOption : public DuiLib::COptionUI {
 public:
  QString GetClass() const override { return QStringLiteral("TabOptionUI"); }
  void DoEvent(DuiLib::TEventUI& event) override;

  // True while the tab is in a strip that can move it.
  bool IsDraggable() const;

 private:
  Tab* OwnerTab() const;
  bool dragging_ = false;
};

}  // namespace tarvo
