#include "shell/addressbar/search_engine_wnd.h"

#include <array>

#include "shell/addressbar/address_bar_language_keys.h"
#include "shell/windows/language_texts.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {
// The buttons in the order of the results they give.
const std::array<QString, 4> kEngineButtons = {QStringLiteral("baidu_btn"), QStringLiteral("so_btn"),
                                               QStringLiteral("sogou_btn"), QStringLiteral("google_btn")};
}  // namespace

int SearchEngineWnd::Choose(DuiLib::HWND owner, QPoint screenTopLeft) {
  if (Create(owner, QStringLiteral("search_engine"), DuiLib::WS_POPUP,
             DuiLib::WS_EX_TOOLWINDOW | DuiLib::WS_EX_ANCHORED_POPUP,
             screenTopLeft.x(), screenTopLeft.y()) == 0) {
    return kResultNone;
  }
  return ShowModal();
}

QPoint SearchEngineWnd::TopLeftUnder(const QRect& engineButtonOnScreen) {
  constexpr int kGapBelowButton = 3;
  return QPoint(engineButtonOnScreen.x(), engineButtonOnScreen.y() + engineButtonOnScreen.height() + kGapBelowButton);
}

void SearchEngineWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    FillTexts();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    const QString& name = msg.pSender->GetName();
    for (size_t i = 0; i < kEngineButtons.size(); ++i) {
      if (name == kEngineButtons[i]) {
        Close(static_cast<int>(i));
        return;
      }
    }
    if (name == QLatin1String("cancel_btn")) Close(kResultCancel);
  }
  WindowImplBase::Notify(msg);
}

void SearchEngineWnd::FillTexts() {
  for (size_t i = 0; i < kEngineButtons.size(); ++i) {
    SetLanguageText(FindControl(kEngineButtons[i]), AddressBarLanguageKeys::kEngineButtonTexts[i]);
  }
}

bool SearchEngineWnd::ResponseDefaultKeyEvent(DuiLib::WPARAM key) {
  if (key == DuiLib::VK_ESCAPE) {
    Close(kResultNone);
    return true;
  }
  return false;
}

DuiLib::LRESULT SearchEngineWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM,
                                             bool& bHandled) {
  // A pop-up: clicking elsewhere dismisses it like Escape.
  if (uMsg == DuiLib::WM_KILLFOCUS && wParam != GetHWND()) {
    Close(kResultNone);
    bHandled = true;
  }
  return 0;
}

}  // namespace tarvo
