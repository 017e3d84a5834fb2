#include "ui/dialog_builder.h"

#include "ui/container_ui.h"
#include "ui/control_factory.h"
#include "ui/markup_node.h"
#include "ui/paint_manager_ui.h"
#include "ui/resource_manager.h"
#include "ui/tree_node_ui.h"
#include "ui/ui_interfaces.h"

namespace DuiLib {

std::unique_ptr<CControlUI> CDialogBuilder::Create(const QString& skinFile, IDialogBuilderCallback* callback,
                                                   CPaintManagerUI* manager) {
  const std::optional<QByteArray> xml = CResourceManager::Instance().ReadFile(skinFile);
  if (!xml) {
    return nullptr;
  }
  return CreateFromXml(*xml, skinFile, callback, manager);
}

std::unique_ptr<CControlUI> CDialogBuilder::CreateFromXml(const QByteArray& xml, const QString& sourceName,
                                                          IDialogBuilderCallback* callback,
                                                          CPaintManagerUI* manager) {
  callback_ = callback;
  manager_ = manager;
  QString error;
  const std::unique_ptr<CMarkupNode> document = CMarkupNode::Parse(xml, &error);
  if (!document) {
    CResourceManager::Instance().ReportError(
        QStringLiteral("skin file \"%1\" is not valid XML (%2)").arg(sourceName, error));
    return nullptr;
  }
  const CMarkupNode* top = document.get();
  if (top->tag.compare(QLatin1String("Window"), Qt::CaseInsensitive) == 0) {
    ReadWindowElement(*top);
    for (const auto& child : top->children) {
      if (auto control = BuildControl(*child)) {
        return control;
      }
    }
    CResourceManager::Instance().ReportError(QStringLiteral("skin file \"%1\" holds no control").arg(sourceName));
    return nullptr;
  }
  auto control = BuildControl(*top);
  if (!control) {
    CResourceManager::Instance().ReportError(
        QStringLiteral("skin file \"%1\" starts with unknown element <%2>").arg(sourceName, top->tag));
  }
  return control;
}

void CDialogBuilder::ReadWindowElement(const CMarkupNode& node) {
  if (manager_ == nullptr) {
    return;
  }
  for (const auto& [name, value] : node.attributes) {
    manager_->SetWindowAttribute(name, value);
  }
  for (const auto& child : node.children) {
    const QString tag = child->tag.toLower();
    if (tag == QLatin1String("font")) {
      const auto id = CAttributeParser::ParseInt(child->Attribute(QStringLiteral("id")));
      const auto size = CAttributeParser::ParseInt(child->Attribute(QStringLiteral("size")));
      const auto flag = [&](const char* key) {
        return CAttributeParser::ParseBool(child->Attribute(QLatin1String(key))).value_or(false);
      };
      manager_->AddFont(id.value_or(-1), child->Attribute(QStringLiteral("name")), size.value_or(12), flag("bold"),
                        flag("underline"), flag("italic"), flag("default"));
    } else if (tag == QLatin1String("default")) {
      manager_->AddDefaultAttributeList(child->Attribute(QStringLiteral("name")),
                                        child->Attribute(QStringLiteral("value")));
    }
  }
}

std::unique_ptr<CControlUI> CDialogBuilder::BuildControl(const CMarkupNode& node) {
  const QString lower = node.tag.toLower();
  if (lower == QLatin1String("font") || lower == QLatin1String("default") || lower == QLatin1String("window")) {
    return nullptr;
  }
  std::unique_ptr<CControlUI> control = CreateStandardControl(node.tag);
  if (!control && callback_ != nullptr) {
    control = callback_->CreateControl(node.tag);
  }
  if (!control) {
    return nullptr;
  }
  if (manager_ != nullptr) {
    const QString defaults = manager_->GetDefaultAttributeList(node.tag);
    if (!defaults.isEmpty()) {
      control->ApplyAttributeList(defaults);
    }
  }
  for (const auto& [name, value] : node.attributes) {
    control->SetAttribute(name, value);
  }
  BuildChildren(node, control.get());
  return control;
}

void CDialogBuilder::BuildChildren(const CMarkupNode& node, CControlUI* parent) {
  auto* treeNode = static_cast<CTreeNodeUI*>(parent->GetInterface(QStringLiteral("TreeNode")));
  auto* container = static_cast<CContainerUI*>(parent->GetInterface(QStringLiteral("Container")));
  for (const auto& childNode : node.children) {
    std::unique_ptr<CControlUI> child = BuildControl(*childNode);
    if (!child) {
      continue;
    }
    if (treeNode != nullptr) {
      if (auto* childTreeNode = static_cast<CTreeNodeUI*>(child->GetInterface(QStringLiteral("TreeNode")))) {
        child.release();
        treeNode->AddChildNode(std::unique_ptr<CTreeNodeUI>(childTreeNode));
        continue;
      }
    }
    if (container != nullptr) {
      container->AddAt(std::move(child), container->GetCount());
    }
  }
}

}  // namespace DuiLib
