#pragma once
// The root of a menu skin ("Menu"): a list of menu items. Marked major="true" it is the
// menu's main panel, whose fixed width and height size the menu window.
#include "ui/list_ui.h"

namespace DuiLib {

class CMenuUI : public CListUI {
 public:
  CMenuUI();
  QString GetClass() const override { return QStringLiteral("MenuUI"); }
  void* GetInterface(const QString& name) override;
  bool IsMajor() const { return major_; }
  void SetAttribute(const QString& name, const QString& value) override;

 private:
  bool major_ = false;
};

}  // namespace DuiLib
