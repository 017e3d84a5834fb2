#pragma once
// A node of a tree view: a row with an indent, a folder button (its look set through
// "folderattr"; a click on it expands or collapses the node) and a text (styled through
// "itemattr"). Child nodes are rows of the same tree placed after their parent.
#include <memory>
#include <vector>

#include "ui/list_container_element_ui.h"

namespace DuiLib {

class CButtonUI;
class CLabelUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
 public:
  CTreeNodeUI();
  ~CTreeNodeUI() override;
  QString GetClass() const override { return QStringLiteral("TreeNodeUI"); }
  void* GetInterface(const QString& name) override;

  QString GetText() const override;
  void SetText(const QString& text) override;
  CButtonUI* GetFolderButton() const { return folder_; }
  CLabelUI* GetItemLabel() const { return label_; }

  // Adds a child node (owned by the tree once this node is in one, by this node until
  // then); returns it.
  CTreeNodeUI* AddChildNode(std::unique_ptr<CTreeNodeUI> child);
  // Removes and frees a child node with its whole branch.
  bool RemoveChildNode(CTreeNodeUI* child);
  int GetChildCount() const { return static_cast<int>(children_.size()); }
  CTreeNodeUI* GetChildNode(int index) const;
  CTreeNodeUI* GetParentNode() const { return parentNode_; }
  int GetLevel() const { return level_; }
  CTreeViewUI* GetTreeView() const { return tree_; }
  // The last node of this node's branch (itself when it has no children).
  CTreeNodeUI* LastDescendant();

  bool IsExpanded() const { return expanded_; }
  void SetExpanded(bool expanded);
  // Shown in the tree: visible and every ancestor expanded.
  bool IsShownInTree() const;

  void SetAttribute(const QString& name, const QString& value) override;
  // Right expands, Left collapses (or goes to the parent node).
  void DoEvent(TEventUI& event) override;

 private:
  friend class CTreeViewUI;
  void AttachToTree(CTreeViewUI* tree);
  void SetLevel(int level);
  void ApplyBranchVisibility();

  CButtonUI* folder_ = nullptr;    // owned as a child of this row
  CLabelUI* label_ = nullptr;      // owned as a child of this row
  CControlUI* indent_ = nullptr;   // owned as a child of this row
  CTreeNodeUI* parentNode_ = nullptr;        // not owned
  CTreeViewUI* tree_ = nullptr;              // not owned
  std::vector<CTreeNodeUI*> children_;       // owned by the tree (or by pending_)
  std::vector<std::unique_ptr<CTreeNodeUI>> pending_;  // children waiting for a tree
  int level_ = 0;
  bool expanded_ = true;
};

}  // namespace DuiLib
