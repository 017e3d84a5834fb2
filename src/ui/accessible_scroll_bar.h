#pragma once
// The interface of a container's scroll bar: its position between 0 and the length of
// content beyond the view, which can be set.
//
// GUI thread. Lifetime: registered with Qt's accessibility cache when made and freed
// with the scroll bar.
#include <QAccessible>

namespace DuiLib {

class CContainerUI;
class CScrollBarUI;

class CAccessibleScrollBar : public QAccessibleInterface, public QAccessibleValueInterface {
 public:
  CAccessibleScrollBar(CContainerUI* container, bool vertical) : container_(container), vertical_(vertical) {}

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ScrollBar; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override { return 0; }
  QVariant minimumStepSize() const override;

 private:
  CScrollBarUI* Bar() const;

  CContainerUI* container_;  // not owned: owns the scroll bar, which frees this
  bool vertical_;
};

}  // namespace DuiLib
