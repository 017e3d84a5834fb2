#pragma once
// A control that hosts any Qt widget (a page view, a native child window): the widget
// fills the control's rectangle (less inset) and follows its visibility. Tag
// "NativeHost"; owners subclass it or call SetWidget after the window is built.
#include <memory>

#include "ui/control_ui.h"

class QWidget;

namespace DuiLib {

class CNativeWidgetSlot;

class CNativeHostUI : public CControlUI {
 public:
  CNativeHostUI();
  ~CNativeHostUI() override;
  QString GetClass() const override { return QStringLiteral("NativeHostUI"); }
  void* GetInterface(const QString& name) override;

  // Hosts `widget`; with `owned` the control deletes it, otherwise the caller keeps it
  // (a widget deleted elsewhere is simply forgotten).
  void SetWidget(QWidget* widget, bool owned = true);
  QWidget* GetWidget() const;

  QWidget* GetNativeWidget() const override { return GetWidget(); }
  // The hosted widget is the node (its own interface, a page's with its content).
  bool IsAccessibleNode() const override;
  // A Tab stop when the hosted widget (or one inside it) takes the keyboard.
  bool IsFocusable() const override { return FocusTarget() != nullptr; }
  void DoEvent(TEventUI& event) override;
  void SetPos(const QRect& rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;

 protected:
  void DoInit() override;
  // The shown widget, the hosted one or inside it, that takes the keyboard by Tab.
  QWidget* FocusTarget() const;

 private:
  std::unique_ptr<CNativeWidgetSlot> slot_;
};

}  // namespace DuiLib
