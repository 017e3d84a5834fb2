#include "favorites/windows/favor_bar_text.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <cmath>

namespace tarvo {

namespace {

// The sum of the advances of each grapheme of `text` in turn; stops (returning the
// position reached) when the sum passes `limit`.
int MeasureUpTo(const QString& text, const QFontMetricsF& metrics, double limit, double& sum) {
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
  int start = 0;
  sum = 0;
  for (int end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
    const double advance = metrics.horizontalAdvance(text.mid(start, end - start));
    if (static_cast<int>(sum + advance) > limit) return start;
    sum += advance;
    start = end;
  }
  return start;
}

// A label narrower than its text, even by a fraction of a pixel, draws it elided.
int WholePixels(double width) { return static_cast<int>(std::ceil(width)); }

}  // namespace

FavorBarText::Shortened FavorBarText::Shorten(const QString& name, const QFont& font, int limit) {
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
