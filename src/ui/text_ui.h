#pragma once
// A label whose text wraps over several lines, aligned to the top-left by default.
#include "ui/label_ui.h"

namespace DuiLib {

class CTextUI : public CLabelUI {
 public:
  CTextUI();
  QString GetClass() const override { return QStringLiteral("TextUI"); }
  void* GetInterface(const QString& name) override;
};

}  // namespace DuiLib
