#include "account/windows/account_feature.h"

#include <atomic>
#include <chrono>
#include <memory>

#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "account/vpn_operations.h"
#include "account/windows/account_channels.h"
#include "account/windows/account_commands.h"
#include "account/windows/account_language_keys.h"
#include "account/windows/vpn_button.h"
#include "account/windows/vpn_notice_wnd.h"
#include "platform/debug_output.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/bus_requests.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/i_engine_port.h"
#include "shell/pages/pages.h"
#include "shell/windows/language_texts.h"

namespace tarvo {

namespace {

void RegisterVpnCommands(BrowserWindows& windows, AccountState& account, AccountTaskQueue& tasks,
                         UserDatabase& database) {
  FeatureCommands& commands = windows.Features();
  // One switch at a time: a second click while the first is at work is ignored.
  auto switching = std::make_shared<std::atomic<bool>>(false);
  commands.Register(Commands::kToggleVpn, [switching, &windows, &account, &tasks, &database](IBrowserWindow&,
                                                                                             const CommandArgs&) {
    if (switching->exchange(true)) return;
    for (IBrowserWindow* window : windows.Windows()) VpnButton::ShowWorking(*window);
    tasks.Post([switching, &account, &database] {
      VpnOperations(account, database).ToggleVpn();
      *switching = false;
    });
  });
  commands.Register(Commands::kRefreshProtectButton, [&windows, &account](IBrowserWindow&, const CommandArgs&) {
    const bool on = account.Connection().proxyApplied;
    int reloaded = 0;
    for (IBrowserWindow* window : windows.Windows()) {
      VpnButton::Draw(*window, on);
      reloaded += window->PageList().FollowVpn(on, true);
    }
    // The window used last is the one whose shield was clicked.
    const std::vector<IBrowserWindow*> open = windows.Windows();
    if (reloaded > 0 && !open.empty()) {
      VpnNoticeWnd::Show(open.front()->Handle(), open.front()->ControlScreenRect(QStringLiteral("protect_btn")),
                         LanguageText(AccountLanguageKeys::kPagesReloaded).arg(reloaded));
    }
  });
  windows.AddWindowHook([&account](IBrowserWindow& window) {
    const bool on = account.Connection().proxyApplied;
    VpnButton::Draw(window, on);
    window.PageList().FollowVpn(on, false);
  });
}

}  // namespace

void AccountFeature::Register(FeatureHooks& hooks) {
  AccountState& account = hooks.account;
  AccountTaskQueue& tasks = hooks.accountTasks;
  UserDatabase& database = hooks.database;
  for (IEnginePort* engine : hooks.engines) {
    // The VPN carries the one engine that takes a proxy from it.
    if (IVpnProxyEngine* proxy = engine->VpnProxy()) account.SetProxyEngine(proxy);
    // The proxy's challenge is answered on the interface thread: from the login as
    // known here, never with a request to the service.
    engine->SetLoginCheck([&account] { return AccountOperations::HoldsFreshLogin(account); });
  }
  AccountCommands::Register(hooks.windows.Features(), account, tasks, database);
  BusRequests::ToEveryWindow(hooks.windows, AccountChannels::kLogout, Commands::kLeaveUserCentre);
  RegisterVpnCommands(hooks.windows, account, tasks, database);
  // Through the task queue, so a check never overtakes a log-in or log-out.
  hooks.serviceSteps.push_back({"login check", [&account, &tasks, &database] {
                                  tasks.RunAndWait([&account, &database] {
                                    AccountOperations operations(account, database);
                                    operations.SendPendingLogout();
                                    operations.CheckLogin();
                                  });
                                }});
  hooks.serviceSteps.push_back({"vpn white list", [&account, &database] {
                                  if (VpnOperations(account, database).RefreshWhiteList() != 0) {
                                    DebugOutput("service loop: vpn white list not refreshed");
                                  }
                                }});
  hooks.endSteps.push_back([&account, &tasks, &database] {
    const AccountState::VpnConnection connection = account.Connection();
    if (!connection.connected && !connection.proxyApplied) return;
    tasks.Post([&account, &database] { VpnOperations(account, database).SwitchOff(); });
    if (!tasks.WaitIdle(std::chrono::milliseconds(kEndWaitMs))) {
      DebugOutput("vpn: the service did not hear the VPN go off in time");
    }
    // Whatever the service heard, the engine goes direct from here on.
    VpnOperations(account, database).RemoveProxy();
  });
}

}  // namespace tarvo
