#include "ui/markup_node.h"

#include <QXmlStreamReader>

namespace DuiLib {

QString CMarkupNode::Attribute(const QString& name) const {
  for (const auto& [key, value] : attributes) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  }
  return QString();
}

bool CMarkupNode::HasAttribute(const QString& name) const {
  for (const auto& [key, value] : attributes) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

std::unique_ptr<CMarkupNode> CMarkupNode::Parse(const QByteArray& xml, QString* error) {
  QXmlStreamReader reader(xml);
  std::unique_ptr<CMarkupNode> root;
  std::vector<CMarkupNode*> stack;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      auto node = std::make_unique<CMarkupNode>();
      node->tag = reader.name().toString();
      for (const QXmlStreamAttribute& attribute : reader.attributes()) {
        node->attributes.emplace_back(attribute.qualifiedName().toString(), attribute.value().toString());
      }
      CMarkupNode* raw = node.get();
      if (stack.empty()) {
        if (root) break;  // a second root: the reader reports it below
        root = std::move(node);
      } else {
        stack.back()->children.push_back(std::move(node));
      }
      stack.push_back(raw);
    } else if (token == QXmlStreamReader::EndElement) {
      if (!stack.empty()) stack.pop_back();
    }
  }
  if (reader.hasError() || !root) {
    if (error != nullptr) {
      *error = reader.hasError() ? QStringLiteral("line %1, column %2: %3")
                                       .arg(reader.lineNumber())
                                       .arg(reader.columnNumber())
                                       .arg(reader.errorString())
                                 : QStringLiteral("no root element");
    }
    return nullptr;
  }
  return root;
}

}  // namespace DuiLib
