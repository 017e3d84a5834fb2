#include "ui/tree_node_ui.h"

#include <algorithm>

#include "ui/accessible_events.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/tree_view_ui.h"
#include "ui/ui_messages.h"

namespace DuiLib {
namespace {

// The folder button toggles its node instead of notifying the window.
class FolderButton : public CButtonUI {
 public:
  explicit FolderButton(CTreeNodeUI* node) : node_(node) {}
  // The row takes the keyboard; its arrow keys expand and collapse.
  bool IsFocusable() const override { return false; }
  bool Activate() override {
    if (!IsVisible() || !IsEnabled()) return false;
    node_->SetExpanded(!node_->IsExpanded());
    return true;
  }

 private:
  CTreeNodeUI* node_;  // not owned: the row holding this button
};

}  // namespace

CTreeNodeUI::CTreeNodeUI() {
  // The row speaks for its parts (its name is the label's text, it expands itself).
  const QString none = QStringLiteral("none");
  auto indent = std::make_unique<CControlUI>();
  indent->SetAttribute(QStringLiteral("accrole"), none);
  indent->SetMouseEnabled(false);
  indent->SetVisible(false);
  indent_ = Add(std::move(indent));
  auto folder = std::make_unique<FolderButton>(this);
  folder->SetFixedWidth(26);
  folder->SetAttribute(QStringLiteral("accrole"), none);
  folder_ = Add(std::move(folder));
  auto label = std::make_unique<CLabelUI>();
  label->SetMouseEnabled(false);
  label->SetAttribute(QStringLiteral("accrole"), none);
  label->SetAttribute(QStringLiteral("textpadding"), QStringLiteral("4,0,4,0"));
  label_ = Add(std::move(label));
}

CTreeNodeUI::~CTreeNodeUI() = default;

void* CTreeNodeUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("TreeNode"), Qt::CaseInsensitive) == 0) return this;
  return CListContainerElementUI::GetInterface(name);
}

QString CTreeNodeUI::GetText() const { return label_->GetText(); }

void CTreeNodeUI::SetText(const QString& text) { label_->SetText(text); }

CTreeNodeUI* CTreeNodeUI::GetChildNode(int index) const {
  return index >= 0 && index < GetChildCount() ? children_[static_cast<size_t>(index)] : nullptr;
}

CTreeNodeUI* CTreeNodeUI::LastDescendant() {
  CTreeNodeUI* node = this;
  while (!node->children_.empty()) node = node->children_.back();
  return node;
}

void CTreeNodeUI::SetLevel(int level) {
  level_ = level;
  // A zero width would make the indent share the row, so top-level nodes hide it.
  indent_->SetFixedWidth(level * (tree_ != nullptr ? tree_->GetIndent() : 16));
  indent_->SetVisible(level > 0);
  for (CTreeNodeUI* child : children_) child->SetLevel(level + 1);
}

CTreeNodeUI* CTreeNodeUI::AddChildNode(std::unique_ptr<CTreeNodeUI> child) {
  if (!child) {
    return nullptr;
  }
  CTreeNodeUI* raw = child.get();
  raw->parentNode_ = this;
  if (tree_ != nullptr) {
    const int at = tree_->GetItemIndex(LastDescendant()) + 1;
    children_.push_back(raw);
    tree_->AddAt(std::move(child), at);
  } else {
    children_.push_back(raw);
    pending_.push_back(std::move(child));
  }
  raw->SetLevel(level_ + 1);
  raw->ApplyBranchVisibility();
  return raw;
}

bool CTreeNodeUI::RemoveChildNode(CTreeNodeUI* child) {
  const auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) {
    return false;
  }
  if (tree_ != nullptr) {
    return tree_->Remove(child);
  }
  children_.erase(it);
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(), [&](const auto& p) { return p.get() == child; }),
                 pending_.end());
  return true;
}

void CTreeNodeUI::AttachToTree(CTreeViewUI* tree) {
  tree_ = tree;
  SetLevel(level_);
  // Children collected before the node joined a tree follow it in.
  std::vector<std::unique_ptr<CTreeNodeUI>> waiting = std::move(pending_);
  pending_.clear();
  int at = tree->GetItemIndex(this) + 1;
  for (auto& child : waiting) {
    CTreeNodeUI* raw = child.get();
    tree->AddAt(std::move(child), at);
    at = tree->GetItemIndex(raw->LastDescendant()) + 1;
  }
}

bool CTreeNodeUI::IsShownInTree() const {
  for (const CTreeNodeUI* p = parentNode_; p != nullptr; p = p->parentNode_) {
    if (!p->expanded_ || !p->visible_) return false;
  }
  return true;
}

void CTreeNodeUI::ApplyBranchVisibility() {
  const bool shown = IsShownInTree();
  SetInternVisible(shown && (parent_ == nullptr || parent_->IsVisible()));
  for (CTreeNodeUI* child : children_) child->ApplyBranchVisibility();
  NeedUpdate();
}

void CTreeNodeUI::SetExpanded(bool expanded) {
  if (expanded_ == expanded) {
    return;
  }
  expanded_ = expanded;
  for (CTreeNodeUI* child : children_) child->ApplyBranchVisibility();
  QAccessible::State changed;
  changed.expanded = true;
  CAccessibleEvents::StateChanged(this, changed);
}

void CTreeNodeUI::DoEvent(TEventUI& event) {
  if (event.type == UIEvent::kKeyDown && (event.key == VK_LEFT || event.key == VK_RIGHT)) {
    if (event.key == VK_RIGHT && !children_.empty() && !expanded_) {
      SetExpanded(true);
    } else if (event.key == VK_LEFT && !children_.empty() && expanded_) {
      SetExpanded(false);
    } else if (event.key == VK_LEFT && parentNode_ != nullptr && owner_ != nullptr) {
      owner_->SelectItem(parentNode_->GetIndex(), true, true);
    }
    return;
  }
  CListContainerElementUI::DoEvent(event);
}

void CTreeNodeUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("text")) {
    SetText(value);
  } else if (n == QLatin1String("folderattr")) {
    folder_->ApplyAttributeList(value);
  } else if (n == QLatin1String("itemattr")) {
    label_->ApplyAttributeList(value);
  } else if (n == QLatin1String("expanded")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetExpanded(*b);
  } else if (n == QLatin1String("font") || n == QLatin1String("textcolor") || n == QLatin1String("align")) {
    label_->SetAttribute(name, value);
  } else {
    CListContainerElementUI::SetAttribute(name, value);
  }
}

}  // namespace DuiLib
