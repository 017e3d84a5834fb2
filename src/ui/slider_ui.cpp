#include "ui/slider_ui.h"

#include <QPainter>

#include "ui/render_engine.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

void* CSliderUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Slider"), Qt::CaseInsensitive) == 0) return this;
  return CProgressUI::GetInterface(name);
}

QRect CSliderUI::GetThumbRect() const {
  const double fraction = max_ > min_ ? double(value_ - min_) / double(max_ - min_) : 0.0;
  if (horizontal_) {
    const int x = rcItem_.left() + int((rcItem_.width() - thumb_.cx) * fraction);
    return QRect(x, rcItem_.center().y() - thumb_.cy / 2, thumb_.cx, thumb_.cy);
  }
  const int y = rcItem_.bottom() + 1 - thumb_.cy - int((rcItem_.height() - thumb_.cy) * fraction);
  return QRect(rcItem_.center().x() - thumb_.cx / 2, y, thumb_.cx, thumb_.cy);
}

void CSliderUI::MoveTo(QPoint pt) {
  const int span = horizontal_ ? rcItem_.width() - thumb_.cx : rcItem_.height() - thumb_.cy;
  if (span <= 0) {
    return;
  }
  const int offset = horizontal_ ? pt.x() - rcItem_.left() - thumb_.cx / 2
                                 : rcItem_.bottom() + 1 - pt.y() - thumb_.cy / 2;
  int v = min_ + int(double(qBound(0, offset, span)) * (max_ - min_) / span + 0.5);
  v = min_ + (v - min_) / qMax(1, step_) * qMax(1, step_);
  ChangeValue(v);
}

void CSliderUI::ChangeValue(int value) {
  const int old = value_;
  SetValue(value);
  if (old != value_) Notify(kNotifyValueChanged, static_cast<WPARAM>(value_));
}

void CSliderUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) {
    return;
  }
  switch (event.type) {
    case UIEvent::kButtonDown:
    case UIEvent::kDblClick:
      dragging_ = true;
      MoveTo(event.ptMouse);
      return;
    case UIEvent::kMouseMove:
      if (dragging_) MoveTo(event.ptMouse);
      return;
    case UIEvent::kButtonUp:
      dragging_ = false;
      return;
    case UIEvent::kMouseEnter:
    case UIEvent::kMouseLeave:
      hot_ = event.type == UIEvent::kMouseEnter;
      Invalidate();
      return;
    case UIEvent::kKeyDown:
      if (event.key == VK_LEFT || event.key == VK_DOWN || event.key == VK_RIGHT || event.key == VK_UP) {
        ChangeValue(value_ + ((event.key == VK_LEFT || event.key == VK_DOWN) ? -step_ : step_));
        return;
      }
      if (event.key == VK_HOME || event.key == VK_END) {
        ChangeValue(event.key == VK_HOME ? min_ : max_);
        return;
      }
      break;
    default:
      break;
  }
  CProgressUI::DoEvent(event);
}

void CSliderUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("thumbsize")) {
    if (auto s = CAttributeParser::ParseSize(value)) thumb_ = *s;
  } else if (n == QLatin1String("thumbimage")) {
    thumbImage_ = value;
  } else if (n == QLatin1String("thumbhotimage")) {
    thumbHotImage_ = value;
  } else if (n == QLatin1String("step")) {
    step_ = qMax(1, CAttributeParser::ParseInt(value).value_or(step_));
  } else {
    CProgressUI::SetAttribute(name, value);
  }
}

void CSliderUI::PaintStatusImage(QPainter& painter) {
  CProgressUI::PaintStatusImage(painter);
  const QRect thumb = GetThumbRect();
  if ((hot_ || dragging_) && CRenderEngine::DrawImage(painter, thumb, thumbHotImage_)) {
    return;
  }
  if (CRenderEngine::DrawImage(painter, thumb, thumbImage_)) {
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0x2F, 0x6F, 0xED), 1.5));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(thumb).adjusted(1, 1, -1, -1));
  painter.restore();
}

}  // namespace DuiLib
