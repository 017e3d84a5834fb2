#pragma once

#include "ui/control_ui.h"
#include "ui/option_ui.h"

namespace tarvo {

// The parts of a tab. Each is an option of its own group, so selecting one tab's part
// deselects the same part of every other tab, and each understands the "selected"
// attribute the selection look sets.
// Threads: the main window's thread only. Owned by their Tab.

// The tab's background and click target; drags the tab along the strip.
class TabOption;

// The page's icon.
class TabIcon : public DuiLib::COptionUI {
 public:
  QString GetClass() const override { return QStringLiteral("TabIconUI"); }
};

// The page's title.
class TabLabel : public DuiLib::COptionUI {
 public:
  QString GetClass() const override { return QStringLiteral("TabLabelUI"); }
};

// The mark of a page the VPN does not carry (a compatibility page while the VPN is
// on): a crossed shield left of the close button, saying so in its tooltip.
class TabVpnMark : public DuiLib::CControlUI {
 public:
  QString GetClass() const override { return QStringLiteral("TabVpnMarkUI"); }
};

// The close button (hidden while the tab is pinned).
class TabCloseBtn : public DuiLib::COptionUI {
 public:
  QString GetClass() const override { return QStringLiteral("TabCloseBtnUI"); }
};

}  // namespace tarvo
