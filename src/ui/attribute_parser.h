#pragma once
// The one parser for skin attribute syntax. XML attributes arrive already split by the
// XML reader; attribute strings built at run time ("name=\"value\" name=\"value\"") are
// split here, and every value (rectangles, sizes, colours, flags) is read here, so a skin
// file and a run-time string mean exactly the same thing.
#include <QColor>
#include <QString>
#include <QStringView>
#include <optional>
#include <utility>
#include <vector>

#include "ui/ui_defs.h"

namespace DuiLib {

using AttributeList = std::vector<std::pair<QString, QString>>;

class CAttributeParser {
 public:
  // Splits `name="value"` pairs separated by blanks. A pair that is malformed (no name,
  // no '=', no opening quote, no closing quote) is skipped on its own; the pairs around
  // it still apply. A value ends at the double quote that is followed by the next
  // "name=" or the end, so quotes inside user text (text="a "b" c") survive. Pure
  // function, any thread.
  static AttributeList ParseList(QStringView text);

  // "l,t,r,b" with optional blanks; missing numbers read as 0; nullopt when there is no
  // number at all or a part is not a number.
  static std::optional<RECT> ParseRect(const QString& text);
  // "cx,cy".
  static std::optional<SIZE> ParseSize(const QString& text);
  // "#AARRGGBB", "#RRGGBB" (opaque), "0x..." or a bare hex number of the same lengths.
  static std::optional<QColor> ParseColor(const QString& text);
  // "true"/"false" (any case), "1"/"0".
  static std::optional<bool> ParseBool(const QString& text);
  // Decimal integer with optional sign and surrounding blanks.
  static std::optional<int> ParseInt(const QString& text);
};

}  // namespace DuiLib
