#include "ui/image_attribute.h"

#include "ui/attribute_parser.h"

namespace DuiLib {
namespace {

// Splits key='value' pairs; returns false when the text holds none at all.
bool ForEachImagePair(const QString& text, CImageAttribute& image) {
  bool any = false;
  int i = 0;
  const int n = text.size();
  while (i < n) {
    while (i < n && text[i].isSpace()) {
      ++i;
    }
    const int keyStart = i;
    while (i < n && text[i] != u'=' && !text[i].isSpace()) {
      ++i;
    }
    if (i >= n || text[i] != u'=' || i + 1 >= n || text[i + 1] != u'\'') {
      while (i < n && !text[i].isSpace()) {
        ++i;
      }
      continue;
    }
    const QString key = text.mid(keyStart, i - keyStart).toLower();
    const int close = text.indexOf(u'\'', i + 2);
    if (close < 0) {
      break;
    }
    const QString value = text.mid(i + 2, close - i - 2);
    i = close + 1;
    any = true;
    if (key == QLatin1String("file") || key == QLatin1String("res")) {
      image.file = value.trimmed();
    } else if (key == QLatin1String("corner")) {
      image.corner = CAttributeParser::ParseRect(value).value_or(RECT{});
    } else if (key == QLatin1String("source")) {
      if (auto r = CAttributeParser::ParseRect(value)) {
        image.source = *r;
        image.hasSource = true;
      }
    } else if (key == QLatin1String("dest")) {
      if (auto r = CAttributeParser::ParseRect(value)) {
        image.dest = *r;
        image.hasDest = true;
      }
    } else if (key == QLatin1String("fade")) {
      image.fade = qBound(0, CAttributeParser::ParseInt(value).value_or(255), 255);
    } else if (key == QLatin1String("hole")) {
      image.hole = CAttributeParser::ParseBool(value).value_or(false);
    } else if (key == QLatin1String("xtiled")) {
      image.xtiled = CAttributeParser::ParseBool(value).value_or(false);
    } else if (key == QLatin1String("ytiled")) {
      image.ytiled = CAttributeParser::ParseBool(value).value_or(false);
    }
  }
  return any;
}

}  // namespace

CImageAttribute CImageAttribute::Parse(const QString& value) {
  CImageAttribute image;
  if (!ForEachImagePair(value, image)) {
    image = CImageAttribute{};
    image.file = value.trimmed();
  }
  return image;
}

}  // namespace DuiLib
