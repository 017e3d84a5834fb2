#pragma once
// A toolbar button that also reports the right mouse button (skin tag
// "RightClickButton"): "click" for the left button, "rightclick" for the right one.
//
// Threads: GUI thread. Owned by the window's control tree.
#include "ui/button_ui.h"

namespace tarvo {

class RightClickButtonUI : public DuiLib::CButtonUI {
 public:
  static constexpr const char* kTag = "RightClickButton";

  QString GetClass() const override { return QStringLiteral("RightClickButtonUI"); }
  void* GetInterface(const QString& name) override;
  // Hands the right button's release to the control's own "rightclick" report,
  // which a plain button would keep to itself.
  void DoEvent(DuiLib::TEventUI& event) override;
};

}  // namespace tarvo
