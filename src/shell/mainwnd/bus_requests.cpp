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

// Installs a handler that puts the channel's payload into the command's arguments.
template <class Channel, class Fill>
void OnPayload(BusPoller& poller, const Channel& channel, unsigned command, const BusRequests::Target& target,
               Fill fill) {
  poller.On(channel, [target, command, fill](typename Channel::Owned payload) {
    CommandArgs args;
    fill(args, *payload);
    Run(target, command, std::move(args));
  });
}

void OnUrl(BusPoller& poller, const UrlChannel& channel, unsigned command, const BusRequests::Target& target) {
  OnPayload(poller, channel, command, target, [](CommandArgs& args, const BusString& url) { args.text = url.View(); });
}

void OnUrls(BusPoller& poller, const UrlListChannel& channel, unsigned command, const BusRequests::Target& target) {
  OnPayload(poller, channel, command, target, [](CommandArgs& args, UrlList& urls) { args.urls = std::move(urls); });
}

void OnSignal(BusPoller& poller, const SignalChannel& channel, unsigned command, const BusRequests::Target& target) {
  poller.On(channel, [target, command] { Run(target, command); });
}

void OnSignalToEach(BusPoller& poller, const SignalChannel& channel, unsigned command,
                    const BusRequests::EveryWindow& everyWindow) {
  poller.On(channel, [everyWindow, command] {
    for (IBrowserWindow* window : everyWindow()) window->RunCommand(command);
  });
}

}  // namespace

void BusRequests::Install(BusPoller& poller, Target target, EveryWindow everyWindow) {
  OnUrl(poller, kWindowOpenUrl, C::kOpenInNewWindow, target);
  OnUrl(poller, kTabOpenUrl, C::kOpenInBackgroundTab, target);
  OnSignal(poller, kTabOpenHome, C::kOpenHome, target);
  OnUrls(poller, kTabOpenAllUrl, C::kOpenAllInTabs, target);
  OnSignal(poller, kTabOpenResetPassword, C::kOpenResetPassword, target);
  OnUrls(poller, kWindowOpenAllUrl, C::kOpenAllInNewWindow, target);
  OnUrl(poller, kPrivateWindowOpenUrl, C::kOpenInPrivateWindow, target);
  OnUrls(poller, kPrivateWindowOpenAllUrl, C::kOpenAllInPrivateWindow, target);
  OnUrl(poller, kClipboardCopyUrl, C::kCopyUrl, target);
  OnUrl(poller, kShowFavoriteWnd, C::kAddFavorite, target);
  OnSignal(poller, kHideFavoriteBar, C::kHideFavoriteBar, target);
  OnSignal(poller, kReflashFavoriteBar, C::kShowFavoriteBar, target);
  OnPayload(poller, kShowRenameWnd, C::kRenameFavorite, target, [](CommandArgs& args, int64_t id) { args.id = id; });
  OnSignalToEach(poller, kLogout, C::kLeaveUserCentre, everyWindow);
  OnSignalToEach(poller, kProtectReflashButton, C::kRefreshProtectButton, everyWindow);
  OnSignal(poller, kProtectShowDialog, C::kShowProtect, target);
  OnSignal(poller, kProtectShowVpn403, C::kShowVpnRefused, target);
  OnSignal(poller, kProtectShowVpnFailed, C::kShowVpnFailed, target);
  OnSignal(poller, kProtectShowFindDialog, C::kShowFindWindow, target);
}

}  // namespace tarvo
