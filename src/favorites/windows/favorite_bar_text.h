#pragma once
// The text of a favourites-bar button: a name cut to a width, measured one character
// (grapheme) at a time in the bar's font, so a cut never splits a character made of
// several code units (emoji, combining marks).
//
// Threads: GUI thread (fonts).
#include <QFont>
#include <QString>

namespace tarvo {

class FavoriteBarText {
 public:
  // The widest a name is shown before it is cut.
  static constexpr int kWidestName = 120;

  struct Shortened {
    QString text;
    int width = 0;  // the measured width of `text`, rounded up to whole pixels
  };

  // `name` unchanged when its characters add up to at most `limit` whole pixels;
  // otherwise cut before the character whose width takes the sum past the limit, with
  // "..." appended.
  static Shortened Shorten(const QString& name, const QFont& font, int limit = kWidestName);
};

}  // namespace tarvo
