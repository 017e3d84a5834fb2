#pragma once

#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "platform/text.h"
#include "shell/pages/icon_downloader.h"
#include "shell/pages/tab_wnd.h"
#include "ui/ui_defs.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

class CrashReloadPolicy;

class CBodyBar;
class IPageBodyFactory;
struct PageHost;
class ITabBody;
class Page;
class TabStrip;
class UserDatabase;

// The page list: every page of the window in tab order and in selection order (the
// last one is the selected page), the maps from a tab's option and close button to
// its page, and the operations that create, select, move, pin, navigate and close
// pages.
//
// Threads: the main window's thread only, except Current(), which the Chromium
// client asks from its callbacks (the engine's UI thread is this same thread here).
// Lifetime: one per main window, owned by it; it owns its pages.
class Pages {
 public:
  // `crashReloads`: which sites' pages may reload by themselves after their renderer
  // died (shared by every window; it outlives the list). `database`: the profile's,
  // where the pages record their history (it outlives the list). `iconRoute`: how the
  // pages' icons are fetched (the window's VPN route); none: the system's way.
  Pages(CrashReloadPolicy& crashReloads, UserDatabase& database, IconFetchQueue::RouteFor iconRoute = {});
  ~Pages();
  Pages(const Pages&) = delete;
  Pages& operator=(const Pages&) = delete;

  // Wires the list to the window: the tab strip and body bar (both non-owning; they
  // must outlive the pages or be detached with CloseAll first) and the main window's
  // handle. The engines' body factory (non-owning) is installed by start-up.
  void Attach(TabStrip* strip, CBodyBar* bodyBar, DuiLib::HWND mainWindow);
  void SetBodyFactory(IPageBodyFactory* factory) { factory_ = factory; }
  // A private window's list: its pages record no history rows and write no icon
  // files. Set once, when the window is built; it stays after the factory goes.
  void SetPrivate(bool isPrivate) { private_ = isPrivate; }
  bool IsPrivate() const { return private_; }

  // The page at index modulo the count (negative indices from the end); nullptr
  // without pages.
  Page* PageAt(int index) const;
  // Position in tab order, or -1 for a page that is not listed.
  int IndexOf(const Page* page) const;
  int Count() const { return static_cast<int>(pages_.size()); }
  // The selected page, or nullptr.
  Page* Current() const;
  // The page of a tab's option or close button, or nullptr.
  Page* PageOfOption(const DuiLib::CControlUI* option) const;
  Page* PageOfCloseButton(const DuiLib::CControlUI* closeButton) const;

  // Opens `url` in a new tab of the engine CBrowserUrl::Route chooses, loading the
  // address it routes to. A compatibility page joins the list at once; a Chromium
  // page later, through "mainwnd/pages/addpage".
  void OpenUrlInNewTab(const WString& url);
  // The same, behind the selected page, which stays selected.
  void OpenUrlInBackgroundTab(const WString& url);
  // Opens `url` in a new compatibility tab once the event loop is back (the page or
  // engine that asks is still inside its navigation); nothing opens when the list
  // has gone or has no body factory by then.
  void OpenIeTab(const WString& url);
  // Takes the page into the list and shows it (or keeps the marked page selected).
  // A page already listed is ignored. Returns the page; it knows its list from now
  // on (Page::List).
  Page* AddPage(std::unique_ptr<Page> page);
  // Adds a page without a body for a restored tab (see Page::ShowUnloaded) behind
  // the others, in the background: the selected page stays selected, and a first
  // page waits to be selected. Returns the page.
  Page* AddUnloadedPage(int engineType, const WString& url, const WString& title, double zoomLevel);
  // Asks the factory for a body of the page's engine for a listed page without one.
  bool MakeBodyFor(Page* page);
  // Makes a page of engine type 2 for a compatibility body and adds it at once.
  Page* CreateIePage(std::unique_ptr<ITabBody> body);
  void SelectPage(Page* page);
  // Closes the page; the only page is instead reset to the home page.
  void ClosePage(Page* page);
  // Moves the page at `from` to `to` (both modulo the count), keeping pinned tabs in
  // front of the others.
  void MovePage(int from, int to);
  // Pins or unpins the page's tab.
  void PinPage(Page* page, bool pinned);
  // The next page added stays in the background and `page` stays selected.
  void SetKeepSelected(Page* page) { keepSelected_ = page; }
  // Shuts every page down and destroys them (the main window closes).
  void CloseAll();

  // Follows the VPN's state: marks the compatibility pages' tabs while it is on (and
  // those of pages added later). With `reloadOnSwitchOn`, a switch from off to on
  // also reloads the Chromium pages (Page::ReloadForVpn). Returns how many were.
  int FollowVpn(bool on, bool reloadOnSwitchOn);
  bool VpnOn() const { return vpnOn_; }
  // The pages the VPN does not carry while it is on (the compatibility pages).
  std::vector<Page*> PagesOutsideVpn() const;

  // Shows the page's body in the body bar (its crashed-page notice while it has one).
  void ShowBody(Page* page);
  TabWnd& GetTabWnd() { return tabWnd_; }
  // The window's tab icons.
  IconDownloader& Icons() { return icons_; }
  CrashReloadPolicy& CrashReloads() const { return crashReloads_; }
  UserDatabase& Database() const { return database_; }
  TabStrip* Strip() const { return strip_; }
  CBodyBar* BodyBar() const { return bodyBar_; }
  DuiLib::HWND MainWindow() const { return mainWindow_; }

 private:
  void Unlist(Page* page);
  // Lists the page and puts its tab at the end of the strip.
  void List(Page* page, std::unique_ptr<Page> owned);
  void ActivateCurrent();
  // Shows the body of a page that joined the list selected once this turn of the
  // event loop is over, if it is still selected then.
  void ShowAddedBodySoon(Page* page);

  CrashReloadPolicy& crashReloads_;
  UserDatabase& database_;
  IconDownloader icons_;              // first: outlives the pages that ask it
  std::vector<std::unique_ptr<Page>> pages_;  // tab order; owned
  std::vector<Page*> selection_;              // selection order; the last is selected
  std::map<const DuiLib::CControlUI*, Page*> byOption_;
  std::map<const DuiLib::CControlUI*, Page*> byCloseButton_;
  Page* keepSelected_ = nullptr;
  Page* addedToShow_ = nullptr;
  QTimer showAdded_;
  TabWnd tabWnd_{*this};
  TabStrip* strip_ = nullptr;                // not owned
  CBodyBar* bodyBar_ = nullptr;              // not owned
  IPageBodyFactory* factory_ = nullptr;      // not owned
  DuiLib::HWND mainWindow_ = 0;
  bool private_ = false;
  bool vpnOn_ = false;
  QObject openLater_;  // context of the compatibility tabs OpenIeTab queues
};

}  // namespace tarvo
