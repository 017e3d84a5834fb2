#include "lang_picture_renderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kAccent(0x2F, 0x6F, 0xED);
const QColor kAccentDark(0x24, 0x59, 0xC8);
const QColor kText(0x1F, 0x23, 0x29);
const QColor kSecondary(0x64, 0x6A, 0x73);
const QColor kBorder(0xD0, 0xD5, 0xDD);

QFont MakeFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

// Shrinks the font until the text fits the width, so long translations stay readable.
QFont FitFont(const QString& text, int pixelSize, bool bold, int width) {
  QFont font = MakeFont(pixelSize, bold);
  while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(text) > width) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  return font;
}

void DrawButton(QPainter& p, const QRectF& rc, const QColor& fill, const QColor& border, const QColor& textColor,
                const QString& text) {
  QPainterPath path;
  path.addRoundedRect(rc.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  p.fillPath(path, fill);
  if (border.isValid()) {
    p.setPen(QPen(border, 1));
    p.drawPath(path);
  }
  p.setFont(FitFont(text, 13, true, int(rc.width()) - 12));
  p.setPen(textColor);
  p.drawText(rc, Qt::AlignCenter, text);
}

}  // namespace

QImage LangPictureRenderer::Render(const QJsonObject& picture, const QString& text, qreal scale) {
  const int width = picture.value(QStringLiteral("width")).toInt(100);
  const int height = picture.value(QStringLiteral("height")).toInt(24);
  const QString style = picture.value(QStringLiteral("style")).toString();
  QImage image(qRound(width * scale), qRound(height * scale), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(scale, scale);
  const QRectF rc(0, 0, width, height);
  if (style == QLatin1String("button")) {
    DrawButton(p, rc, kAccent, QColor(), Qt::white, text);
  } else if (style == QLatin1String("button_hover")) {
    DrawButton(p, rc, kAccentDark, QColor(), Qt::white, text);
  } else if (style == QLatin1String("secondary")) {
    DrawButton(p, rc, Qt::white, kBorder, kText, text);
  } else if (style == QLatin1String("secondary_hover")) {
    DrawButton(p, rc, QColor(0xF2, 0xF4, 0xF7), kBorder, kText, text);
  } else if (style == QLatin1String("banner")) {
    QLinearGradient gradient(rc.topLeft(), rc.bottomRight());
    gradient.setColorAt(0, QColor(0x2F, 0x6F, 0xED));
    gradient.setColorAt(1, QColor(0x5B, 0x8D, 0xF5));
    p.fillRect(rc, gradient);
    p.setPen(QColor(255, 255, 255, 40));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
      p.drawEllipse(QPointF(width * 0.85, height * 0.2), 60.0 + 40 * i, 60.0 + 40 * i);
    }
    const QString product = picture.value(QStringLiteral("product")).toString();
    p.setPen(Qt::white);
    p.setFont(FitFont(product, qMax(14, qMin(height / 7, width / 9)), true, width - 64));
    p.drawText(QRectF(32, 0, width - 64, height * 0.55), Qt::AlignLeft | Qt::AlignBottom, product);
    p.setFont(FitFont(text, qMax(11, height / 16), false, width - 64));
    p.setPen(QColor(255, 255, 255, 220));
    p.drawText(QRectF(32, height * 0.58, width - 64, height * 0.3), Qt::AlignLeft | Qt::AlignTop, text);
  } else {
    const bool title = style == QLatin1String("title");
    const bool link = style == QLatin1String("link");
    const int size = title ? 15 : 12;
    p.setFont(FitFont(text, size, title, width));
    p.setPen(link ? kAccent : (title ? kText : kSecondary));
    const int align = picture.value(QStringLiteral("align")).toString() == QLatin1String("center")
                          ? Qt::AlignCenter
                          : (Qt::AlignLeft | Qt::AlignVCenter);
    p.drawText(rc, align, text);
  }
  p.end();
  return image;
}
