#include "ui/attribute_parser.h"

#include <QStringList>

namespace DuiLib {
namespace {

bool IsBlank(QChar c) { return c.isSpace(); }

// Index of the quote that ends a value opened just before `from`, or -1.
int FindClosingQuote(QStringView text, int from) {
  int first = -1;
  for (int i = from; i < text.size(); ++i) {
    if (text[i] != u'"') {
      continue;
    }
    if (first < 0) {
      first = i;
    }
    if (i + 1 == text.size() || IsBlank(text[i + 1])) {
      return i;
    }
  }
  return first;
}

}  // namespace

AttributeList CAttributeParser::ParseList(QStringView text) {
  AttributeList result;
  int i = 0;
  const int n = static_cast<int>(text.size());
  while (i < n) {
    while (i < n && IsBlank(text[i])) {
      ++i;
    }
    if (i >= n) {
      break;
    }
    const int nameStart = i;
    while (i < n && text[i] != u'=' && !IsBlank(text[i]) && text[i] != u'"') {
      ++i;
    }
    const QString name = text.mid(nameStart, i - nameStart).toString();
    while (i < n && IsBlank(text[i])) {
      ++i;
    }
    if (name.isEmpty() || i >= n || text[i] != u'=') {
      // Not a pair: skip this word (and a stray quoted run, if it starts one).
      while (i < n && !IsBlank(text[i])) {
        ++i;
      }
      continue;
    }
    ++i;  // '='
    while (i < n && IsBlank(text[i])) {
      ++i;
    }
    if (i >= n) {
      break;
    }
    if (text[i] != u'"') {
      // An unquoted value runs to the next blank; the skin syntax quotes every value,
      // but accepting this costs nothing and loses nothing.
      const int valueStart = i;
      while (i < n && !IsBlank(text[i])) {
        ++i;
      }
      result.emplace_back(name, text.mid(valueStart, i - valueStart).toString());
      continue;
    }
    const int close = FindClosingQuote(text, i + 1);
    if (close < 0) {
      break;  // unterminated: the rest of the string is this broken value
    }
    result.emplace_back(name, text.mid(i + 1, close - i - 1).toString());
    i = close + 1;
  }
  return result;
}

std::optional<int> CAttributeParser::ParseInt(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok) {
    return std::nullopt;
  }
  return value;
}

std::optional<RECT> CAttributeParser::ParseRect(const QString& text) {
  const QStringList parts = text.split(u',');
  if (text.trimmed().isEmpty() || parts.size() > 4) {
    return std::nullopt;
  }
  int values[4] = {0, 0, 0, 0};
  for (int k = 0; k < parts.size(); ++k) {
    if (parts[k].trimmed().isEmpty()) {
      continue;
    }
    const auto v = ParseInt(parts[k]);
    if (!v) {
      return std::nullopt;
    }
    values[k] = *v;
  }
  return RECT{values[0], values[1], values[2], values[3]};
}

std::optional<SIZE> CAttributeParser::ParseSize(const QString& text) {
  const QStringList parts = text.split(u',');
  if (parts.size() != 2) {
    return std::nullopt;
  }
  const auto cx = ParseInt(parts[0]);
  const auto cy = ParseInt(parts[1]);
  if (!cx || !cy) {
    return std::nullopt;
  }
  return SIZE{*cx, *cy};
}

std::optional<QColor> CAttributeParser::ParseColor(const QString& text) {
  QString hex = text.trimmed();
  if (hex.startsWith(u'#')) {
    hex = hex.mid(1);
  } else if (hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    hex = hex.mid(2);
  }
  if (hex.size() != 6 && hex.size() != 8) {
    return std::nullopt;
  }
  bool ok = false;
  const uint value = hex.toUInt(&ok, 16);
  if (!ok) {
    return std::nullopt;
  }
  // Six digits name an opaque colour; reading them as fully transparent would make
  // "#FF0000" silently invisible.
  const uint argb = hex.size() == 6 ? (0xFF000000u | value) : value;
  return QColor::fromRgba(argb);
}

std::optional<bool> CAttributeParser::ParseBool(const QString& text) {
  const QString t = text.trimmed();
  if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1")) {
    return true;
  }
  if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0")) {
    return false;
  }
  return std::nullopt;
}

}  // namespace DuiLib
