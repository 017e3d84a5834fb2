#pragma once
// Drawing primitives shared by all controls: images with stretchable corners, colours,
// borders and text. Stateless; GUI thread (QPainter on the window).
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "ui/image_attribute.h"

class QPainter;

namespace DuiLib {

class CRenderEngine {
 public:
  // Draws `image` (an image attribute) into `rc`, honouring source, dest, corner, fade,
  // hole and tiling. False when the image is empty or can't be loaded.
  static bool DrawImage(QPainter& painter, const QRect& rc, const QString& image);
  static void DrawImage(QPainter& painter, const QRect& rc, const QPixmap& pixmap, const CImageAttribute& image);
  // Fills `rc`; a second valid colour makes a vertical gradient.
  static void DrawColor(QPainter& painter, const QRect& rc, const QColor& color,
                        const QColor& color2 = QColor(), SIZE round = {});
  static void DrawBorder(QPainter& painter, const QRect& rc, int size, const QColor& color, SIZE round = {});
  // Draws text with Qt alignment flags; elides on the right when `endEllipsis`.
  static void DrawText(QPainter& painter, const QRect& rc, const QString& text, const QColor& color,
                       const QFont& font, int alignFlags, bool endEllipsis);
};

}  // namespace DuiLib
