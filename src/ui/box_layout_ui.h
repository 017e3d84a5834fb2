#pragma once
// A container that lines its children up along one axis: children with a fixed size
// along the axis keep it, the rest share what is left equally, each within its min and
// max; padding separates each child from its neighbours, childpadding sits between
// children, inset inside the border. The other axis is filled unless a size is fixed.
#include "ui/container_ui.h"

namespace DuiLib {

class CBoxLayoutUI : public CContainerUI {
 public:
  enum class Axis { kVertical, kHorizontal };
  explicit CBoxLayoutUI(Axis axis) : axis_(axis) {}

  Axis GetAxis() const { return axis_; }
  void SetPos(const QRect& rc) override;

 private:
  Axis axis_;
};

class CVerticalLayoutUI : public CBoxLayoutUI {
 public:
  CVerticalLayoutUI() : CBoxLayoutUI(Axis::kVertical) {}
  QString GetClass() const override { return QStringLiteral("VerticalLayoutUI"); }
  void* GetInterface(const QString& name) override;
};

class CHorizontalLayoutUI : public CBoxLayoutUI {
 public:
  CHorizontalLayoutUI() : CBoxLayoutUI(Axis::kHorizontal) {}
  QString GetClass() const override { return QStringLiteral("HorizontalLayoutUI"); }
  void* GetInterface(const QString& name) override;
};

}  // namespace DuiLib
