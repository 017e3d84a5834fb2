#include "shell/mainwnd/bus_requests.h"

#include "bus/bus_channels.h"
#include "bus/bus_poller.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/i_browser_window.h"

namespace tarvo {

namespace {

namespace C = Commands;
using namespace BusChannels;

void Run(const BusRequests::Target& target, unsigned command, CommandArgs args = {}) {
  if (IBrowserWindow* window = target()) window->RunCommand(command, args);
}

void OnUrl(BusPoller& poller, const UrlChannel& channel, unsigned command, const BusRequests::Target& target) {
  poller.On(channel, [target, command](UrlChannel::Owned url) {
    CommandArgs args;
    args.text = WString(url->View());
    Run(target, command, std::move(args));
  });
}

void OnUrls(BusPoller& poller, const UrlListChannel& channel, unsigned command, const BusRequests::Target& target) {
  poller.On(channel, [target, command](UrlListChannel::Owned urls) {
    CommandArgs args;
    args.urls = std::move(*urls);
    Run(target, command, std::move(args));
  });
}

void OnSignal(BusPoller& poller, const SignalChannel& channel, unsigned command, const BusRequests::Target& target) {
  poller.On(channel, [target, command] { Run(target, command); });
}

}  // namespace

void BusRequests::Install(BusPoller& poller, Target target) {
  OnUrl(poller, kWindowOpenUrl, C::kOpenInNewWindow, target);
  OnUrl(poller, kTabOpenUrl, C::kOpenInBackgroundTab, target);
  OnSignal(poller, kTabOpenHome, C::kOpenHome, target);
  OnUrls(poller, kTabOpenAllUrl, C::kOpenAllInTabs, target);
  OnSignal(poller, kTabOpenResetPassword, C::kOpenResetPassword, target);
  OnUrls(poller, kWindowOpenAllUrl, C::kOpenAllInNewWindow, target);
  OnUrl(poller, kClipboardCopyUrl, C::kCopyUrl, target);
  OnUrl(poller, kShowFavorWnd, C::kAddFavourite, target);
  OnSignal(poller, kHideFavorBar, C::kHideFavorBar, target);
  OnSignal(poller, kReflashFavorBar, C::kShowFavorBar, target);
  poller.On(kShowRenameWnd, [target](FavouriteIdChannel::Owned id) {
    CommandArgs args;
    args.id = *id;
    Run(target, C::kRenameFavourite, std::move(args));
  });
  OnSignal(poller, kLogout, C::kLeaveUserCentre, target);
  OnSignal(poller, kProtectReflashButton, C::kRefreshProtectButton, target);
  OnSignal(poller, kProtectShowDialog, C::kShowProtect, target);
  OnSignal(poller, kProtectShowVpn403, C::kShowVpnRefused, target);
  OnSignal(poller, kProtectShowVpnFailed, C::kShowVpnFailed, target);
  OnSignal(poller, kProtectShowFindDialog, C::kShowFindWindow, target);
}

}  // namespace tarvo
