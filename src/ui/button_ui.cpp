#include "ui/button_ui.h"

#include "ui/accessible_button.h"
#include "ui/paint_manager_ui.h"
#include "ui/render_engine.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

CButtonUI::CButtonUI() { align_ = Qt::AlignHCenter | Qt::AlignVCenter; }

void* CButtonUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("Button"), Qt::CaseInsensitive) == 0) return this;
  return CLabelUI::GetInterface(name);
}

QAccessibleInterface* CButtonUI::CreateAccessible() { return new CAccessibleButton(this); }

void CButtonUI::SetNormalImage(const QString& image) {
  normalImage_ = image;
  Invalidate();
}

void CButtonUI::SetHotImage(const QString& image) {
  hotImage_ = image;
  Invalidate();
}

void CButtonUI::SetPushedImage(const QString& image) {
  pushedImage_ = image;
  Invalidate();
}

void CButtonUI::SetFocusedImage(const QString& image) {
  focusedImage_ = image;
  Invalidate();
}

void CButtonUI::SetDisabledImage(const QString& image) {
  disabledImage_ = image;
  Invalidate();
}

void CButtonUI::SetForeImage(const QString& image) {
  foreImage_ = image;
  Invalidate();
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) {
    return false;
  }
  Notify(kNotifyClick);
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  if (!enabled) {
    hot_ = false;
    pushed_ = false;
  }
}

void CButtonUI::DoEvent(TEventUI& event) {
  if (!IsEnabled() && event.type != UIEvent::kScrollWheel) {
    return;
  }
  switch (event.type) {
    case UIEvent::kMouseEnter:
      hot_ = true;
      Invalidate();
      return;
    case UIEvent::kMouseLeave:
      hot_ = false;
      Invalidate();
      return;
    case UIEvent::kButtonDown:
    case UIEvent::kDblClick:
      if (rcItem_.contains(event.ptMouse)) {
        pushed_ = true;
        Invalidate();
      }
      return;
    case UIEvent::kMouseMove:
      if (pushed_) {
        Invalidate();
      }
      return;
    case UIEvent::kButtonUp:
      if (pushed_) {
        pushed_ = false;
        Invalidate();
        if (rcItem_.contains(event.ptMouse)) {
          Activate();
        }
      }
      return;
    case UIEvent::kKeyDown:
      if (event.key == VK_SPACE || event.key == VK_RETURN) {
        Activate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("normalimage")) {
    SetNormalImage(value);
  } else if (n == QLatin1String("hotimage")) {
    SetHotImage(value);
  } else if (n == QLatin1String("pushedimage")) {
    SetPushedImage(value);
  } else if (n == QLatin1String("focusedimage")) {
    SetFocusedImage(value);
  } else if (n == QLatin1String("disabledimage")) {
    SetDisabledImage(value);
  } else if (n == QLatin1String("foreimage")) {
    SetForeImage(value);
  } else if (n == QLatin1String("hotforeimage")) {
    hotForeImage_ = value;
  } else if (n == QLatin1String("hottextcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) hotTextColor_ = *c;
  } else if (n == QLatin1String("pushedtextcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) pushedTextColor_ = *c;
  } else if (n == QLatin1String("focusedtextcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) focusedTextColor_ = *c;
  } else if (n == QLatin1String("hotbkcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) hotBkColor_ = *c;
  } else if (n == QLatin1String("pushedbkcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) pushedBkColor_ = *c;
  } else {
    CLabelUI::SetAttribute(name, value);
  }
  Invalidate();
}

void CButtonUI::PaintBkColor(QPainter& painter) {
  QColor color = bkColor_;
  if (IsEnabled() && pushed_ && pushedBkColor_.isValid()) {
    color = pushedBkColor_;
  } else if (IsEnabled() && (hot_ || pushed_) && hotBkColor_.isValid()) {
    color = hotBkColor_;
  }
  CRenderEngine::DrawColor(painter, rcItem_, color, bkColor2_, borderRound_);
}

void CButtonUI::PaintStatusImage(QPainter& painter) {
  // The first image the state has wins; every state falls back to the normal image.
  bool drawn = false;
  if (!IsEnabled()) {
    drawn = DrawImage(painter, disabledImage_);
  } else if (pushed_) {
    drawn = DrawImage(painter, pushedImage_) || DrawImage(painter, hotImage_);
  } else if (hot_) {
    drawn = DrawImage(painter, hotImage_);
  } else if (focused_) {
    drawn = DrawImage(painter, focusedImage_);
  }
  if (!drawn) {
    DrawImage(painter, normalImage_);
  }
  if (hot_ && IsEnabled() && DrawImage(painter, hotForeImage_)) {
    return;
  }
  DrawImage(painter, foreImage_);
}

QColor CButtonUI::StateTextColor() const {
  if (pushed_ && pushedTextColor_.isValid()) return pushedTextColor_;
  if ((hot_ || pushed_) && hotTextColor_.isValid()) return hotTextColor_;
  if (focused_ && focusedTextColor_.isValid()) return focusedTextColor_;
  return QColor();
}

void CButtonUI::PaintText(QPainter& painter) { DrawLabelText(painter, GetText(), StateTextColor()); }

}  // namespace DuiLib
