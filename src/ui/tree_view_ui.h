#pragma once
// A list whose rows are tree nodes: top-level nodes are added like list items, child
// nodes are placed under their parent. Removing a node removes its branch.
#include "ui/list_ui.h"

namespace DuiLib {

class CTreeNodeUI;

class CTreeViewUI : public CListUI {
 public:
  QString GetClass() const override { return QStringLiteral("TreeViewUI"); }
  void* GetInterface(const QString& name) override;

  bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
  std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
  // Indentation per level in pixels ("indent").
  int GetIndent() const { return indent_; }
  void SetAttribute(const QString& name, const QString& value) override;

 private:
  int indent_ = 16;
};

}  // namespace DuiLib
