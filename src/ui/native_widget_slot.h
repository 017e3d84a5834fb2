#pragma once
// Keeps a real Qt widget in step with a control: child of the window's host widget,
// placed on a rectangle, shown only while the control is visible, and its focus and
// keys reported to the window's paint manager (so accelerators and message filters
// see keys typed into it, and "setfocus"/"killfocus" come from the control).
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace DuiLib {

class CControlUI;

class CNativeWidgetSlot : public QObject {
  Q_OBJECT
 public:
  // `control` owns this slot and outlives it.
  explicit CNativeWidgetSlot(CControlUI* control);
  ~CNativeWidgetSlot() override;

  // Takes the widget (owned from now on unless `owned` is false, in which case its
  // owner must outlive the control or delete it, which this slot notices).
  void SetWidget(QWidget* widget, bool owned = true);
  QWidget* GetWidget() const { return widget_; }
  // Reparents the widget into the control's window once the control has one.
  void Attach();
  void SetGeometry(const QRect& rc);
  void SetShown(bool shown);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CControlUI* control_;  // not owned: the control this slot belongs to
  QPointer<QWidget> widget_;
  bool owned_ = true;
  bool shown_ = true;
  QRect rect_;
};

}  // namespace DuiLib
