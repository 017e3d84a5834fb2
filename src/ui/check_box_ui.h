#pragma once
// An option without a group: a click toggles it. Without skin images it draws a flat
// box with a tick left of its text, so a bare check box still reads as one.
#include "ui/option_ui.h"

namespace DuiLib {

class CCheckBoxUI : public COptionUI {
 public:
  CCheckBoxUI();
  QString GetClass() const override { return QStringLiteral("CheckBoxUI"); }
  void* GetInterface(const QString& name) override;

  bool GetCheck() const { return IsSelected(); }
  void SetCheck(bool check, bool notify = true) { Selected(check, notify); }

  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;

 private:
  bool HasImages() const { return !normalImage_.isEmpty() || !selectedImage_.isEmpty(); }
  static constexpr int kBox = 14;
};

}  // namespace DuiLib
