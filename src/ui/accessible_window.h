#pragma once
// The interface of a skinned window: its children are the nodes of its control tree
// (the windowless controls' interfaces and the Qt widgets that stand for fields and
// hosted views), its name is its heading (else its title), and a top-level window with
// an owner is a dialog.
//
// GUI thread. Lifetime: Qt's accessibility cache frees it with the window's widget.
#include <QAccessibleWidget>
#include <vector>

namespace DuiLib {

class CPaintManagerUI;
class CWindowHost;

class CAccessibleWindow : public QAccessibleWidget {
 public:
  explicit CAccessibleWindow(CWindowHost* host);

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  QString text(QAccessible::Text t) const override;
  QAccessible::Role role() const override;

 private:
  // The paint manager of the window while the widget still belongs to one.
  CPaintManagerUI* Manager() const;
  std::vector<QAccessibleInterface*> Children() const;
};

}  // namespace DuiLib
