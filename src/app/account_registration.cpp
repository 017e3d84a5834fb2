#include "app/account_registration.h"

#include <atomic>
#include <chrono>
#include <memory>

#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "account/vpn_operations.h"
#include "account/windows/account_commands.h"
#include "account/windows/account_language_keys.h"
#include "account/windows/vpn_button.h"
#include "account/windows/vpn_notice_wnd.h"
#include "app/feature_hooks.h"
#include "app/vpn_proxy_engine.h"
#include "platform/debug_output.h"
#include "engines/cef/web_client.h"
#include "protect/windows/protect_wnd.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/language_texts.h"

namespace tarvo {

namespace {

// The titles of the tabs the VPN does not carry while it is on, in every window.
std::vector<QString> TabsOutsideVpn(const BrowserWindows& windows) {
  std::vector<QString> titles;
  if (!AccountState::Instance().Connection().proxyApplied) return titles;
  for (Pages* pages : windows.PageLists()) {
    for (const Page* page : pages->PagesOutsideVpn()) {
      const WString& title = page->GetTitle();
      titles.push_back(Q(title.empty() ? page->GetDisplayUrl() : title));
    }
  }
  return titles;
}

void RegisterVpnCommands(BrowserWindows& windows) {
  FeatureCommands& commands = windows.Features();
  // One switch at a time: a second click while the first is at work is ignored.
  auto switching = std::make_shared<std::atomic<bool>>(false);
  commands.Register(Commands::kToggleVpn, [switching, &windows](IBrowserWindow&, const CommandArgs&) {
    if (switching->exchange(true)) return;
    for (IBrowserWindow* window : windows.Windows()) VpnButton::ShowWorking(*window);
    AccountTaskQueue::Instance().Post([switching] {
      VpnOperations().ToggleVpn();
      *switching = false;
    });
  });
  commands.Register(Commands::kShowProtect, [&windows](IBrowserWindow& window, const CommandArgs&) {
    ProtectWnd panel(TabsOutsideVpn(windows));
    panel.Run(window.Handle());
  });
  // The right click opens the panel directly: the site-protection switch for
  // everyone, and the node choice while connected.
  commands.Register(Commands::kProtectButtonMenu,
                    [](IBrowserWindow& window, const CommandArgs&) { window.RunCommand(Commands::kShowProtect); });
  commands.Register(Commands::kRefreshProtectButton, [&windows](IBrowserWindow&, const CommandArgs&) {
    const bool on = AccountState::Instance().Connection().proxyApplied;
    int reloaded = 0;
    for (IBrowserWindow* window : windows.Windows()) {
      VpnButton::Draw(*window);
      reloaded += window->PageList().FollowVpn(on, true);
    }
    // The window used last is the one whose shield was clicked.
    const std::vector<IBrowserWindow*> open = windows.Windows();
    if (reloaded > 0 && !open.empty()) {
      VpnNoticeWnd::Show(open.front()->Handle(), open.front()->ControlScreenRect(QStringLiteral("protect_btn")),
                         LanguageText(AccountLanguageKeys::kPagesReloaded).arg(reloaded));
    }
  });
  windows.AddWindowHook([](IBrowserWindow& window) {
    VpnButton::Draw(window);
    window.PageList().FollowVpn(AccountState::Instance().Connection().proxyApplied, false);
  });
}

}  // namespace

void AccountRegistration::Register(FeatureHooks& hooks) {
  // Never destroyed: engine callbacks and the account task queue may use it up to the end.
  AccountState::Instance().SetProxyEngine(new VpnProxyEngine());
  // The proxy's challenge is answered on the interface thread: from the login as
  // known here, never with a request to the service.
  ClientInstance()->SetLoginCheck([] { return AccountOperations::HoldsFreshLogin(); });
  AccountCommands::Register(hooks.windows.Features());
  RegisterVpnCommands(hooks.windows);
  // Through the task queue, so a check never overtakes a log-in or log-out.
  hooks.serviceSteps.push_back({"login check", [] {
                                  AccountTaskQueue::Instance().RunAndWait([] {
                                    AccountOperations operations;
                                    operations.SendPendingLogout();
                                    operations.CheckLogin();
                                  });
                                }});
  hooks.serviceSteps.push_back({"vpn white list", [] {
                                  if (VpnOperations().RefreshWhiteList() != 0) {
                                    DebugOutput("service loop: vpn white list not refreshed");
                                  }
                                }});
  hooks.endSteps.push_back([] {
    const AccountState::VpnConnection connection = AccountState::Instance().Connection();
    if (!connection.connected && !connection.proxyApplied) return;
    AccountTaskQueue& queue = AccountTaskQueue::Instance();
    queue.Post([] { VpnOperations().SwitchOff(); });
    if (!queue.WaitIdle(std::chrono::milliseconds(kEndWaitMs))) {
      DebugOutput("vpn: the service did not hear the VPN go off in time");
    }
    // Whatever the service heard, the engine goes direct from here on.
    VpnOperations().RemoveProxy();
  });
}

}  // namespace tarvo
