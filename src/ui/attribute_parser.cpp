#include "ui/attribute_parser.h"

#include <QStringList>

namespace DuiLib {
namespace {

bool IsBlank(QChar c) { return c.isSpace(); }

bool IsNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u':'; }

// Whether a value's closing quote at `quote` is followed by the end of the text or by
// blanks and the next "name=".
bool EndsValue(QStringView text, int quote) {
  int i = quote + 1;
  if (i < text.size() && !IsBlank(text[i])) {
    return false;
  }
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  if (i == text.size()) {
    return true;
  }
  const int nameStart = i;
  while (i < text.size() && IsNameChar(text[i])) {
    ++i;
  }
  const int nameEnd = i;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  return nameEnd > nameStart && i < text.size() && text[i] == u'=';
}

// Index of the quote that ends a value opened just before `from`, or -1. A quote that
// is followed by the next pair (or the end) wins, so quotes inside user text survive;
// otherwise the first quote followed by a blank, otherwise the first quote.
int FindClosingQuote(QStringView text, int from) {
  int first = -1;
  int firstBeforeBlank = -1;
  for (int i = from; i < text.size(); ++i) {
    if (text[i] != u'"') {
      continue;
    }
    if (EndsValue(text, i)) {
      return i;
    }
    if (first < 0) {
      first = i;
    }
    if (firstBeforeBlank < 0 && i + 1 < text.size() && IsBlank(text[i + 1])) {
      firstBeforeBlank = i;
    }
  }
  return firstBeforeBlank >= 0 ? firstBeforeBlank : first;
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
    if (i == nameStart && i < n && text[i] == u'"') {
      ++i;  // a stray quote is not a name
      continue;
    }
    const QString name = text.mid(nameStart, i - nameStart).toString();
    if (name.isEmpty()) {
      // No name: skip this word (a stray '=' or quoted run).
      while (i < n && !IsBlank(text[i])) {
        ++i;
      }
      continue;
    }
    const int afterName = i;
    while (i < n && IsBlank(text[i])) {
      ++i;
    }
    if (i >= n || text[i] != u'=') {
      i = afterName;  // a lone word: the next word may be a good pair
      continue;
    }
    ++i;  // '='
    const int afterEquals = i;
    while (i < n && IsBlank(text[i])) {
      ++i;
    }
    if (i >= n) {
      break;
    }
    if (text[i] != u'"' && i > afterEquals) {
      continue;  // "name= next=..." has no value; the next word is a pair of its own
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
