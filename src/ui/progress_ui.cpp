#include "ui/progress_ui.h"

#include <QPainter>

#include "ui/accessible_events.h"
#include "ui/accessible_range.h"
#include "ui/image_attribute.h"
#include "ui/render_engine.h"
#include "ui/resource_manager.h"

namespace DuiLib {

CProgressUI::CProgressUI() { align_ = Qt::AlignHCenter | Qt::AlignVCenter; }

void* CProgressUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Progress"), Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  SetValue(value_);
}

void CProgressUI::SetMaxValue(int v) {
  max_ = qMax(v, min_);
  SetValue(value_);
}

void CProgressUI::SetValue(int v) {
  const int old = value_;
  value_ = qBound(min_, v, max_);
  Invalidate();
  if (old != value_) CAccessibleEvents::ValueChanged(this, value_);
}

QAccessibleInterface* CProgressUI::CreateAccessible() { return new CAccessibleRange(this); }

void CProgressUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("min")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMinValue(*v);
  } else if (n == QLatin1String("max")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMaxValue(*v);
  } else if (n == QLatin1String("value")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetValue(*v);
  } else if (n == QLatin1String("hor") || n == QLatin1String("horizontal")) {
    horizontal_ = CAttributeParser::ParseBool(value).value_or(horizontal_);
  } else if (n == QLatin1String("foreimage")) {
    foreImage_ = value;
  } else if (n == QLatin1String("forecolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) foreColor_ = *c;
  } else {
    CLabelUI::SetAttribute(name, value);
  }
  Invalidate();
}

QRect CProgressUI::FilledRect() const {
  if (max_ <= min_) {
    return QRect();
  }
  const double fraction = double(value_ - min_) / double(max_ - min_);
  if (horizontal_) {
    return QRect(rcItem_.left(), rcItem_.top(), int(rcItem_.width() * fraction), rcItem_.height());
  }
  const int h = int(rcItem_.height() * fraction);
  return QRect(rcItem_.left(), rcItem_.bottom() + 1 - h, rcItem_.width(), h);
}

void CProgressUI::PaintStatusImage(QPainter& painter) {
  const QRect filled = FilledRect();
  if (filled.isEmpty()) {
    return;
  }
  CImageAttribute image = CImageAttribute::Parse(foreImage_);
  const QPixmap pixmap = CResourceManager::Instance().GetImage(image.file, painter.device()->devicePixelRatioF());
  if (!pixmap.isNull()) {
    // The fore image is stretched over the filled part only.
    CRenderEngine::DrawImage(painter, filled, pixmap, image);
  } else {
    CRenderEngine::DrawColor(painter, filled, foreColor_.isValid() ? foreColor_ : QColor(0x2F, 0x6F, 0xED));
  }
}

}  // namespace DuiLib
