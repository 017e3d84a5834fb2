#include "shell/mainwnd/tab_commands.h"

#include <QCursor>

#include "platform/debug_output.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/addressbar/web_search.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/command_router.h"
#include "shell/mainwnd/i_main_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/tab.h"
#include "shell/windows/tab_right_menu_wnd.h"
#include "store/search_records.h"

namespace tarvo {

namespace C = Commands;

TabCommands::TabCommands(IMainWindow& window, CommandRouter& router) : window_(window) {
  Pages& pages = window.PageList();
  auto current = [&pages] { return pages.Current(); };
  // The tab strip's button, Ctrl+T and the caption menu all open the same new tab.
  const auto openNewTab = [this, &pages](const CommandArgs&) {
    pages.OpenUrlInNewTab(StartPageUrl(SettingsKeys::kNewPage));
    // A new tab is for typing an address: the empty bar takes the keys at once.
    if (DuiLib::CControlUI* address = window_.Control(QStringLiteral("AddressEdit"))) {
      address->SetText(QString());
      address->SetFocus();
    }
  };
  router.Register(C::kNewTab, openNewTab);
  router.Register(C::kOpenHome, openNewTab);
  router.Register(C::kCloseTab, [&pages, current](const CommandArgs&) {
    if (Page* page = current()) pages.ClosePage(page);
  });
  router.Register(C::kSelectTab, [&pages](const CommandArgs& args) {
    if (Page* page = pages.PageOfOption(args.sender)) pages.SelectPage(page);
  });
  router.Register(C::kCloseTabOf, [&pages](const CommandArgs& args) {
    if (Page* page = pages.PageOfCloseButton(args.sender)) pages.ClosePage(page);
  });
  router.Register(C::kTabMenu, [this](const CommandArgs& args) { OpenTabMenu(args); });
  router.Register(C::kGoHome, [this, current](const CommandArgs&) {
    // With the chosen engine, as a new tab has it: the start page's search box works.
    if (Page* page = current()) page->Navigate(StartPageUrl(SettingsKeys::kHomePage));
  });
  router.Register(C::kGoBack, [current](const CommandArgs&) {
    if (Page* page = current()) page->GoBack();
  });
  router.Register(C::kGoForward, [current](const CommandArgs&) {
    if (Page* page = current()) page->GoForward();
  });
  router.Register(C::kReload, [current](const CommandArgs&) {
    if (Page* page = current()) page->Reload();
  });
  router.Register(C::kStop, [current](const CommandArgs&) {
    Page* page = current();
    if (page == nullptr || page->Body() == nullptr) return;
    page->Body()->Stop();
    page->SetLoading(false);
  });
  auto zoomable = [current] {
    Page* page = current();
    return page != nullptr && page->Body() != nullptr && page->Body()->Supports(PageOperation::kZoom);
  };
  router.Register(C::kZoomIn, [this](const CommandArgs&) { Zoom(true); }, zoomable);
  router.Register(C::kZoomOut, [this](const CommandArgs&) { Zoom(false); }, zoomable);
  router.Register(C::kOpenInBackgroundTab,
                  [&pages](const CommandArgs& args) { pages.OpenUrlInBackgroundTab(args.text); });
  router.Register(C::kOpenAllInTabs, [&pages](const CommandArgs& args) {
    for (const WString& url : args.urls) pages.OpenUrlInNewTab(url);
  });
  router.Register(C::kOpenResetPassword, [&pages](const CommandArgs&) {
    pages.OpenUrlInNewTab(SettingsRegistry::Instance().Get(SettingsKeys::kUserCentre) +
                          u"usercenter/personal-center/respwd.jsp?language=" +
                          LanguageManager::Instance().GetCurrentLanguage());
  });
  for (const bool privately : {false, true}) {
    router.Register(privately ? C::kOpenInPrivateWindow : C::kOpenInNewWindow,
                    [this, privately](const CommandArgs& args) { OpenInNewWindow({args.text}, privately); });
    router.Register(privately ? C::kOpenAllInPrivateWindow : C::kOpenAllInNewWindow,
                    [this, privately](const CommandArgs& args) {
                      // A folder without addresses opens nothing rather than an empty window.
                      if (!WithoutEmpty(args.urls).empty()) OpenInNewWindow(args.urls, privately);
                    });
    router.Register(privately ? C::kNewIncognitoWindow : C::kNewWindow,
                    [this, privately](const CommandArgs&) { OpenInNewWindow({}, privately); });
  }
  router.Register(C::kLeaveUserCentre, [this](const CommandArgs&) { LeaveUserCentre(); });
}

WString TabCommands::StartPageUrl(const char16_t* settingsKey) const {
  const SearchRecords records(window_.PageList().Database());
  return WebSearch(records).StartPageWithEngine(SettingsRegistry::Instance().Get(settingsKey));
}

std::vector<WString> TabCommands::WithoutEmpty(std::vector<WString> urls) {
  std::erase_if(urls, [](const WString& url) { return url.empty(); });
  return urls;
}

bool TabCommands::IsUserCentrePage(WStringView pageUrl, WStringView userCentre) {
  return !userCentre.empty() && pageUrl.starts_with(userCentre);
}

void TabCommands::OpenTabMenu(const CommandArgs& args) {
  Pages& pages = window_.PageList();
  Page* page = pages.PageOfOption(args.sender);
  if (page == nullptr) return;
  // The menu may outlive the page: it asks the page list whether the page is listed.
  auto listed = [&pages, page] { return pages.IndexOf(page) >= 0; };
  TabRightMenuWnd::TabActions actions;
  actions.isPinned = [page, listed] { return listed() && page->GetTab()->IsPinned(); };
  actions.pin = [&pages, page, listed] {
    if (listed()) pages.PinPage(page, true);
  };
  actions.unpin = [&pages, page, listed] {
    if (listed()) pages.PinPage(page, false);
  };
  auto* menu = new TabRightMenuWnd(std::move(actions));
  menu->Popup(window_.Handle(), QCursor::pos());
}

void TabCommands::OpenInNewWindow(const std::vector<WString>& urls, bool privately) {
  // Addresses opened from a private window stay private; only an empty new window
  // (Ctrl+N) asked for there is an ordinary one.
  privately = privately || (!urls.empty() && window_.PageList().IsPrivate());
  if (!window_.Group().OpenWindow(WithoutEmpty(urls), privately)) DebugOutput("new window not opened");
}

void TabCommands::LeaveUserCentre() {
  const WString userCentre = SettingsRegistry::Instance().Get(SettingsKeys::kUserCentre);
  Pages& pages = window_.PageList();
  for (int i = 0; i < pages.Count(); ++i) {
    Page* page = pages.PageAt(i);
    if (IsUserCentrePage(page->GetDisplayUrl(), userCentre)) page->Navigate(WString());
  }
}

void TabCommands::Zoom(bool in) {
  Page* page = window_.CurrentPage();
  if (page == nullptr || page->Body() == nullptr) return;
  in ? page->Body()->ZoomIn() : page->Body()->ZoomOut();
}

}  // namespace tarvo
