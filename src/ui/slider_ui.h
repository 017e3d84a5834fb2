#pragma once
// A progress bar with a thumb the user drags; a change sends "valuechanged".
#include "ui/progress_ui.h"

namespace DuiLib {

class CSliderUI : public CProgressUI {
 public:
  QString GetClass() const override { return QStringLiteral("SliderUI"); }
  void* GetInterface(const QString& name) override;
  bool IsClickable() const override { return true; }
  bool IsFocusable() const override { return true; }

  QRect GetThumbRect() const;
  int GetStep() const { return step_; }
  // Sets the value as the user does (clamped), with "valuechanged" when it changed.
  void ChangeValue(int value);
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;

 private:
  void MoveTo(QPoint pt);
  SIZE thumb_{12, 12};
  QString thumbImage_;
  QString thumbHotImage_;
  bool dragging_ = false;
  bool hot_ = false;
  int step_ = 1;
};

}  // namespace DuiLib
