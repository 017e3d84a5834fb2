#pragma once
// The accessibility interface of a windowless control, and the base of every control
// kind's interface: its place in the tree, name, description (the tooltip when it says
// more than the name), role, state, rectangle on the screen, and actions. Actions run
// from the event loop, never inside the assistive technology's call, so a click that
// opens a modal dialog does not leave the caller waiting.
//
// GUI thread. Lifetime: registered with Qt's accessibility cache when made and freed
// with its control.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <functional>

namespace DuiLib {

class CControlUI;

class CAccessibleControl : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit CAccessibleControl(CControlUI* control) : control_(control) {}

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text t, const QString& text) override;
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 protected:
  CControlUI* Control() const { return control_; }
  // The role when the skin gives none.
  virtual QAccessible::Role DefaultRole() const;
  // What a value-bearing kind shows (a combo's choice); empty for others.
  virtual QString Value() const { return QString(); }
  // Runs `action` on the control from the event loop, if the control still exists then.
  void Later(std::function<void(CControlUI*)> action) const;

 private:
  CControlUI* control_;  // not owned: the control frees this interface
};

}  // namespace DuiLib
