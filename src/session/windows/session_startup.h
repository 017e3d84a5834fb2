#pragma once
// The first windows of a run and the session kept from then on: the saved session
// is restored when the user chose that (a per-user setting, off unless chosen) or
// accepts it after a run that did not close in order; a session whose restores
// crashed the browser twice in a row is set aside, the home page opens and a
// message says why; a session file that is empty, damaged or from a later version
// is set aside and the home page opens. While restoring, the file counts the
// attempt until the restored windows got through their first moments.
//
// Threads: the GUI thread. Lifetime: owned by start-up while its windows exist; it
// must go before the windows' group.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"

namespace tarvo {

class BrowserWindows;
class MainDuiWnd;
class SessionKeeper;

class SessionStartup {
 public:
  // A restored session got through its first moments after this long.
  static constexpr int kRestoreSettledMs = 15000;

  // Builds and shows a main window with `urls` (the home page when empty); `ready`
  // runs once it has its working size; `startPages`, when given, opens the window's
  // pages in place of `urls`. Returns the window, or nullptr when none could be shown.
  using WindowOpener = std::function<MainDuiWnd*(const std::vector<WString>& urls, std::function<void()> ready,
                                                 std::function<void(MainDuiWnd&)> startPages)>;

  // `dataRoot` ends in "/"; the session file lives in it. Start-up's `open` opens
  // the windows.
  SessionStartup(BrowserWindows& group, WindowOpener open, std::string dataRoot);
  ~SessionStartup();
  SessionStartup(const SessionStartup&) = delete;
  SessionStartup& operator=(const SessionStartup&) = delete;

  // Opens the run's first windows: the restored session's (then `startUrls`, if
  // any, in a window of their own), or one window with `startUrls`. `ready` runs
  // once the first window has its working size. False when no window opened.
  bool OpenFirstWindows(const std::vector<WString>& startUrls, std::function<void()> ready);

  // The browser is about to close every window in order (a signal): the session
  // keeps all of them.
  void EndOfRun();

  static bool RestoreChosen();

 private:
  BrowserWindows& group_;
  WindowOpener open_;
  const std::string path_;
  std::unique_ptr<SessionKeeper> keeper_;
};

}  // namespace tarvo
