#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <chrono>
#include <memory>

#include "platform/text.h"
#include "protect/address_route.h"
#include "url/url_mapping.h"
#include "shell/pages/i_notify_icon.h"
#include "shell/pages/i_tab_body.h"
#include "shell/pages/tab.h"
#include "shell/pages/tab_wnd_listen_data.h"

namespace tarvo {

// One browsing context: what a tab shows. Owns its tab control until the tab strip
// takes it, its engine body (Chromium or compatibility, as its engine type says) and
// its navigation history. An address of the other engine opens in a new tab, so a
// page never needs a second body.
//
// A page may be without a body: a restored tab not selected yet, or a compatibility
// tab let go while it slept. It keeps its address, title and history; selecting it
// makes a body (through the page list's factory) that loads the current address.
// A Chromium body sleeps through the engine's page life-cycle instead.
//
// A page whose renderer died keeps its address, title and history; its tab says so
// (label and icon) and shows a notice with a reload button in place of the page. A
// page that died in the background loads again by itself when the user selects it,
// unless its site's renderer keeps dying (CrashReloadPolicy). Loading again, by the
// button, the reload command or a new address, ends the notice.
//
// Threads: the main window's thread only. Lifetime: owned by the page list (Pages)
// from AddPage until ClosePage; made by the Chromium client, by CreateIePage or, for
// a restored tab, by Pages::AddUnloadedPage.
class Pages;

class Page : public INotifyIcon {
 public:
  static constexpr int kEngineChromium = AddressRoute::kChromium;
  static constexpr int kEngineIe = AddressRoute::kCompatibility;

  // `body` becomes the page's own body (owner set to this page); `engineType` names
  // which kind it is.
  Page(std::unique_ptr<ITabBody> body, int engineType);
  ~Page() override;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // The window's icons: shows `file` when `iconUrl` is still the page's icon.
  void OnIconReady(const WString& iconUrl, const WString& file) override;

  // Loads `address` (typed or stored) where CBrowserUrl::RouteTyped sends it: a
  // protected site through its mirror, a link inside the page's protected site
  // through the same mirror. A Chromium page asked for an address of the
  // compatibility engine opens it in a new compatibility tab and stays as it is.
  void Navigate(const WString& address);
  // Back / forward through the shell's own history; nothing at the ends.
  void GoBack();
  void GoForward();
  // Reloads when the page has a loaded address (a crashed page loads again).
  void Reload();
  // Records a main-frame navigation (`redirect`: it replaces the current step). The
  // step is written to the history table first; when that fails it is dropped.
  void SetUrl(const WString& url, bool redirect);
  // The engine turned the navigation to `url` into a download: the step recorded
  // for it and its history row go, and the address shown is the page's again.
  void WithdrawNavigation(const WString& url);
  // The current step's address as the user knows it / as loaded; empty without history.
  WString GetDisplayUrl() const;
  WString GetLoadedUrl() const;
  // "新标签页" becomes the language text of "tab/new".
  void SetTitle(const WString& title);
  const WString& GetTitle() const { return title_; }
  // Stores the icon address; the tab shows its icon from the icon folder, at once or
  // once the window's icon queue has fetched it.
  void SetIconUrl(const WString& iconUrl);
  const WString& GetIconUrl() const { return iconUrl_; }
  // Stores the flag and refreshes the toolbar when this is the selected page. A
  // crashed page that loads again leaves its notice.
  void SetLoading(bool loading);
  bool IsLoading() const { return loading_; }
  // The VPN came on: a Chromium page with a body reloads (a resting one is put out
  // of memory, to load when woken), so nothing its document opened before goes
  // around the VPN. True when it did; compatibility pages never use the VPN.
  bool ReloadForVpn();
  // Marks the tab while the VPN is on and the page is one it does not carry (a
  // compatibility page), and unmarks it otherwise.
  void ShowVpnState(bool vpnOn);
  // Selects the tab and shows the body in the body bar.
  void Activate();
  // Ends the page's engine work before it is destroyed: the body loses its owner and
  // closes. Idempotent.
  void Shutdown();

  // The engine process that drew the page ended: the tab says so and the notice
  // takes the page's place (at once for the selected page); a background page
  // reloads when it is selected again, as the crash policy allows.
  void OnRendererGone();
  bool IsCrashed() const { return notice_ != nullptr; }
  // The notice shown in place of the page while it is crashed, or nullptr.
  QWidget* CrashNotice() const { return notice_.data(); }

  // A page without a body yet shows what a restored tab had: `url` becomes its one
  // history step (no history row: the visit was recorded when it was made), the
  // tab shows `title` and the site's icon when the icon folder has it, and
  // `zoomLevel` waits for the body.
  void ShowUnloaded(const WString& url, const WString& title, double zoomLevel);
  // Takes `body` as the page's body (a page without one) and loads the current
  // address in it at the zoom level kept for it. Nothing once the page shut down.
  void AdoptBody(std::unique_ptr<ITabBody> body);
  // Puts the page's body to rest (frozen or discarded). A body that cannot be
  // discarded is let go: the page keeps its address, title, history and zoom.
  void Rest(BodyRest rest);
  // Makes the page live again: a body for a page without one (through its list), an
  // active one for a resting body. False when no body could be made.
  bool Wake();
  // Where the page is: a page without a body counts as discarded.
  BodyRest RestState() const;
  // The zoom level shown, or kept for the body to come.
  double ZoomLevel() const;
  // When the user last had the page in front (made, selected, or left).
  void MarkUsed() { lastUsed_ = std::chrono::steady_clock::now(); }
  std::chrono::steady_clock::time_point LastUsed() const { return lastUsed_; }

  // Clears the history (index 0), as for the last tab when it is "closed".
  void ClearHistory() { history_.Clear(); }

  int GetEngineType() const { return engineType_; }
  // In a private window's list: nothing of the page is written to the profile.
  bool IsPrivate() const;
  // The list holding the page (set by Pages::AddPage, cleared when it lets the page
  // go), or nullptr. Non-owning.
  Pages* List() const { return list_; }
  void SetList(Pages* list) { list_ = list; }
  // The page's own body (stop, zoom, find go here), or nullptr. Non-owning.
  ITabBody* Body() const { return body_; }
  Tab* GetTab() const { return tab_; }
  // Hands the tab control to the strip (once); nullptr afterwards.
  std::unique_ptr<Tab> TakeTab() { return std::move(ownedTab_); }
  TabWndListenData& History() { return history_; }
  const TabWndListenData& History() const { return history_; }
  // The protected site the page is on (the origins of the site and of its mirror),
  // from its last navigation or recorded address; not mapped on an ordinary site.
  const UrlMapping& SiteMapping() const { return siteMapping_; }
  double ZoomFactor() const { return zoom_; }
  void SetZoomFactor(double zoom) { zoom_ = zoom; }

 private:
  // Takes the site of a mapping as the page's protected site (or none).
  void FollowSite(const UrlMapping& mapping);
  // Closes and lets go of the body, keeping its zoom level.
  void DropBody();
  // Leaves the crashed state (the page loads again): the notice goes, the tab shows
  // the page's title and icon, and the body is shown again when the page is in front.
  void EndCrash();
  // The tab's label for the crashed page.
  QString CrashedLabel() const;

  // The body that serves this page's engine; owned by this page.
  std::unique_ptr<ITabBody> ownedBody_;
  ITabBody* body_ = nullptr;  // == ownedBody_.get()
  std::unique_ptr<Tab> ownedTab_;
  Tab* tab_ = nullptr;  // owned by ownedTab_, then by the strip's container
  WString title_;
  WString iconUrl_;
  bool loading_ = false;
  TabWndListenData history_;
  int engineType_ = kEngineChromium;
  UrlMapping siteMapping_;
  bool shutDown_ = false;
  // The notice while the renderer is dead; owned by this page (the body bar may
  // delete it first, as its child, when the window goes).
  QPointer<QWidget> notice_;
  QString labelBeforeCrash_;  // the tab's label and icon images before the crash
  QString iconBeforeCrash_;
  bool reloadWhenSelected_ = false;
  double zoom_ = 0.0;
  double pendingZoomLevel_ = 0.0;  // for the body to come, while there is none
  std::chrono::steady_clock::time_point lastUsed_ = std::chrono::steady_clock::now();
  Pages* list_ = nullptr;  // not owned: the list owns this page
};

}  // namespace tarvo
