// Attribute strings of the skin (built at run time or read from a skin file) and the
// values inside them: rectangles, sizes, colours, flags, numbers and image strings.
// Every pair ParseList returns has a name.
#include <QString>

#include "fuzz_support.h"
#include "ui/attribute_parser.h"
#include "ui/image_attribute.h"

using DuiLib::CAttributeParser;

namespace {

void ParseValue(const QString& value) {
  (void)CAttributeParser::ParseRect(value);
  (void)CAttributeParser::ParseSize(value);
  (void)CAttributeParser::ParseColor(value);
  (void)CAttributeParser::ParseBool(value);
  (void)CAttributeParser::ParseInt(value);
  (void)DuiLib::CImageAttribute::Parse(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = tarvo::fuzz::AsText(data, size);
  const QString text = QString::fromUtf8(input.data(), static_cast<int>(input.size()));
  ParseValue(text);
  for (const auto& [name, value] : CAttributeParser::ParseList(text)) {
    if (name.isEmpty()) {
      tarvo::fuzz::Fail("an attribute without a name");
    }
    ParseValue(value);
  }
  return 0;
}
