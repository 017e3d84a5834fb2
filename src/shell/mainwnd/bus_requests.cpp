#include "shell/mainwnd/bus_requests.h"

#include "bus/bus_poller.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/i_browser_window.h"

namespace tarvo {

namespace {

namespace C = Commands;
using namespace BusChannels;

void Run(const BrowserWindows& windows, unsigned command, CommandArgs args = {}) {
  if (IBrowserWindow* window = windows.LastUsed()) window->RunCommand(command, args);
}

// Installs a handler that puts the channel's payload into the command's arguments.
template <class Channel, class Fill>
void OnPayload(BrowserWindows& windows, const Channel& channel, unsigned command, Fill fill) {
  windows.Poller().On(channel, [&windows, command, fill](typename Channel::Owned payload) {
    CommandArgs args;
    fill(args, *payload);
    Run(windows, command, std::move(args));
  });
}

}  // namespace

void BusRequests::Install(BrowserWindows& windows) {
  ToLastUsed(windows, kWindowOpenUrl, C::kOpenInNewWindow);
  ToLastUsed(windows, kTabOpenUrl, C::kOpenInBackgroundTab);
  ToLastUsed(windows, kTabOpenHome, C::kOpenHome);
  ToLastUsed(windows, kTabOpenAllUrl, C::kOpenAllInTabs);
  ToLastUsed(windows, kTabOpenResetPassword, C::kOpenResetPassword);
  ToLastUsed(windows, kWindowOpenAllUrl, C::kOpenAllInNewWindow);
  ToLastUsed(windows, kPrivateWindowOpenUrl, C::kOpenInPrivateWindow);
  ToLastUsed(windows, kPrivateWindowOpenAllUrl, C::kOpenAllInPrivateWindow);
  ToLastUsed(windows, kClipboardCopyUrl, C::kCopyUrl);
  ToLastUsed(windows, kShowFindDialog, C::kShowFindWindow);
}

void BusRequests::ToLastUsed(BrowserWindows& windows, const UrlChannel& channel, unsigned command) {
  OnPayload(windows, channel, command, [](CommandArgs& args, const BusString& url) { args.text = url.View(); });
}

void BusRequests::ToLastUsed(BrowserWindows& windows, const UrlListChannel& channel, unsigned command) {
  OnPayload(windows, channel, command, [](CommandArgs& args, UrlList& urls) { args.urls = std::move(urls); });
}

void BusRequests::ToLastUsed(BrowserWindows& windows, const IdChannel& channel, unsigned command) {
  OnPayload(windows, channel, command, [](CommandArgs& args, int64_t id) { args.id = id; });
}

void BusRequests::ToLastUsed(BrowserWindows& windows, const SignalChannel& channel, unsigned command) {
  windows.Poller().On(channel, [&windows, command] { Run(windows, command); });
}

void BusRequests::ToEveryWindow(BrowserWindows& windows, const SignalChannel& channel, unsigned command) {
  windows.Poller().On(channel, [&windows, command] {
    for (IBrowserWindow* window : windows.Windows()) window->RunCommand(command);
  });
}

}  // namespace tarvo
