#include "ui/control_ui.h"

#include <QAccessible>
#include <QPainter>
#include <QWidget>

#include "ui/accessible_control.h"
#include "ui/accessible_events.h"
#include "ui/accessible_tree.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_messages.h"
#include "ui/render_engine.h"
#include "ui/ui_notify_types.h"

namespace DuiLib {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_ != nullptr) {
    manager_->ReapObjects(this);
  }
  if (accessibleId_ != 0) {
    QAccessible::deleteAccessibleInterface(accessibleId_);
  }
}

QString CControlUI::GetClass() const { return QStringLiteral("ControlUI"); }

void* CControlUI::GetInterface(const QString& name) {
  return name.compare(QLatin1String("Control"), Qt::CaseInsensitive) == 0 ? this : nullptr;
}

void CControlUI::SetText(const QString& text) {
  if (text_ == text) {
    return;
  }
  text_ = text;
  Invalidate();
  CAccessibleEvents::NameChanged(this);
}

void CControlUI::SetToolTip(const QString& tooltip) { ReplaceNameSource(tooltip_, tooltip); }

void CControlUI::SetAccessibleName(const QString& name) { ReplaceNameSource(accName_, name); }

void CControlUI::ReplaceNameSource(QString& source, const QString& value) {
  if (source == value) {
    return;
  }
  source = value;
  SyncNativeName();
  CAccessibleEvents::NameChanged(this);
}

bool CControlUI::IsAccessibleNode() const {
  if (accRole_.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
    return false;
  }
  // A bare control is a decoration unless it is given a role, a name or a tooltip.
  return !accRole_.isEmpty() || !accName_.isEmpty() || !tooltip_.isEmpty();
}

QAccessibleInterface* CControlUI::GetAccessible() {
  if (QWidget* widget = GetNativeWidget()) {
    SyncNativeName();
    return QAccessible::queryAccessibleInterface(widget);
  }
  if (accessibleId_ == 0) {
    accessibleId_ = QAccessible::registerAccessibleInterface(CreateAccessible());
  }
  return QAccessible::accessibleInterface(accessibleId_);
}

QAccessibleInterface* CControlUI::CreateAccessible() { return new CAccessibleControl(this); }

void CControlUI::SyncNativeName() {
  if (QWidget* widget = GetNativeWidget()) {
    const QString name = CAccessibleTree::NameOf(this);
    if (widget->accessibleName() != name) widget->setAccessibleName(name);
  }
}

QString CControlUI::GetVirtualWnd() const {
  for (const CControlUI* c = this; c != nullptr; c = c->parent_) {
    if (!c->virtualWnd_.isEmpty()) return c->virtualWnd_;
  }
  return QString();
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (init && manager != nullptr && !initialised_) {
    initialised_ = true;
    DoInit();
  }
}

CControlUI* CControlUI::FindControl(const std::function<bool(CControlUI*)>& visitor) {
  return visitor(this) ? this : nullptr;
}

CControlUI* CControlUI::FindControlAt(QPoint point) {
  if (!IsVisible() || !mouseEnabled_ || !rcItem_.contains(point)) {
    return nullptr;
  }
  return this;
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) {
    return;
  }
  const bool wasShown = IsVisible();
  visible_ = visible;
  if (!IsVisible() && focused_ && manager_ != nullptr) {
    manager_->SetFocus(nullptr);
  }
  if (wasShown != IsVisible()) {
    NeedParentUpdate();
    CAccessibleEvents::ShownChanged(this, IsVisible());
  }
}

void CControlUI::SetInternVisible(bool visible) {
  internVisible_ = visible;
  if (!IsVisible() && focused_ && manager_ != nullptr) {
    manager_->SetFocus(nullptr);
  }
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) {
    return;
  }
  enabled_ = enabled;
  Invalidate();
  QAccessible::State changed;
  changed.disabled = true;
  CAccessibleEvents::StateChanged(this, changed);
}

void CControlUI::SetFocusedState(bool focused) {
  focused_ = focused;
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_ != nullptr) {
    manager_->SetFocus(this);
  }
}

void CControlUI::SetPos(const QRect& rc) {
  if (rcItem_ == rc) {
    return;
  }
  Invalidate();
  rcItem_ = rc;
  Invalidate();
}

void CControlUI::SetFloat(bool f) {
  if (float_ == f) {
    return;
  }
  float_ = f;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  fixed_.cx = qMax(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  fixed_.cy = qMax(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
  min_.cx = qMax(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
  max_.cx = qMax(0, cx);
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
  min_.cy = qMax(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
  max_.cy = qMax(0, cy);
  NeedParentUpdate();
}

void CControlUI::SetPadding(const RECT& padding) {
  padding_ = padding;
  NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) { return fixed_; }

void CControlUI::SetBkColor(const QColor& c) {
  bkColor_ = c;
  Invalidate();
}

void CControlUI::SetBorderColor(const QColor& c) {
  borderColor_ = c;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  borderSize_ = qMax(0, size);
  Invalidate();
}

void CControlUI::SetBkImage(const QString& image) {
  bkImage_ = image;
  Invalidate();
}

void CControlUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("name")) {
    SetName(value);
  } else if (n == QLatin1String("text")) {
    SetText(value);
  } else if (n == QLatin1String("tooltip")) {
    SetToolTip(value);
  } else if (n == QLatin1String("accname")) {
    SetAccessibleName(value);
  } else if (n == QLatin1String("acclabel")) {
    accLabel_ = value;
  } else if (n == QLatin1String("accrole")) {
    accRole_ = value;
  } else if (n == QLatin1String("virtualwnd")) {
    virtualWnd_ = value;
  } else if (n == QLatin1String("userdata")) {
    SetUserData(value);
  } else if (n == QLatin1String("tag")) {
    SetTag(CAttributeParser::ParseInt(value).value_or(0));
  } else if (n == QLatin1String("visible")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetVisible(*b);
  } else if (n == QLatin1String("enabled")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetEnabled(*b);
  } else if (n == QLatin1String("mouse")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetMouseEnabled(*b);
  } else if (n == QLatin1String("float")) {
    if (auto b = CAttributeParser::ParseBool(value)) SetFloat(*b);
  } else if (n == QLatin1String("pos")) {
    if (auto r = CAttributeParser::ParseRect(value)) {
      floatOffset_ = QPoint(r->left, r->top);
      // "pos" also gives the size when right/bottom lie beyond left/top; otherwise the
      // size comes from width/height, whichever order they are written in.
      if (r->right > r->left) fixed_.cx = r->right - r->left;
      if (r->bottom > r->top) fixed_.cy = r->bottom - r->top;
      NeedParentUpdate();
    }
  } else if (n == QLatin1String("width")) {
    // An empty width removes a fixed width (the tab strip un-pins a tab this way).
    SetFixedWidth(value.trimmed().isEmpty() ? 0 : CAttributeParser::ParseInt(value).value_or(fixed_.cx));
  } else if (n == QLatin1String("height")) {
    SetFixedHeight(value.trimmed().isEmpty() ? 0 : CAttributeParser::ParseInt(value).value_or(fixed_.cy));
  } else if (n == QLatin1String("minwidth")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMinWidth(*v);
  } else if (n == QLatin1String("minheight")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMinHeight(*v);
  } else if (n == QLatin1String("maxwidth")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMaxWidth(*v);
  } else if (n == QLatin1String("maxheight")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetMaxHeight(*v);
  } else if (n == QLatin1String("padding")) {
    if (auto r = CAttributeParser::ParseRect(value)) SetPadding(*r);
  } else if (n == QLatin1String("bkcolor") || n == QLatin1String("bkcolor1")) {
    if (auto c = CAttributeParser::ParseColor(value)) SetBkColor(*c);
  } else if (n == QLatin1String("bkcolor2")) {
    if (auto c = CAttributeParser::ParseColor(value)) bkColor2_ = *c;
  } else if (n == QLatin1String("bordercolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) SetBorderColor(*c);
  } else if (n == QLatin1String("focusbordercolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) focusBorderColor_ = *c;
  } else if (n == QLatin1String("bordersize")) {
    if (auto v = CAttributeParser::ParseInt(value)) SetBorderSize(*v);
  } else if (n == QLatin1String("borderround")) {
    if (auto s = CAttributeParser::ParseSize(value)) borderRound_ = *s;
  } else if (n == QLatin1String("bkimage")) {
    SetBkImage(value);
  }
  Invalidate();
}

void CControlUI::ApplyAttributeList(const QString& list) {
  for (const auto& [name, value] : CAttributeParser::ParseList(list)) {
    SetAttribute(name, value);
  }
}

void CControlUI::DoPaint(QPainter& painter, const QRect& dirty) {
  if (!dirty.intersects(rcItem_)) {
    return;
  }
  PaintBkColor(painter);
  PaintBkImage(painter);
  PaintStatusImage(painter);
  PaintText(painter);
  PaintBorder(painter);
}

void CControlUI::PaintBkColor(QPainter& painter) {
  CRenderEngine::DrawColor(painter, rcItem_, bkColor_, bkColor2_, borderRound_);
}

void CControlUI::PaintBkImage(QPainter& painter) { DrawImage(painter, bkImage_); }

void CControlUI::PaintStatusImage(QPainter&) {}

void CControlUI::PaintText(QPainter&) {}

void CControlUI::PaintBorder(QPainter& painter) {
  const QColor& color = focused_ && focusBorderColor_.isValid() ? focusBorderColor_ : borderColor_;
  CRenderEngine::DrawBorder(painter, rcItem_, borderSize_, color, borderRound_);
}

bool CControlUI::DrawImage(QPainter& painter, const QString& image) {
  return CRenderEngine::DrawImage(painter, rcItem_, image);
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.type) {
    case UIEvent::kSetFocus:
      SetFocusedState(true);
      return;
    case UIEvent::kKillFocus:
      SetFocusedState(false);
      return;
    case UIEvent::kRButtonUp:
      if (rcItem_.contains(event.ptMouse) && enabled_) {
        Notify(kNotifyRightClick, 0, MakeLParam(event.ptMouse.x(), event.ptMouse.y()));
      }
      return;
    case UIEvent::kKeyDown:
      // The context-menu key, or Shift+F10, is the keyboard's right click.
      if (event.pSender == this && enabled_ &&
          (event.key == VK_APPS || (event.key == VK_F10 && (event.modifiers & MK_SHIFT) != 0))) {
        Notify(kNotifyRightClick, 0, MakeLParam(rcItem_.center().x(), rcItem_.center().y()));
        return;
      }
      if (parent_ != nullptr) {
        parent_->DoEvent(event);
      }
      return;
    case UIEvent::kScrollWheel:
      if (parent_ != nullptr) {
        parent_->DoEvent(event);
      }
      return;
    default:
      return;
  }
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::Invalidate() {
  if (manager_ != nullptr && IsVisible() && !rcItem_.isEmpty()) {
    manager_->Invalidate(rcItem_);
  }
}

void CControlUI::NeedUpdate() {
  if (manager_ != nullptr) {
    manager_->NeedUpdate();
  }
}

void CControlUI::NeedParentUpdate() { NeedUpdate(); }

void CControlUI::Notify(const QString& type, WPARAM wParam, LPARAM lParam) {
  if (manager_ != nullptr) {
    manager_->SendNotify(this, type, wParam, lParam);
  }
}

QFont CControlUI::ResolveFont(int index) const {
  if (manager_ == nullptr) {
    return QFont();
  }
  return manager_->GetFont(index);
}

}  // namespace DuiLib
