#pragma once
// What the main window does with the bus channels that are not page channels: new
// windows and tabs for addresses, the clipboard, the favourites bar, log-out, the
// protection messages and the find window. Each handler frees its payload.
//
// Payloads: "mainwnd/window/openurl", "clipboard/copyurl" and "mainwnd/showfavorwnd"
// carry a BusString; "mainwnd/tab/openallurl" and "mainwnd/window/openallurl" a
// std::vector<WString> built with new; "mainwnd/showrenamewnd" a favourite id (no
// pointer); every other channel the signal 1.
//
// Threads: the main window's thread only. Lifetime: owned by the main window, which
// it refers to (non-owning).
#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace tarvo {

class BusPoller;
class MainDuiWnd;

class MainWindowBusHandlers {
 public:
  // The payload of the two "openallurl" channels.
  using UrlList = std::vector<WString>;

  explicit MainWindowBusHandlers(MainDuiWnd& window) : window_(window) {}

  // Installs a handler for every non-page channel.
  void Install(BusPoller& poller);

  // The parameter list of a new process that opens `urls` (one argument each).
  static std::vector<std::string> LaunchArguments(const UrlList& urls);
  // Whether a page showing `pageUrl` belongs to the user centre at `userCentre` and
  // must leave it at log-out (an empty user centre matches nothing).
  static bool IsUserCentrePage(WStringView pageUrl, WStringView userCentre);

 private:
  void OpenWindow(uintptr_t payload);
  void OpenAllInTabs(uintptr_t payload);
  void OpenResetPassword();
  void OpenAllInWindow(uintptr_t payload);
  void CopyUrl(uintptr_t payload);
  void LogOutPages();
  void ShowMessage(WStringView languageKey);

  MainDuiWnd& window_;
};

}  // namespace tarvo
