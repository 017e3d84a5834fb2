#include "ui/render_engine.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "ui/resource_manager.h"

namespace DuiLib {
namespace {

void DrawPart(QPainter& painter, const QRect& dst, const QPixmap& pm, const QRectF& src, bool xt, bool yt) {
  if (dst.isEmpty() || src.isEmpty()) {
    return;
  }
  if (!xt && !yt) {
    painter.drawPixmap(QRectF(dst), pm, src);
    return;
  }
  const QPixmap piece = pm.copy(src.toRect());
  QPixmap tile = piece;
  const qreal dpr = pm.devicePixelRatio();
  const int tw = xt ? qMax(1, qRound(src.width() / dpr)) : dst.width();
  const int th = yt ? qMax(1, qRound(src.height() / dpr)) : dst.height();
  tile = piece.scaled(qRound(tw * dpr), qRound(th * dpr), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  tile.setDevicePixelRatio(dpr);
  painter.drawTiledPixmap(dst, tile);
}

}  // namespace

bool CRenderEngine::DrawImage(QPainter& painter, const QRect& rc, const QString& imageText) {
  if (imageText.isEmpty()) {
    return false;
  }
  const CImageAttribute image = CImageAttribute::Parse(imageText);
  if (image.IsEmpty()) {
    return false;
  }
  const QPixmap pixmap = CResourceManager::Instance().GetImage(image.file, painter.device()->devicePixelRatioF());
  if (pixmap.isNull()) {
    return false;
  }
  DrawImage(painter, rc, pixmap, image);
  return true;
}

void CRenderEngine::DrawImage(QPainter& painter, const QRect& rc, const QPixmap& pixmap, const CImageAttribute& image) {
  const qreal dpr = pixmap.devicePixelRatio();
  // Source, corner and dest numbers are in logical (1x) pixels.
  QRectF src(0, 0, pixmap.width(), pixmap.height());
  if (image.hasSource) {
    src = QRectF(image.source.left * dpr, image.source.top * dpr, (image.source.right - image.source.left) * dpr,
                 (image.source.bottom - image.source.top) * dpr)
              .intersected(src);
  }
  QRect dst = rc;
  if (image.hasDest) {
    // Dest may reach past the control (an icon centred in a smaller button); the
    // container's clip keeps it inside, and the picture is not squeezed.
    dst = QRect(QPoint(rc.left() + image.dest.left, rc.top() + image.dest.top),
                QPoint(rc.left() + image.dest.right - 1, rc.top() + image.dest.bottom - 1));
  }
  if (dst.isEmpty() || src.isEmpty()) {
    return;
  }
  const qreal oldOpacity = painter.opacity();
  if (image.fade < 255) {
    painter.setOpacity(oldOpacity * image.fade / 255.0);
  }
  const RECT& c = image.corner;
  if (c == RECT{}) {
    DrawPart(painter, dst, pixmap, src, image.xtiled, image.ytiled);
  } else {
    // Nine parts: corners kept, edges stretched in one direction, the middle in both.
    const int dl = qMin(c.left, dst.width() / 2), dr = qMin(c.right, dst.width() / 2);
    const int dt = qMin(c.top, dst.height() / 2), db = qMin(c.bottom, dst.height() / 2);
    const qreal sl = c.left * dpr, sr = c.right * dpr, st = c.top * dpr, sb = c.bottom * dpr;
    const int dx[4] = {dst.left(), dst.left() + dl, dst.right() + 1 - dr, dst.right() + 1};
    const int dy[4] = {dst.top(), dst.top() + dt, dst.bottom() + 1 - db, dst.bottom() + 1};
    const qreal sx[4] = {src.left(), src.left() + sl, src.right() - sr, src.right()};
    const qreal sy[4] = {src.top(), src.top() + st, src.bottom() - sb, src.bottom()};
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) {
        if (row == 1 && col == 1 && image.hole) {
          continue;
        }
        const QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
        const QRectF s(QPointF(sx[col], sy[row]), QPointF(sx[col + 1], sy[row + 1]));
        DrawPart(painter, d, pixmap, s, image.xtiled && col == 1, image.ytiled && row == 1);
      }
    }
  }
  painter.setOpacity(oldOpacity);
}

void CRenderEngine::DrawColor(QPainter& painter, const QRect& rc, const QColor& color, const QColor& color2,
                              SIZE round) {
  if (!color.isValid() || color.alpha() == 0 || rc.isEmpty()) {
    return;
  }
  QBrush brush(color);
  if (color2.isValid()) {
    QLinearGradient gradient(rc.topLeft(), rc.bottomLeft());
    gradient.setColorAt(0, color);
    gradient.setColorAt(1, color2);
    brush = QBrush(gradient);
  }
  if (round.cx > 0 || round.cy > 0) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawRoundedRect(QRectF(rc), round.cx / 2.0, round.cy / 2.0);
    painter.restore();
    return;
  }
  painter.fillRect(rc, brush);
}

void CRenderEngine::DrawBorder(QPainter& painter, const QRect& rc, int size, const QColor& color, SIZE round) {
  if (size <= 0 || !color.isValid() || color.alpha() == 0 || rc.isEmpty()) {
    return;
  }
  painter.save();
  QPen pen(color);
  pen.setWidth(size);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const qreal half = size / 2.0;
  const QRectF r = QRectF(rc).adjusted(half, half, -half, -half);
  if (round.cx > 0 || round.cy > 0) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawRoundedRect(r, round.cx / 2.0, round.cy / 2.0);
  } else {
    painter.drawRect(r);
  }
  painter.restore();
}

void CRenderEngine::DrawText(QPainter& painter, const QRect& rc, const QString& text, const QColor& color,
                             const QFont& font, int alignFlags, bool endEllipsis) {
  if (text.isEmpty() || rc.isEmpty()) {
    return;
  }
  painter.setFont(font);
  painter.setPen(color.isValid() ? color : QColor(0x33, 0x33, 0x33));
  if ((alignFlags & Qt::TextWordWrap) != 0) {
    painter.drawText(rc, alignFlags, text);
    return;
  }
  QString shown = text;
  if (endEllipsis) {
    shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, rc.width());
  }
  painter.drawText(rc, alignFlags | Qt::TextSingleLine, shown);
}

}  // namespace DuiLib
