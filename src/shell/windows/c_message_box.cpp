#include "shell/windows/c_message_box.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {
constexpr int kAccepted = DuiLib::IDOK;
constexpr int kRefused = DuiLib::IDCANCEL;
}  // namespace

bool CMessageBox::Show(DuiLib::HWND parent, const QString& text, bool withCancel) {
  CMessageBox box(text, withCancel);
  if (box.Create(parent, QStringLiteral("Message"), DuiLib::WS_POPUP | DuiLib::WS_VISIBLE | DuiLib::WS_OVERLAPPEDWINDOW,
                 DuiLib::WS_EX_TOPMOST) == 0) {
    return false;
  }
  box.CentreOnMonitor(parent);
  return box.ShowModal() == kAccepted;
}

void CMessageBox::CentreOnMonitor(DuiLib::HWND parent) {
  const DuiLib::CWindowWnd* owner = parent != 0 ? DuiLib::CWindowRegistry::Instance().Find(parent) : nullptr;
  const QPoint near = owner != nullptr ? owner->GetWindowRect().center() : QCursor::pos();
  const QScreen* screen = QGuiApplication::screenAt(near);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect placed = GetWindowRect();
  placed.moveCenter(screen->availableGeometry().center());
  SetWindowRect(placed);
}

void CMessageBox::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    const QString& name = msg.pSender->GetName();
    if (name == QLatin1String("ensure_btn")) {
      Close(kAccepted);
    } else if (name == QLatin1String("cancel_btn") || name == QLatin1String("cancel_btn_btn")) {
      Close(kRefused);
    }
  }
  WindowImplBase::Notify(msg);
}

void CMessageBox::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  FillLanguageTexts(*this, WindowsLanguageKeys::kMessageBox);
  if (auto* message = FindControl(QStringLiteral("message"))) message->SetText(text_);
  for (const char* name : {"cancel_btn_btn", "cancel_btn_sp"}) {
    if (auto* control = FindControl(QString::fromLatin1(name))) control->SetVisible(withCancel_);
  }
  GrowForText();
}

void CMessageBox::GrowForText() {
  // The skin's box holds a few lines; a longer message makes the box taller, so no
  // line of it is cut off.
  constexpr int kTextFont = 3;
  constexpr int kTextBesideIconAndMargins = 20 + 32 + 14 + 20;
  constexpr int kRoomForText = 72;
  QRect placed = GetWindowRect();
  const QFontMetrics metrics(m_pm.GetFont(kTextFont));
  // The control's own top padding and line spacing take about a line more than the
  // bare text.
  const int needed =
      metrics.boundingRect(QRect(0, 0, placed.width() - kTextBesideIconAndMargins, 100000), Qt::TextWordWrap, text_)
          .height() +
      metrics.lineSpacing();
  if (needed <= kRoomForText) return;
  placed.setHeight(placed.height() + needed - kRoomForText);
  SetWindowRect(placed);
}

bool CMessageBox::ResponseDefaultKeyEvent(DuiLib::WPARAM key) {
  if (key == DuiLib::VK_ESCAPE) {
    Close(kRefused);
    return true;
  }
  return false;
}

}  // namespace tarvo
