// Skin XML files: the element tree, then every attribute value read the way the
// dialog builder reads it. A document that does not parse says where.
#include <QByteArray>
#include <QString>

#include "fuzz_support.h"
#include "ui/attribute_parser.h"
#include "ui/image_attribute.h"
#include "ui/markup_node.h"

using DuiLib::CMarkupNode;

namespace {

void ReadValues(const CMarkupNode& node) {
  for (const auto& [name, value] : node.attributes) {
    (void)DuiLib::CAttributeParser::ParseRect(value);
    (void)DuiLib::CAttributeParser::ParseColor(value);
    (void)DuiLib::CAttributeParser::ParseInt(value);
    (void)DuiLib::CImageAttribute::Parse(value);
    (void)node.Attribute(name);
  }
  for (const auto& child : node.children) {
    ReadValues(*child);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray xml(reinterpret_cast<const char*>(data), static_cast<int>(size));
  QString error;
  const std::unique_ptr<CMarkupNode> root = CMarkupNode::Parse(xml, &error);
  if (root) {
    ReadValues(*root);
  } else if (error.isEmpty()) {
    tarvo::fuzz::Fail("a refused document without a reason");
  }
  return 0;
}
