#include "ui/check_box_ui.h"

#include <QPainter>
#include <QPainterPath>

namespace DuiLib {

CCheckBoxUI::CCheckBoxUI() { align_ = Qt::AlignLeft | Qt::AlignVCenter; }

void* CCheckBoxUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("CheckBox"), Qt::CaseInsensitive) == 0) return this;
  return COptionUI::GetInterface(name);
}

void CCheckBoxUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("checked"), Qt::CaseInsensitive) == 0) {
    COptionUI::SetAttribute(QStringLiteral("selected"), value);
    return;
  }
  COptionUI::SetAttribute(name, value);
}

void CCheckBoxUI::PaintStatusImage(QPainter& painter) {
  if (HasImages()) {
    COptionUI::PaintStatusImage(painter);
    return;
  }
  const QRectF box(rcItem_.left() + 0.5, rcItem_.center().y() - kBox / 2.0 + 0.5, kBox - 1, kBox - 1);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor accent(0x2F, 0x6F, 0xED);
  if (selected_) {
    painter.setPen(QPen(IsEnabled() ? accent : QColor(0xC8, 0xC8, 0xC8), 1));
    painter.setBrush(IsEnabled() ? accent : QColor(0xC8, 0xC8, 0xC8));
    painter.drawRoundedRect(box, 3, 3);
    QPainterPath tick;
    tick.moveTo(box.left() + 3, box.center().y());
    tick.lineTo(box.left() + 5.8, box.bottom() - 3.5);
    tick.lineTo(box.right() - 3, box.top() + 3.5);
    painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
  } else {
    painter.setPen(QPen(hot_ ? accent : QColor(0xB4, 0xB8, 0xC0), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(box, 3, 3);
  }
  painter.restore();
}

void CCheckBoxUI::PaintText(QPainter& painter) {
  if (HasImages()) {
    COptionUI::PaintText(painter);
    return;
  }
  // Keep the text clear of the drawn box.
  const RECT saved = textPadding_;
  textPadding_.left = qMax(textPadding_.left, kBox + 6);
  COptionUI::PaintText(painter);
  textPadding_ = saved;
}

}  // namespace DuiLib
