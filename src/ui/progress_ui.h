#pragma once
// A bar showing value between min and max: the fore image (or colour) fills the part
// of the control that the value covers, left to right (bottom to top when vertical).
#include "ui/label_ui.h"

namespace DuiLib {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  QString GetClass() const override { return QStringLiteral("ProgressUI"); }
  void* GetInterface(const QString& name) override;

  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  int GetValue() const { return value_; }
  void SetMinValue(int v);
  void SetMaxValue(int v);
  // Clamped to [min, max].
  void SetValue(int v);
  bool IsHorizontal() const { return horizontal_; }

  void SetAttribute(const QString& name, const QString& value) override;
  void PaintStatusImage(QPainter& painter) override;

 protected:
  QAccessibleInterface* CreateAccessible() override;
  // The part of the control covered by the current value.
  QRect FilledRect() const;

  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  QString foreImage_;
  QColor foreColor_;
};

}  // namespace DuiLib
