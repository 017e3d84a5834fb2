#include "favorites/windows/favorite_bar_text.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <cmath>

namespace tarvo {

namespace {

// Whether every character of `text` is one code unit that stands alone (no
// surrogate pairs, no combining marks), so each unit is one character to measure.
bool OneUnitPerCharacter(const QString& text) {
  for (const QChar c : text) {
    if (c.isSurrogate() || c.isMark() || c.unicode() == 0x200D) return false;
  }
  return true;
}

// Walks the characters of `text` adding their advances; stops before the one that
// takes the sum (as whole pixels) past `limit`. Returns where it stopped; `sum` is the
// width of what went before. Single code units use the font's cached advances.
int MeasureUpTo(const QString& text, const QFontMetricsF& metrics, double limit, double& sum) {
  sum = 0;
  const auto fits = [&](double advance) {
    if (static_cast<int>(sum + advance) > limit) return false;
    sum += advance;
    return true;
  };
  if (OneUnitPerCharacter(text)) {
    for (int i = 0; i < text.size(); ++i) {
      if (!fits(metrics.horizontalAdvance(text[i]))) return i;
    }
    return text.size();
  }
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
  int start = 0;
  for (int end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
    if (!fits(metrics.horizontalAdvance(text.mid(start, end - start)))) return start;
    start = end;
  }
  return start;
}

// A label narrower than its text, even by a fraction of a pixel, draws it elided.
int WholePixels(double width) { return static_cast<int>(std::ceil(width)); }

}  // namespace

FavoriteBarText::Shortened FavoriteBarText::Shorten(const QString& name, const QFont& font, int limit) {
  const QFontMetricsF metrics(font);
  double sum = 0;
  const int fits = MeasureUpTo(name, metrics, limit, sum);
  if (fits >= name.size()) return Shortened{name, WholePixels(sum)};
  const QString text = name.left(fits) + QStringLiteral("...");
  double width = 0;
  MeasureUpTo(text, metrics, 1e9, width);
  return Shortened{text, WholePixels(width)};
}

}  // namespace tarvo
