#pragma once
// The browser's main windows and what they share: the bus poller that serves them
// all (each window's timer drains it), the order in which the user used them, and
// the commands of the feature windows that start-up registers, and the profile's
// login and VPN state (the menu names the user, the icons take the VPN's way). Page
// reports go to
// the window that holds the page; requests to the window used last.
//
// Threads: the GUI thread. Lifetime: owned by the application for the whole run; it
// must outlive every main window (a window adds itself when it is built and removes
// itself when it goes). The account state outlives it.
#include <functional>
#include <memory>
#include <vector>

#include "bus/bus_poller.h"
#include "platform/text.h"
#include "session/crash_reload_policy.h"
#include "shell/mainwnd/feature_commands.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

class AccountState;
class IBrowserWindow;
class Pages;
class UserDatabase;

class BrowserWindows {
 public:
  // Installs the handlers of the shell's bus channels (its requests, then the page
  // reports) on the shared poller; the features add theirs when they register.
  // `account` and `database` (the profile's) outlive the group.
  BrowserWindows(const AccountState& account, UserDatabase& database);
  BrowserWindows(const BrowserWindows&) = delete;
  BrowserWindows& operator=(const BrowserWindows&) = delete;

  const AccountState& Account() const { return account_; }
  // The profile's database: the windows' pages record their history there.
  UserDatabase& Database() const { return database_; }
  // Which sites' pages may still reload by themselves after their renderer died,
  // counted across every window.
  CrashReloadPolicy& CrashReloads() { return crashReloads_; }
  FeatureCommands& Features() { return features_; }
  const FeatureCommands& Features() const { return features_; }
  // What a feature does with each new main window once its controls exist (put its
  // bar into the window, follow its pages ...). Registered at start-up.
  using WindowHook = std::function<void(IBrowserWindow& window)>;
  void AddWindowHook(WindowHook hook) { windowHooks_.push_back(std::move(hook)); }
  // A window's controls exist: runs every hook for it, in registration order.
  void WindowBuilt(IBrowserWindow& window) const;
  // What a feature does once no private window is open any more (forget what the
  // private windows left behind). Registered at start-up; run in registration order.
  void AddLastPrivateClosedHook(std::function<void()> hook) { lastPrivateClosedHooks_.push_back(std::move(hook)); }
  // Makes the favourites bar of a window (the feature that fills it registers this at
  // start-up); without one, or when it makes nothing, the window shows an empty slot.
  // The window gives the control its place and attributes and owns it.
  using FavoriteBarFactory = std::function<std::unique_ptr<DuiLib::CControlUI>(IBrowserWindow& window)>;
  void SetFavoriteBarFactory(FavoriteBarFactory factory) { favoriteBarFactory_ = std::move(factory); }
  std::unique_ptr<DuiLib::CControlUI> MakeFavoriteBar(IBrowserWindow& window) const;

  // Opens a new main window showing `urls` in order (the home page when empty); a
  // private one (`privately`) keeps nothing of its browsing. Start-up says how;
  // without an opener nothing opens and the result is false.
  using WindowOpener = std::function<bool(const std::vector<WString>& urls, bool privately)>;
  void SetWindowOpener(WindowOpener opener) { opener_ = std::move(opener); }
  bool OpenWindow(const std::vector<WString>& urls, bool privately = false) const {
    return opener_ && opener_(urls, privately);
  }
  // A window has finished its orderly close (its pages are shut down; it is hidden
  // and no longer listed). Start-up decides what follows (the last window ends the
  // browser); without a handler the event loop ends.
  using ClosedHandler = std::function<void(IBrowserWindow* window)>;
  void SetClosedHandler(ClosedHandler handler) { closed_ = std::move(handler); }
  void WindowClosed(IBrowserWindow* window);
  // A window begins its orderly close: it is still listed and its pages still exist.
  // Who keeps the session registers the handler.
  using ClosingHandler = std::function<void(IBrowserWindow* window)>;
  void SetClosingHandler(ClosingHandler handler) { closing_ = std::move(handler); }
  void WindowClosing(IBrowserWindow* window) const {
    if (closing_) closing_(window);
  }

  void Add(IBrowserWindow* window);
  void Remove(IBrowserWindow* window);
  // The user turned to `window`: requests go to it from now on.
  void MarkUsed(IBrowserWindow* window);
  // The window used last, or nullptr when none is open.
  IBrowserWindow* LastUsed() const;
  // The ordinary (not private) window used last, or nullptr.
  IBrowserWindow* LastUsedOrdinary() const;
  // Every open window, the one used last first (non-owning).
  std::vector<IBrowserWindow*> Windows() const;
  // Every open window's page list.
  std::vector<Pages*> PageLists() const;
  int Count() const { return static_cast<int>(windows_.size()); }

  // One pass over the bus; returns how many payloads were handled.
  int Drain() { return poller_.Drain(); }
  // Applies the page reports waiting on the bus now, without waiting for a window's
  // timer (the pages' addresses before a last look at them); other requests wait.
  int ApplyPageReports();
  BusPoller& Poller() { return poller_; }
  const BusPoller& Poller() const { return poller_; }

 private:
  const AccountState& account_;
  UserDatabase& database_;
  CrashReloadPolicy crashReloads_;
  FeatureCommands features_;
  BusPoller poller_;
  std::vector<WindowHook> windowHooks_;
  std::vector<std::function<void()>> lastPrivateClosedHooks_;
  FavoriteBarFactory favoriteBarFactory_;
  WindowOpener opener_;
  ClosedHandler closed_;
  ClosingHandler closing_;
  std::vector<IBrowserWindow*> windows_;  // not owned; the one used last first
};

}  // namespace tarvo
