#pragma once
// The bus channels that ask a main window for something (open an address, copy it,
// show the favourites editor or the find window, a protection message ...) become
// commands of the window the user used last; the news that concern every window (the
// user logged out, the protection state changed) become commands of
// each open window. Page reports are not requests: they go to the window that holds
// the page (PageBusHandler).
//
// Threads: the GUI thread (the poller's).
#include <functional>
#include <vector>

namespace tarvo {

class BusPoller;
class IBrowserWindow;

class BusRequests {
 public:
  // The window a request goes to, or nullptr (the request is then dropped).
  using Target = std::function<IBrowserWindow*()>;
  // Every open window.
  using EveryWindow = std::function<std::vector<IBrowserWindow*>()>;

  // Installs a handler for every request channel on `poller`.
  static void Install(BusPoller& poller, Target target, EveryWindow everyWindow);
};

}  // namespace tarvo
