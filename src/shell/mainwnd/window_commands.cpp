#include "shell/mainwnd/window_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include "settings/language_manager.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/command_router.h"
#include "shell/mainwnd/full_screen_controller.h"
#include "shell/mainwnd/i_main_window.h"
#include "shell/mainwnd/main_window_language_keys.h"
#include "shell/pages/i_tab_body.h"
#include "shell/pages/page.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/i_main_menu_owner.h"
#include "shell/windows/main_right_menu_wnd.h"
#include "shell/windows/menu_wnd.h"
#include "ui/ui_messages.h"
#include "ui/window_impl_base.h"

namespace tarvo {

namespace C = Commands;
using namespace DuiLib;

WindowCommands::WindowCommands(IMainWindow& window, CommandRouter& router) : window_(window) {
  IMainWindow* w = &window;
  router.Register(C::kMinimize, [w](const CommandArgs&) { w->Frame().SendMessage(WM_SYSCOMMAND, SC_MINIMIZE); });
  router.Register(C::kMaximize, [w](const CommandArgs&) { w->Frame().SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE); });
  router.Register(C::kRestore, [w](const CommandArgs&) { w->Frame().SendMessage(WM_SYSCOMMAND, SC_RESTORE); });
  router.Register(C::kCloseWindow, [w](const CommandArgs&) { w->Frame().Close(IDOK); });
  router.Register(C::kShowMainMenu, [this](const CommandArgs&) { ShowMainMenu(); });
  router.Register(C::kShowFavoriteBar, [w](const CommandArgs&) { w->ShowFavoriteBar(); });
  router.Register(C::kHideFavoriteBar, [w](const CommandArgs&) { w->HideFavoriteBar(); });
  router.Register(C::kToggleFavoriteBar, [w](const CommandArgs&) {
    w->IsFavoriteBarShown() ? w->HideFavoriteBar() : w->ShowFavoriteBar();
  });
  router.Register(C::kToggleFullScreen, [w](const CommandArgs&) {
    if (FullScreenController* fullScreen = w->FullScreen()) fullScreen->Toggle();
  });
  router.Register(C::kEnterFullScreen, [w](const CommandArgs&) {
    if (FullScreenController* fullScreen = w->FullScreen(); fullScreen != nullptr && !fullScreen->IsActive()) {
      fullScreen->Enter();
    }
  });
  router.Register(C::kLeaveFullScreen, [w](const CommandArgs&) {
    if (FullScreenController* fullScreen = w->FullScreen()) fullScreen->Leave();
  });
  router.Register(C::kFocusAddressBar, [w](const CommandArgs&) { w->FocusAddressBar(); });
  router.Register(C::kNothing, [](const CommandArgs&) {});
  router.Register(C::kCopyUrl, [](const CommandArgs& args) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(Q(args.text));
  });
  router.Register(C::kShowVpnRefused, [this](const CommandArgs&) { ShowMessage(kVpnRefusedMessage); });
  router.Register(C::kShowVpnFailed, [this](const CommandArgs&) { ShowMessage(kVpnFailedMessage); });
  router.Register(C::kShowCompatEngineFailed, [this](const CommandArgs&) {
    ShowMessage(QGuiApplication::platformName() == QLatin1String("xcb") ? kCompatEngineFailedMessage
                                                                        : kCompatEngineNeedsX11Message);
  });
  router.Register(C::kFocusNextPane, [this](const CommandArgs&) { FocusNextPane(); });
}

void WindowCommands::FocusNextPane() {
  Page* page = window_.CurrentPage();
  QWidget* body = page != nullptr && page->Body() != nullptr ? page->Body()->GetWindow() : nullptr;
  const QWidget* focused = QApplication::focusWidget();
  const bool inPage = body != nullptr && focused != nullptr && (focused == body || body->isAncestorOf(focused));
  if (!inPage && body != nullptr && body->isVisible()) {
    if (CControlUI* bodyBar = window_.Control(QStringLiteral("body_bar"))) {
      window_.Frame().GetPaintManager().SetKeyboardFocus(true);
      bodyBar->SetFocus();
      return;
    }
  }
  window_.FocusAddressBar();
}

void WindowCommands::ShowMainMenu() {
  const QRect logo = window_.ControlScreenRect(QStringLiteral("logo_btn"));
  if (logo.isEmpty()) return;
  auto* menu = new MenuWnd(window_.Handle(), window_.MenuOwner());
  menu->Popup(window_.Handle(), logo.bottomLeft());
}

void WindowCommands::ShowCaptionMenu(QPoint screenPoint) {
  auto* menu = new MainRightMenuWnd(window_.Handle());
  menu->Popup(window_.Handle(), screenPoint);
}

void WindowCommands::ShowMessage(WStringView languageKey) {
  CMessageBox::Show(window_.Handle(), Q(LanguageManager::Instance().GetText(languageKey)), false);
}

}  // namespace tarvo
