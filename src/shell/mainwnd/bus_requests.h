#pragma once
// The bus channels that ask a main window for something become commands: a request
// (open an address, copy it, show a feature's window ...) runs in the window the user
// used last; news that concern every window (the user logged out, the protection
// state changed) run in each open window. The shell installs its own requests when
// the windows' group is made; a feature routes its own channels the same way when it
// registers, so the poll order follows registration. Page reports are not requests:
// they go to the window that holds the page (PageBusHandler).
//
// Threads: the GUI thread (the poller's).
#include <cstdint>

#include "bus/bus_channels.h"

namespace tarvo {

class BrowserWindows;

class BusRequests {
 public:
  using IdChannel = TypedChannel<int64_t>;

  // The shell's own requests: opening addresses in tabs and windows, copying an
  // address, the find window.
  static void Install(BrowserWindows& windows);

  // Each message of `channel` runs `command` in the window used last (dropped when
  // none is open), the address as the command's text, the list as its addresses, the
  // number as its id.
  static void ToLastUsed(BrowserWindows& windows, const BusChannels::UrlChannel& channel, unsigned command);
  static void ToLastUsed(BrowserWindows& windows, const BusChannels::UrlListChannel& channel, unsigned command);
  static void ToLastUsed(BrowserWindows& windows, const IdChannel& channel, unsigned command);
  static void ToLastUsed(BrowserWindows& windows, const SignalChannel& channel, unsigned command);
  // Each signal runs `command` in every open window.
  static void ToEveryWindow(BrowserWindows& windows, const SignalChannel& channel, unsigned command);
};

}  // namespace tarvo
