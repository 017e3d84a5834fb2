#pragma once
// A vertical group inside a menu ("MenuContainer"), for items that belong together.
#include "ui/box_layout_ui.h"

namespace DuiLib {

class CMenuContainer : public CVerticalLayoutUI {
 public:
  QString GetClass() const override { return QStringLiteral("MenuContainerUI"); }
  void* GetInterface(const QString& name) override {
    if (name.compare(QLatin1String("MenuContainer"), Qt::CaseInsensitive) == 0) return this;
    return CVerticalLayoutUI::GetInterface(name);
  }
};

}  // namespace DuiLib
