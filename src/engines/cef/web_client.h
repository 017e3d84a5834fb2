#pragma once

#include <functional>
#include <map>
#include <vector>

#include "account/account_state.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_context_menu_handler.h"
#include "engines/webengine/cef_display_handler.h"
#include "engines/webengine/cef_download_handler.h"
#include "engines/webengine/cef_life_span_handler.h"
#include "engines/webengine/cef_load_handler.h"
#include "engines/webengine/cef_request_handler.h"
#include "shell/pages/context_menu_entry.h"
#include "shell/pages/page_host.h"
#include "ui/ui_defs.h"

namespace tarvo {

class CBodyBar;
class LoginFormEvents;
class Page;

// The one client of every Chromium browser: makes a page for each new browser,
// reports loading, titles and icons, hands addresses of the compatibility engine back
// to the shell, adds the Accept-Language header, builds the context menu and hands
// downloads on, answers the VPN proxy's challenges and routes navigations through the
// VPN by its white list. It never touches the shell's objects: it posts to the message
// bus and to the main windows and body bars. Each browser belongs to the window whose
// body bar it was made in (a pop-up to its opener's).
//
// Threads: every callback runs on the engine's UI thread (the GUI thread); the maps
// are touched only there. Lifetime: made by ClientInstance on first use, never
// destroyed.
class WebClient : public cef::CefClient,
                  public cef::CefLifeSpanHandler,
                  public cef::CefRequestHandler,
                  public cef::CefLoadHandler,
                  public cef::CefDownloadHandler,
                  public cef::CefDisplayHandler,
                  public cef::CefContextMenuHandler {
 public:
  // Context-menu commands of the client's own.
  // Proxy challenges answered per browser and navigation; a few, since parallel
  // requests of one page may each be challenged before the first answer is taken.
  static constexpr int kMaxProxyAnswersPerNavigation = 3;

  enum Command {
    kOpenInNewTab = 26501,
    kOpenInNewWindow = 26502,
    kOpenInIncognito = 26503,
    kSaveAs = 26504,
    kCopyUrl = 26506,
    kSavePictureAs = 26507,
    kCopyPictureUrl = 26508,
    kCopyPicture = 26509,
    kPictureProperty = 26510,
    kPasteAndSearch = 26511,
    // The features' entries, in the order they were added.
    kFirstFeatureEntry = 26600,
  };

  // A main window whose pages the engine serves (non-owning; start-up adds each window
  // once it exists and removes it, by its body bar, before the window goes).
  void AddHost(const PageHost& host);
  void RemoveHost(const CBodyBar* bodyBar);
  // Who decides about downloads (non-owning; the download manager). Without one,
  // downloads are not accepted.
  void SetDownloadDelegate(cef::CefDownloadHandler* delegate) { downloadDelegate_ = delegate; }
  // Who confirms the stored login before a proxy answer names the user (the account
  // operations' login check; it may ask the service). Without one, or when it says
  // no, proxy answers use the user name "nobody". GUI thread.
  void SetLoginCheck(std::function<bool()> check) { loginCheck_ = std::move(check); }
  // The login and VPN state the navigations and the proxy's challenges follow
  // (non-owning; start-up's, alive to the process's end). Without one, the engine
  // goes the system's way. GUI thread.
  void SetAccount(const AccountState* account) { account_ = account; }
  // Where the bodies it makes report their log-in forms (non-owning; start-up's,
  // alive to the process's end). Without one, pages get no log-in form script.
  void SetLoginFormEvents(LoginFormEvents* events) { loginFormEvents_ = events; }
  // A feature's entry of the page menu, shown after "save as"; an entry with the same
  // label key replaces the earlier one. GUI thread.
  void AddMenuEntry(ContextMenuEntry entry);

  cef::CefContextMenuHandler* GetContextMenuHandler() override { return this; }
  cef::CefDisplayHandler* GetDisplayHandler() override { return this; }
  cef::CefDownloadHandler* GetDownloadHandler() override { return this; }
  cef::CefLifeSpanHandler* GetLifeSpanHandler() override { return this; }
  cef::CefLoadHandler* GetLoadHandler() override { return this; }
  cef::CefRequestHandler* GetRequestHandler() override { return this; }

  bool OnBeforePopup(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefFrame> frame,
                     const cef::CefString& target_url, const cef::CefString& target_frame_name,
                     cef::cef_window_open_disposition_t disposition, bool user_gesture,
                     const cef::CefPopupFeatures& popup_features, cef::CefWindowInfo& window_info,
                     cef::CefRefPtr<cef::CefClient>& client, cef::CefBrowserSettings& settings,
                     bool* no_javascript_access) override;
  void OnAfterCreated(cef::CefRefPtr<cef::CefBrowser> browser) override;
  bool DoClose(cef::CefRefPtr<cef::CefBrowser> browser) override;

  void OnLoadingStateChange(cef::CefRefPtr<cef::CefBrowser> browser, bool is_loading, bool can_go_back,
                            bool can_go_forward) override;
  void OnTitleChange(cef::CefRefPtr<cef::CefBrowser> browser, const cef::CefString& title) override;
  void OnFaviconURLChange(cef::CefRefPtr<cef::CefBrowser> browser,
                          const std::vector<cef::CefString>& icon_urls) override;

  bool OnBeforeBrowse(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefFrame> frame,
                      cef::CefRefPtr<cef::CefRequest> request, bool is_redirect) override;
  cef::cef_return_value_t OnBeforeResourceLoad(cef::CefRefPtr<cef::CefBrowser> browser,
                                               cef::CefRefPtr<cef::CefFrame> frame,
                                               cef::CefRefPtr<cef::CefRequest> request) override;
  // Answers the VPN proxy's challenge with the user and the connection's proxy token
  // while connected, at most kMaxProxyAnswersPerNavigation times per browser between
  // two main-frame navigations (a proxy that keeps refusing gets no endless retries);
  // every other challenge is refused.
  // Tells the page its renderer is gone ("mainwnd/page/renderer_gone").
  void OnRenderProcessTerminated(cef::CefRefPtr<cef::CefBrowser> browser,
                                 cef::cef_termination_status_t status) override;
  bool GetAuthCredentials(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefFrame> frame, bool is_proxy,
                          const cef::CefString& host, int port, const cef::CefString& realm,
                          const cef::CefString& scheme, cef::CefRefPtr<cef::CefAuthCallback> callback) override;

  void OnBeforeContextMenu(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefFrame> frame,
                           cef::CefRefPtr<cef::CefContextMenuParams> params,
                           cef::CefRefPtr<cef::CefMenuModel> model) override;
  bool OnContextMenuCommand(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefFrame> frame,
                            cef::CefRefPtr<cef::CefContextMenuParams> params, int command_id,
                            int event_flags) override;

  void OnBeforeDownload(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefDownloadItem> download_item,
                        const cef::CefString& suggested_name,
                        cef::CefRefPtr<cef::CefBeforeDownloadCallback> callback) override;
  void OnDownloadUpdated(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefDownloadItem> download_item,
                         cef::CefRefPtr<cef::CefDownloadItemCallback> callback) override;

  // The next browser announced (made at once by CreateBrowserSync) becomes the body
  // of `page` (non-owning) instead of a new page; nullptr ends that.
  void AdoptNextBrowser(Page* page) { adopter_ = page; }

  // The page made for a browser, or nullptr once the page let the browser go.
  Page* PageOf(int browserId) const;
  // The page of `browserId` has let its body go (it closed, slept or was deleted):
  // reports that the browser still makes while it closes belong to no page.
  void ForgetPage(int browserId);
  // The main window a browser belongs to (its opener's for a pop-up), or the first
  // open window; 0 when none is open.
  DuiLib::HWND MainWindowOf(int browserId) const { return HostOf(browserId).mainWindow; }
  cef::CefRefPtr<cef::CefBrowser> FirstBrowser() const { return firstBrowser_; }

  // The two scripts of the picture commands for a picture address.
  static cef::CefString CopyPictureScript(const cef::CefString& sourceUrl);
  static cef::CefString PictureSizeScript(const cef::CefString& sourceUrl);

 private:
  // Points the engine at the VPN node of `connection` (proxied) or back at the
  // system settings, before the navigation in progress goes out. Nothing when it
  // already is.
  static void RouteThroughVpn(bool proxied, const AccountState::VpnConnection& connection);
  // The host of a browser (its window's while that window is open), or the first
  // open host; an empty host when no window is open.
  PageHost HostOf(int browserId) const;
  // The open host whose body bar holds `view`, or the first open host.
  PageHost HostOfView(const QWidget* view) const;

  std::map<int, Page*> pageOfBrowser_;  // not owned: the page list owns the pages
  std::map<int, cef::CefRefPtr<cef::CefBrowser>> browserOfId_;
  std::map<int, int> proxyAnswers_;  // browser identifier -> answers since its last navigation
  cef::CefRefPtr<cef::CefBrowser> firstBrowser_;
  std::map<int, CBodyBar*> bodyBarOfBrowser_;  // not owned; compared with hosts_ only
  bool appTabs_ = true;
  Page* adopter_ = nullptr;  // not owned; set only while its browser is being made
  std::vector<PageHost> hosts_;  // the open windows, in the order they were added
  cef::CefDownloadHandler* downloadDelegate_ = nullptr;  // not owned
  std::function<bool()> loginCheck_;
  const AccountState* account_ = nullptr;  // not owned
  LoginFormEvents* loginFormEvents_ = nullptr;  // not owned
  std::vector<ContextMenuEntry> menuEntries_;  // command kFirstFeatureEntry + index
};

// The one client, made on the first call. GUI thread.
cef::CefRefPtr<WebClient> ClientInstance();

}  // namespace tarvo
