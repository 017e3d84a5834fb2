#include "protect/windows/protect_feature.h"

#include <vector>

#include "account/account_state.h"
#include "account/vpn_route.h"
#include "platform/debug_output.h"
#include "protect/domain_list_sync.h"
#include "protect/protect_channels.h"
#include "protect/windows/protect_wnd.h"
#include "protect/windows/sign_and_qr_commands.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/bus_requests.h"
#include "shell/mainwnd/feature_commands.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"

namespace tarvo {

namespace {

// The titles of the tabs the VPN does not carry while it is on, in every window.
std::vector<QString> TabsOutsideVpn(const BrowserWindows& windows, const AccountState& account) {
  std::vector<QString> titles;
  if (!account.Connection().proxyApplied) return titles;
  for (Pages* pages : windows.PageLists()) {
    for (const Page* page : pages->PagesOutsideVpn()) {
      const WString& title = page->GetTitle();
      titles.push_back(Q(title.empty() ? page->GetDisplayUrl() : title));
    }
  }
  return titles;
}

}  // namespace

void ProtectFeature::Register(FeatureHooks& hooks) {
  BrowserWindows& windows = hooks.windows;
  AccountState& account = hooks.account;
  AccountTaskQueue& tasks = hooks.accountTasks;
  UserDatabase& database = hooks.database;
  FeatureCommands& commands = windows.Features();
  commands.Register(Commands::kShowProtect, [&windows, &account, &tasks, &database](IBrowserWindow& window,
                                                                                    const CommandArgs&) {
    ProtectWnd panel(account, tasks, database, TabsOutsideVpn(windows, account));
    panel.Run(window.Handle());
  });
  // The right click opens the panel directly: the site-protection switch for
  // everyone, and the node choice while connected.
  commands.Register(Commands::kProtectButtonMenu,
                    [](IBrowserWindow& window, const CommandArgs&) { window.RunCommand(Commands::kShowProtect); });
  SignAndQrCommands::Register(windows, VpnRoute(account));
  BusRequests::ToEveryWindow(windows, ProtectChannels::kRefreshButton, Commands::kRefreshProtectButton);
  BusRequests::ToLastUsed(windows, ProtectChannels::kShowDialog, Commands::kShowProtect);
  BusRequests::ToLastUsed(windows, ProtectChannels::kShowVpn403, Commands::kShowVpnRefused);
  BusRequests::ToLastUsed(windows, ProtectChannels::kShowVpnFailed, Commands::kShowVpnFailed);
  // The domain list is read straight from the database by every lookup, so a fresh
  // list needs no reload step of its own.
  hooks.serviceSteps.push_back({"domain list", [&database] {
                                  if (DomainListSync(database).SyncDomainList() != 0) {
                                    DebugOutput("service loop: domain list not refreshed");
                                  }
                                }});
  hooks.serviceSteps.push_back({"mirror latency", [&database] { DomainListSync(database).MeasureDomainLatency(); }});
}

}  // namespace tarvo
