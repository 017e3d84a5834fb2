#pragma once
// A menu item that only shows something (a caption, a separator): no highlight, no
// notifications, the menu stays open.
#include "ui/menu_element_ui.h"

namespace DuiLib {

class CStaticMenuElementUI : public CMenuElementUI {
 public:
  QString GetClass() const override { return QStringLiteral("StaticMenuElementUI"); }
  void* GetInterface(const QString& name) override;
  bool IsClickableItem() const override { return false; }
  bool IsSelectable() const override { return false; }
  void DoEvent(TEventUI& event) override;
};

}  // namespace DuiLib
