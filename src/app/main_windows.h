#pragma once
// Owns the browser's main windows: opens each one with its own page list in the
// shared engines, and when one has closed either destroys it (others remain) or
// ends the event loop (it was the last), so the application shuts the engines down
// in order. Every window of the process shares the one Chromium profile and the one
// compatibility network: two processes on one profile lose data.
//
// Threads: the GUI thread. Lifetime: owned by the application between the engine's
// start and its shutdown; the BrowserWindows group and the compatibility network
// outlive it.
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "platform/text.h"

namespace tarvo {

namespace ie {
class LazyCompatProfile;
}
class BrowserWindows;
class IBrowserWindow;
class LoginFormEvents;
class MainDuiWnd;

class MainWindows {
 public:
  // Becomes the group's window opener and closed handler.
  // `compatProfile`: the ordinary windows' compatibility profile; `loginForms`: where
  // their pages report log-in forms (neither owned).
  MainWindows(BrowserWindows& group, ie::LazyCompatProfile& compatProfile, LoginFormEvents& loginForms);
  ~MainWindows();
  MainWindows(const MainWindows&) = delete;
  MainWindows& operator=(const MainWindows&) = delete;

  // Builds and shows a window with `urls` in order (the home page when empty).
  // `ready` runs once it has its working size. The first window of a run grows to
  // its working size after the design's delay, under the splash; later ones at once.
  // `startPages`, when given, opens the window's pages in place of `urls`. A
  // private window (`privately`) browses off the record with its own engine data.
  // Returns the window, or nullptr (nothing shown) when the skin can't be loaded.
  MainDuiWnd* Open(const std::vector<WString>& urls, std::function<void()> ready = {},
                   std::function<void(MainDuiWnd&)> startPages = {}, bool privately = false);
  // Asks every open window to close like the user would (SIGTERM, SIGINT).
  void CloseAll();
  // The window opened first that is not destroyed yet (the last one to close stays
  // until the application ends), or nullptr.
  MainDuiWnd* First() const;
  // The open window that is `window`, or nullptr when it is not one of these.
  MainDuiWnd* Owned(const IBrowserWindow* window) const;
  int Count() const { return static_cast<int>(owned_.size()); }

 private:
  void Closed(IBrowserWindow* window);

  BrowserWindows& group_;
  ie::LazyCompatProfile& compatProfile_;
  LoginFormEvents& loginForms_;
  std::vector<std::unique_ptr<MainDuiWnd>> owned_;  // in the order opened
  bool openedAny_ = false;
  QObject lifetime_;  // the deferred destructions end with this object
};

}  // namespace tarvo
