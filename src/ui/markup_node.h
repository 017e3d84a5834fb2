#pragma once
// A skin XML file read into a small element tree: tag, attributes in file order,
// child elements. Text content and comments are dropped.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "ui/attribute_parser.h"

namespace DuiLib {

struct CMarkupNode {
  QString tag;
  AttributeList attributes;
  std::vector<std::unique_ptr<CMarkupNode>> children;

  // The attribute's value, or an empty string.
  QString Attribute(const QString& name) const;
  bool HasAttribute(const QString& name) const;

  // Parses a document; null with `error` set ("line 3, column 7: ...") when the XML
  // is not well formed. UTF-8 unless the document declares otherwise. Any thread.
  static std::unique_ptr<CMarkupNode> Parse(const QByteArray& xml, QString* error);
};

}  // namespace DuiLib
