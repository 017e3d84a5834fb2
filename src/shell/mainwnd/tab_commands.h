#pragma once
// The main window's commands for its tabs and the current page: new, close, select
// and move tabs, the tab menu, navigation, zoom, and addresses to open in tabs or in
// new windows of this process.
//
// Threads: GUI thread. Lifetime: owned by the main window, which it refers to
// (non-owning).
#include "platform/text.h"
#include "shell/commands/command_args.h"

namespace tarvo {

class CommandRouter;
class IMainWindow;

class TabCommands {
 public:
  // Registers its commands on `router`.
  TabCommands(IMainWindow& window, CommandRouter& router);

  // The start page named by a settings key, with the search engine chosen in the
  // window's database, so that its search box searches like the toolbar's.
  WString StartPageUrl(const char16_t* settingsKey) const;
  // Whether a page showing `pageUrl` belongs to the user centre at `userCentre` and
  // must leave it at log-out (an empty user centre matches nothing).
  static bool IsUserCentrePage(WStringView pageUrl, WStringView userCentre);

 private:
  // `urls` without the empty addresses, in order.
  static std::vector<WString> WithoutEmpty(std::vector<WString> urls);
  void OpenTabMenu(const CommandArgs& args);
  void OpenInNewWindow(const std::vector<WString>& urls, bool privately = false);
  void LeaveUserCentre();
  void Zoom(bool in);

  IMainWindow& window_;
};

}  // namespace tarvo
