#include "ui/tree_view_ui.h"

#include <algorithm>

#include "ui/tree_node_ui.h"

namespace DuiLib {
namespace {

CTreeNodeUI* AsNode(CControlUI* control) {
  return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(QStringLiteral("TreeNode"))) : nullptr;
}

}  // namespace

void* CTreeViewUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("TreeView"), Qt::CaseInsensitive) == 0) return this;
  return CListUI::GetInterface(name);
}

bool CTreeViewUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  CTreeNodeUI* node = AsNode(control.get());
  if (!CListUI::AddAt(std::move(control), index)) {
    return false;
  }
  if (node != nullptr) {
    node->AttachToTree(this);
    node->ApplyBranchVisibility();
  }
  return true;
}

std::unique_ptr<CControlUI> CTreeViewUI::Detach(CControlUI* control) {
  CTreeNodeUI* node = AsNode(control);
  if (node != nullptr) {
    // A detached node leaves its parent; its children go with the tree (removed).
    if (CTreeNodeUI* parent = node->parentNode_) {
      auto& siblings = parent->children_;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
      node->parentNode_ = nullptr;
    }
    const std::vector<CTreeNodeUI*> children = node->children_;
    for (CTreeNodeUI* child : children) {
      Remove(child);
    }
    node->children_.clear();
    node->tree_ = nullptr;
  }
  return CListUI::Detach(control);
}

void CTreeViewUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("indent"), Qt::CaseInsensitive) == 0) {
    indent_ = qMax(0, CAttributeParser::ParseInt(value).value_or(indent_));
    return;
  }
  CListUI::SetAttribute(name, value);
}

}  // namespace DuiLib
