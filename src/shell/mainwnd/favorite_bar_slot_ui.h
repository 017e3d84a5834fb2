#pragma once
// The place of the favourites bar (skin tag "FavoriteBar"): an empty horizontal row that
// keeps the bar's height in the layout, so the window can show, hide and re-create it
// before the favourites themselves are drawn in it.
//
// Threads: GUI thread. Owned by the window's control tree.
#include "ui/box_layout_ui.h"

namespace tarvo {

class FavoriteBarSlotUI : public DuiLib::CHorizontalLayoutUI {
 public:
  static constexpr const char* kTag = "FavorBar";
  static constexpr const char* kName = "favor_bar";
  // The attributes a re-created slot gets (those of the skin's own slot).
  static constexpr const char* kAttributes =
      "name=\"favor_bar\" accrole=\"toolbar\" height=\"32\" inset=\"8,0,8,0\" bkcolor=\"#FFFFFFFF\"";

  QString GetClass() const override { return QStringLiteral("FavorBarUI"); }
  void* GetInterface(const QString& name) override;
};

}  // namespace tarvo
