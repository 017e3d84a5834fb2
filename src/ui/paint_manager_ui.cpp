#include "ui/paint_manager_ui.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "ui/accessible_events.h"
#include "ui/control_ui.h"
#include "ui/focus_navigator.h"
#include "ui/key_codes.h"
#include "ui/ui_messages.h"
#include "ui/ui_notify_types.h"
#include "ui/window_wnd.h"

namespace DuiLib {
namespace {

// Tooltips carry page titles, bookmark names and file names, and Qt takes any text
// that looks like HTML for markup: such a text is handed over as markup that shows it
// literally, on one line as plain text shows.
QString PlainTextForQt(const QString& text) {
  if (!Qt::mightBeRichText(text)) {
    return text;
  }
  return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

// Whether the control's native widget, or a widget inside it, has the keyboard.
bool NativeHoldsKeyboard(const CControlUI* control) {
  const QWidget* native = control->GetNativeWidget();
  const QWidget* focused = QApplication::focusWidget();
  return native != nullptr && focused != nullptr && (native == focused || native->isAncestorOf(focused));
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() : lifeToken_(std::make_unique<QObject>()) {}

CPaintManagerUI::~CPaintManagerUI() {
  // Controls may call back into the manager while they are torn down.
  std::unique_ptr<CControlUI> root = std::move(root_);
  focus_ = hot_ = pushed_ = rpushed_ = nullptr;
  root.reset();
  delayedCleanup_.clear();
}

void CPaintManagerUI::Init(CWindowWnd* window) { window_ = window; }

QWidget* CPaintManagerUI::GetHostWidget() const { return window_ != nullptr ? window_->GetWidget() : nullptr; }

HWND CPaintManagerUI::GetPaintWindow() const { return window_ != nullptr ? window_->GetHWND() : 0; }

bool CPaintManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
  ReleaseRoot();
  if (!root) {
    return false;
  }
  root_ = std::move(root);
  root_->SetManager(this, nullptr, true);
  NeedUpdate();
  return true;
}

void CPaintManagerUI::ReleaseRoot() {
  if (!root_) {
    return;
  }
  ReapObjects(root_.get());
  AddDelayedCleanup(std::move(root_));
}

CControlUI* CPaintManagerUI::FindControl(const QString& name) const {
  if (!root_ || name.isEmpty()) {
    return nullptr;
  }
  return root_->FindControl([&](CControlUI* c) { return c->GetName() == name; });
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const QString& name) const {
  if (parent == nullptr || name.isEmpty()) {
    return nullptr;
  }
  return parent->FindControl([&](CControlUI* c) { return c->GetName() == name; });
}

CControlUI* CPaintManagerUI::FindControl(QPoint clientPoint) const {
  return root_ ? root_->FindControlAt(clientPoint) : nullptr;
}

void CPaintManagerUI::SetWindowAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("size")) {
    if (auto s = CAttributeParser::ParseSize(value)) initSize_ = *s;
  } else if (n == QLatin1String("caption")) {
    if (auto r = CAttributeParser::ParseRect(value)) caption_ = *r;
  } else if (n == QLatin1String("sizebox")) {
    if (auto r = CAttributeParser::ParseRect(value)) sizeBox_ = *r;
  } else if (n == QLatin1String("mininfo")) {
    if (auto s = CAttributeParser::ParseSize(value)) minInfo_ = *s;
  } else if (n == QLatin1String("maxinfo")) {
    if (auto s = CAttributeParser::ParseSize(value)) maxInfo_ = *s;
  } else if (n == QLatin1String("defaultfontcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) defaultFontColor_ = *c;
  } else if (n == QLatin1String("disabledfontcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) defaultDisabledColor_ = *c;
  } else if (n == QLatin1String("selectedcolor")) {
    if (auto c = CAttributeParser::ParseColor(value)) defaultSelectedBkColor_ = *c;
  }
}

void CPaintManagerUI::AddFont(int id, const QString& family, int pixelSize, bool bold, bool underline, bool italic,
                              bool isDefault) {
  QFont font(family);
  font.setPixelSize(qMax(6, pixelSize));
  font.setBold(bold);
  font.setUnderline(underline);
  font.setItalic(italic);
  font.setStyleStrategy(QFont::PreferAntialias);
  fonts_.insert(id, font);
  if (isDefault || defaultFontId_ < 0) {
    defaultFontId_ = id;
  }
}

QFont CPaintManagerUI::GetFont(int id) const {
  const auto it = fonts_.constFind(id);
  return it != fonts_.constEnd() ? it.value() : GetDefaultFont();
}

QFont CPaintManagerUI::GetDefaultFont() const {
  const auto it = fonts_.constFind(defaultFontId_);
  if (it != fonts_.constEnd()) {
    return it.value();
  }
  QFont font = QApplication::font();
  font.setPixelSize(12);
  return font;
}

void CPaintManagerUI::AddDefaultAttributeList(const QString& tag, const QString& list) {
  defaultAttributes_.insert(tag.toLower(), list);
}

QString CPaintManagerUI::GetDefaultAttributeList(const QString& tag) const {
  return defaultAttributes_.value(tag.toLower());
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (notifier != nullptr && std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
    notifiers_.push_back(notifier);
  }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  notifiers_.erase(std::remove(notifiers_.begin(), notifiers_.end(), notifier), notifiers_.end());
}

void CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  if (filter != nullptr && std::find(preFilters_.begin(), preFilters_.end(), filter) == preFilters_.end()) {
    preFilters_.push_back(filter);
  }
}

void CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  preFilters_.erase(std::remove(preFilters_.begin(), preFilters_.end(), filter), preFilters_.end());
}

void CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* translator) {
  if (translator != nullptr && std::find(translators_.begin(), translators_.end(), translator) == translators_.end()) {
    translators_.push_back(translator);
  }
}

void CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
  translators_.erase(std::remove(translators_.begin(), translators_.end(), translator), translators_.end());
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const QString& type, WPARAM wParam, LPARAM lParam, bool async) {
  TNotifyUI msg{type, sender, wParam, lParam, QPoint()};
  if (QWidget* host = GetHostWidget()) {
    msg.ptMouse = host->mapFromGlobal(QCursor::pos());
  }
  if (!async) {
    SendNotify(msg);
    return;
  }
  QTimer::singleShot(0, lifeToken_.get(), [this, msg]() mutable {
    if (msg.pSender == nullptr || ContainsControl(msg.pSender)) {
      SendNotify(msg);
    }
  });
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg) {
  // A listener may unregister itself (or others) while being told.
  const std::vector<INotifyUI*> listeners = notifiers_;
  for (INotifyUI* listener : listeners) {
    if (std::find(notifiers_.begin(), notifiers_.end(), listener) != notifiers_.end()) {
      listener->Notify(msg);
    }
  }
}

LRESULT CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) {
  const std::vector<IMessageFilterUI*> filters = preFilters_;
  for (IMessageFilterUI* filter : filters) {
    if (std::find(preFilters_.begin(), preFilters_.end(), filter) == preFilters_.end()) {
      continue;
    }
    handled = false;
    const LRESULT result = filter->MessageHandler(uMsg, wParam, lParam, handled);
    if (handled) {
      return result;
    }
  }
  handled = false;
  return 0;
}

bool CPaintManagerUI::TranslateAccelerator(MSG* msg) {
  const std::vector<ITranslateAccelerator*> translators = translators_;
  for (ITranslateAccelerator* translator : translators) {
    if (translator->TranslateAccelerator(msg) == S_OK) {
      return true;
    }
  }
  return false;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (changingFocus_) {
    return;
  }
  if (control == focus_) {
    // A hosted widget may have lost the keyboard to one no control stands for (a
    // click into a page's view); asked again, the control takes it back.
    if (control != nullptr && control->GetNativeWidget() != nullptr && !NativeHoldsKeyboard(control)) {
      TEventUI event{UIEvent::kSetFocus, control};
      control->DoEvent(event);
    }
    return;
  }
  if (control != nullptr && !ContainsControl(control)) {
    return;
  }
  // Moving Qt's focus below makes native widgets report focus changes of their own;
  // those are echoes of this call and are ignored while it runs.
  changingFocus_ = true;
  CControlUI* old = focus_;
  focus_ = nullptr;
  if (old != nullptr) {
    Invalidate(FocusRingRect(old));
    TEventUI event{UIEvent::kKillFocus, old};
    old->DoEvent(event);
  }
  CControlUI* next = nullptr;
  if (control != nullptr && control->IsVisible() && control->IsEnabled() && ContainsControl(control)) {
    next = control;
    focus_ = control;
    Invalidate(FocusRingRect(control));
    control->SyncNativeName();
    // Keys go to the window for windowless controls; a control with a native widget
    // moves the keyboard focus on into it when it hears kSetFocus.
    if (QWidget* host = GetHostWidget(); host != nullptr && !host->hasFocus()) {
      host->setFocus(Qt::OtherFocusReason);
    }
    TEventUI event{UIEvent::kSetFocus, control};
    control->DoEvent(event);
  }
  changingFocus_ = false;
  if (old != nullptr) {
    SendNotify(old, kNotifyKillFocus);
  }
  if (next != nullptr && focus_ == next) {
    CAccessibleEvents::Focus(next);
    SendNotify(next, kNotifySetFocus);
  }
}

CControlUI* CPaintManagerUI::KeyboardControl() const {
  if (focus_ != nullptr || !root_) {
    return focus_;
  }
  const QWidget* focused = QApplication::focusWidget();
  if (focused == nullptr) {
    return nullptr;
  }
  return root_->FindControl([focused](CControlUI* c) {
    const QWidget* native = c->GetNativeWidget();
    return native != nullptr && (native == focused || native->isAncestorOf(focused));
  });
}

void CPaintManagerUI::SetKeyboardFocus(bool keyboard) {
  if (keyboardFocus_ == keyboard) {
    return;
  }
  keyboardFocus_ = keyboard;
  if (focus_ != nullptr) Invalidate(FocusRingRect(focus_));
}

QRect CPaintManagerUI::FocusRingRect(const CControlUI* control) {
  return control->GetPos().adjusted(-3, -3, 3, 3);
}

void CPaintManagerUI::PaintFocusRing(QPainter& painter) {
  QWidget* host = GetHostWidget();
  if (!keyboardFocus_ || focus_ == nullptr || !focus_->IsVisible() || host == nullptr || !host->isActiveWindow()) {
    return;
  }
  // A hosted view (a page) fills its control and shows its own focus.
  const bool hostedView = focus_->GetInterface(QStringLiteral("NativeHost")) != nullptr;
  const bool holdsKeyboard = focus_->GetNativeWidget() != nullptr ? NativeHoldsKeyboard(focus_) : host->hasFocus();
  if (hostedView || !holdsKeyboard) {
    return;
  }
  // The ring stays inside what the control's ancestors show (a row scrolled half away).
  QRect clip = FocusRingRect(focus_);
  for (const CControlUI* p = focus_->GetParent(); p != nullptr; p = p->GetParent()) {
    clip &= p->GetPos().adjusted(-3, -3, 3, 3);
  }
  if (clip.isEmpty()) {
    return;
  }
  painter.save();
  painter.setClipRect(clip);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  // A light line inside a strong one reads on light and dark backgrounds alike.
  const QRectF ring = QRectF(focus_->GetPos()).adjusted(-1.5, -1.5, 1.5, 1.5);
  painter.setPen(QPen(QColor(0x1A, 0x5C, 0xE0), 2));
  painter.drawRoundedRect(ring, 4, 4);
  painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 0xC0), 1));
  painter.drawRoundedRect(ring.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
  painter.restore();
}

bool CPaintManagerUI::ContainsControl(CControlUI* control) const {
  if (!root_ || control == nullptr) {
    return false;
  }
  return root_->FindControl([control](CControlUI* c) { return c == control; }) != nullptr;
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (control == nullptr) {
    return;
  }
  const auto inSubtree = [control](CControlUI* c) {
    for (CControlUI* p = c; p != nullptr; p = p->GetParent()) {
      if (p == control) return true;
    }
    return false;
  };
  if (focus_ != nullptr && inSubtree(focus_)) focus_ = nullptr;
  if (hot_ != nullptr && inSubtree(hot_)) hot_ = nullptr;
  if (pushed_ != nullptr && inSubtree(pushed_)) pushed_ = nullptr;
  if (rpushed_ != nullptr && inSubtree(rpushed_)) rpushed_ = nullptr;
}

void CPaintManagerUI::AddDelayedCleanup(std::unique_ptr<CControlUI> control) {
  if (!control) {
    return;
  }
  delayedCleanup_.push_back(std::move(control));
  if (!cleanupScheduled_) {
    cleanupScheduled_ = true;
    QTimer::singleShot(0, lifeToken_.get(), [this] { FlushCleanup(); });
  }
}

void CPaintManagerUI::FlushCleanup() {
  cleanupScheduled_ = false;
  std::vector<std::unique_ptr<CControlUI>> doomed = std::move(delayedCleanup_);
  delayedCleanup_.clear();
  doomed.clear();
}

void CPaintManagerUI::NeedUpdate() {
  needLayout_ = true;
  Invalidate();
}

void CPaintManagerUI::Invalidate(const QRect& rc) {
  if (QWidget* host = GetHostWidget()) {
    host->update(rc);
  }
}

void CPaintManagerUI::Invalidate() {
  if (QWidget* host = GetHostWidget()) {
    host->update();
  }
}

void CPaintManagerUI::UpdateLayout() {
  QWidget* host = GetHostWidget();
  if (!root_ || host == nullptr) {
    return;
  }
  const QRect client = host->rect();
  if (needLayout_ || client != laidOutRect_) {
    needLayout_ = false;
    laidOutRect_ = client;
    root_->SetPos(client);
    // Layout itself asks for more layout (sizes change as children settle); that
    // request is satisfied by the pass just made.
    needLayout_ = false;
  }
}

void CPaintManagerUI::Paint(QPainter& painter, const QRect& dirty) {
  UpdateLayout();
  if (root_) {
    root_->DoPaint(painter, dirty);
    PaintFocusRing(painter);
  }
}

void CPaintManagerUI::SetHot(CControlUI* control, QPoint pt) {
  if (control == hot_) {
    return;
  }
  if (hot_ != nullptr) {
    TEventUI leave{UIEvent::kMouseLeave, hot_, pt};
    hot_->DoEvent(leave);
  }
  hot_ = control;
  if (hot_ != nullptr) {
    TEventUI enter{UIEvent::kMouseEnter, hot_, pt};
    hot_->DoEvent(enter);
  }
}

void CPaintManagerUI::DispatchMouse(QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  const QPoint pt = me->position().toPoint();
  unsigned mods = KeyModifierBits(me->modifiers());
  TEventUI ev;
  ev.ptMouse = pt;
  ev.modifiers = mods;
  switch (event->type()) {
    case QEvent::MouseMove: {
      CControlUI* target = pushed_ != nullptr ? pushed_ : FindControl(pt);
      SetHot(pushed_ != nullptr ? hot_ : FindControl(pt), pt);
      if (target != nullptr) {
        ev.type = UIEvent::kMouseMove;
        ev.pSender = target;
        target->DoEvent(ev);
      }
      return;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      CControlUI* target = FindControl(pt);
      if (target == nullptr) return;
      const bool left = me->button() == Qt::LeftButton;
      // A click ends the keyboard's turn: no ring from now on.
      SetKeyboardFocus(false);
      if (left) {
        pushed_ = target;
        if (target->IsFocusable() || focus_ != nullptr) {
          SetFocus(target->IsFocusable() ? target : nullptr);
        }
        ev.type = event->type() == QEvent::MouseButtonDblClick ? UIEvent::kDblClick : UIEvent::kButtonDown;
      } else if (me->button() == Qt::RightButton) {
        rpushed_ = target;
        ev.type = UIEvent::kRButtonDown;
      } else {
        return;
      }
      ev.pSender = target;
      target->DoEvent(ev);
      return;
    }
    case QEvent::MouseButtonRelease: {
      CControlUI* target = nullptr;
      if (me->button() == Qt::LeftButton) {
        target = pushed_;
        pushed_ = nullptr;
        ev.type = UIEvent::kButtonUp;
      } else if (me->button() == Qt::RightButton) {
        target = rpushed_;
        rpushed_ = nullptr;
        ev.type = UIEvent::kRButtonUp;
      }
      if (target != nullptr) {
        ev.pSender = target;
        target->DoEvent(ev);
      }
      return;
    }
    default:
      return;
  }
}

bool CPaintManagerUI::HandleHostEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
      DispatchMouse(event);
      return true;
    case QEvent::Leave:
      if (pushed_ == nullptr) SetHot(nullptr, QPoint());
      return false;
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(event);
      CControlUI* target = FindControl(we->position().toPoint());
      if (target != nullptr) {
        TEventUI ev{UIEvent::kScrollWheel, target, we->position().toPoint()};
        ev.wheelDelta = we->angleDelta().y() != 0 ? we->angleDelta().y() : we->angleDelta().x();
        ev.modifiers = KeyModifierBits(we->modifiers());
        target->DoEvent(ev);
      }
      return true;
    }
    case QEvent::ToolTip: {
      auto* he = static_cast<QHelpEvent*>(event);
      CControlUI* target = FindControl(he->pos());
      // Controls that let the mouse through still lend their tooltip to the parent.
      while (target != nullptr && target->GetToolTip().isEmpty()) target = target->GetParent();
      if (target != nullptr) {
        QToolTip::showText(he->globalPos(), PlainTextForQt(target->GetToolTip()), GetHostWidget(), target->GetPos());
      } else {
        QToolTip::hideText();
      }
      return true;
    }
    case QEvent::FocusOut: {
      // The keyboard went from the windowless controls to a widget of the window that
      // no control hands it to (a click into a page or a field): no control has it now.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (!changingFocus_ && focus_ != nullptr && focus_->GetNativeWidget() == nullptr &&
          reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        SetFocus(nullptr);
      }
      if (focus_ != nullptr) Invalidate(FocusRingRect(focus_));
      return false;
    }
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      // The focus ring shows only while the window and the control hold the keyboard.
      if (focus_ != nullptr) Invalidate(FocusRingRect(focus_));
      return false;
    default:
      return false;
  }
}

bool CPaintManagerUI::IsKeyFromNativeChild(const QEvent* event) const {
  return event == childKeyEvent_ && QApplication::focusWidget() == childKeyWidget_;
}

bool CPaintManagerUI::HandleKeyPress(QKeyEvent* event, bool fromNativeChild) {
  childKeyEvent_ = fromNativeChild ? event : nullptr;
  childKeyWidget_ = fromNativeChild ? QApplication::focusWidget() : nullptr;
  const unsigned vk = VirtualKeyFromQtKey(event->key());
  const unsigned mods = KeyModifierBits(event->modifiers());
  if (vk == 0) {
    return false;
  }
  SetKeyboardFocus(true);
  MSG msg{GetPaintWindow(), (mods & MK_ALT) != 0 ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, static_cast<LPARAM>(mods)};
  if (TranslateAccelerator(&msg)) {
    return true;
  }
  if (window_ != nullptr) {
    bool handled = false;
    window_->DispatchKeyMessage(msg.message, vk, mods, handled);
    if (handled) {
      return true;
    }
  }
  CFocusNavigator navigator(*this);
  if (vk == VK_TAB && (mods & (MK_CONTROL | MK_ALT)) == 0) {
    navigator.MoveFocus((mods & MK_SHIFT) == 0);
    return true;
  }
  if (!fromNativeChild && focus_ == nullptr && (vk == VK_DOWN || vk == VK_UP) && navigator.EnterMenu(vk == VK_DOWN)) {
    return true;
  }
  if (!fromNativeChild && focus_ != nullptr) {
    TEventUI ev{UIEvent::kKeyDown, focus_};
    ev.key = vk;
    ev.modifiers = mods;
    focus_->DoEvent(ev);
    return true;
  }
  return false;
}

}  // namespace DuiLib
