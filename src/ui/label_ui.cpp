#include "ui/label_ui.h"

#include <cmath>

#include <QFontMetrics>

#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"

namespace DuiLib {

void* CLabelUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Label"), Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextColor(const QColor& c) {
  textColor_ = c;
  Invalidate();
}

void CLabelUI::SetFont(int index) {
  font_ = index;
  Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& rc) {
  textPadding_ = rc;
  Invalidate();
}

void CLabelUI::SetTextAlign(int flags) {
  align_ = flags;
  Invalidate();
}

int CLabelUI::MeasureTextWidth() const {
  // The eliding of a drawn text measures it with fractions: a width rounded down by
  // the integer metrics would cut the last letter of a text that was measured to fit.
  const QFontMetricsF metrics(ResolveFont(font_));
  return static_cast<int>(std::ceil(metrics.horizontalAdvance(text_))) + 1 + textPadding_.left + textPadding_.right;
}

void CLabelUI::SetText(const QString& text) {
  const bool changed = text != GetText();
  CControlUI::SetText(text);
  if (changed && autoCalcWidth_) NeedParentUpdate();
}

bool CLabelUI::IsAccessibleNode() const {
  // Text is what a label is for, even while it has none yet.
  return accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) != 0;
}

SIZE CLabelUI::EstimateSize(SIZE available) {
  SIZE sz = CControlUI::EstimateSize(available);
  if (autoCalcWidth_ && manager_ != nullptr) {
    sz.cx = MeasureTextWidth();
  }
  return sz;
}

void CLabelUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("textcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) SetTextColor(*c);
  } else if (n == QLatin1String("disabledtextcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) SetDisabledTextColor(*c);
  } else if (n == QLatin1String("font")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetFont(*v);
  } else if (n == QLatin1String("textpadding")) {
    if (auto r = CAttributeParser::ParseRect(value)) SetTextPadding(*r);
  } else if (n == QLatin1String("align")) {
    int horizontal = Qt::AlignHCenter;
    if (value.contains(QLatin1String("left"))) horizontal = Qt::AlignLeft;
    if (value.contains(QLatin1String("right"))) horizontal = Qt::AlignRight;
    int vertical = align_ & Qt::AlignVertical_Mask;
    if (value.contains(QLatin1String("top"))) vertical = Qt::AlignTop;
    if (value.contains(QLatin1String("bottom"))) vertical = Qt::AlignBottom;
    if (value.contains(QLatin1String("vcenter"))) vertical = Qt::AlignVCenter;
    SetTextAlign(horizontal | vertical);
  } else if (n == QLatin1String("valign")) {
    int vertical = Qt::AlignVCenter;
    if (value.contains(QLatin1String("top"))) vertical = Qt::AlignTop;
    if (value.contains(QLatin1String("bottom"))) vertical = Qt::AlignBottom;
    SetTextAlign((align_ & Qt::AlignHorizontal_Mask) | vertical);
  } else if (n == QLatin1String("endellipsis")) {
    endEllipsis_ = CAttributeParser::ParseBool(value).value_or(endEllipsis_);
  } else if (n == QLatin1String("multiline") || n == QLatin1String("wordbreak")) {
    multiLine_ = CAttributeParser::ParseBool(value).value_or(multiLine_);
  } else if (n == QLatin1String("autocalcwidth")) {
    autoCalcWidth_ = CAttributeParser::ParseBool(value).value_or(autoCalcWidth_);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

QColor CLabelUI::EffectiveTextColor(const QColor& wanted) const {
  if (!IsEnabled()) {
    if (disabledTextColor_.isValid()) return disabledTextColor_;
    return manager_ != nullptr ? manager_->GetDefaultDisabledColor() : QColor(Qt::gray);
  }
  if (wanted.isValid()) return wanted;
  if (textColor_.isValid()) return textColor_;
  return manager_ != nullptr ? manager_->GetDefaultFontColor() : QColor(Qt::black);
}

void CLabelUI::DrawLabelText(QPainter& painter, const QString& text, const QColor& color) {
  const QRect rc = rcItem_.marginsRemoved(ToMargins(textPadding_));
  const int flags = align_ | (multiLine_ ? int(Qt::TextWordWrap) : 0);
  CRenderEngine::DrawText(painter, rc, text, EffectiveTextColor(color), ResolveFont(font_), flags, endEllipsis_);
}

void CLabelUI::PaintText(QPainter& painter) { DrawLabelText(painter, GetText(), QColor()); }

}  // namespace DuiLib
