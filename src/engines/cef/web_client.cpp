#include "engines/cef/web_client.h"

#include <QWidget>
#include <utility>

#include "account/account_state.h"
#include "settings/language_manager.h"
#include "engines/cef/browser_key_filter.h"
#include "engines/webengine/cef_auth_callback.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_download_item.h"
#include "engines/webengine/cef_context_menu_params.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_menu_model.h"
#include "engines/webengine/cef_request.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/cef_value.h"
#include "engines/cef/client_language_keys.h"
#include "engines/cef/tab_cef_body.h"
#include "bus/bus_channels.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/icon_address.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_messages.h"
#include "protect/c_browser_url.h"
#include "ui/window_registry.h"
#include "shell/commands/main_window_messages.h"

namespace tarvo {

using namespace cef;

namespace {

constexpr uint32_t kBrowserWindowStyle = 0x56010000;

template <class Channel, class Record>
void PostRecord(const Channel& channel, Record record) {
  channel.Post(std::make_unique<Record>(std::move(record)));
}

CefString Text(WStringView key) { return LanguageManager::Instance().GetText(key); }

CefString Format(WStringView templ, const CefString& value) {
  CefString result(templ);
  const size_t at = result.find(u"%s");
  if (at != CefString::npos) result.replace(at, 2, value);
  return result;
}

constexpr char16_t kCopyPictureTemplate[] =
    u"var i; var img; var imgs = document.getElementsByTagName('img');for(i=0;i<imgs.length;i++){\tif(imgs[i].src "
    u"== \"%s\"){\t\timg = imgs[i];\t\tvar range = document.createRange();\t\trange.selectNode(img);\t\tvar sel = "
    u"window.getSelection();\t\tsel.removeAllRanges();\t\tsel.addRange(range);\t\tdocument.execCommand(\"copy\");"
    u"\t\tsel.removeAllRanges();\t\tbreak;\t}}";
// The size is read once the picture has loaded: a new Image reports 0 x 0 until then,
// even for a picture the page already shows.
constexpr char16_t kPictureSizeTemplate[] =
    u"var img = new Image();img.onload = function() {  alert(\"图片尺寸：\" + img.width + \" x \"+img.height);};"
    u"img.src = \"%s\";";

// Quotes and backslashes of an address would end the script's string early.
bool IsOffTheRecord(const CefRefPtr<CefBrowser>& browser) {
  auto host = browser != nullptr ? browser->GetHost() : nullptr;
  auto context = host != nullptr ? host->GetRequestContext() : nullptr;
  return context != nullptr && context->IsOffTheRecord();
}

CefString EscapeForScript(const CefString& url) {
  CefString escaped;
  for (char16_t unit : url) {
    if (unit == u'"' || unit == u'\\') escaped.push_back(u'\\');
    if (unit == u'\n' || unit == u'\r' || unit == 0x2028 || unit == 0x2029) continue;
    escaped.push_back(unit);
  }
  return escaped;
}

}  // namespace

CefRefPtr<WebClient> ClientInstance() {
  static auto* client = new CefRefPtr<WebClient>(std::make_shared<WebClient>());
  return *client;
}

void WebClient::AddHost(const PageHost& host) {
  RemoveHost(host.bodyBar);
  hosts_.push_back(host);
}

void WebClient::RemoveHost(const CBodyBar* bodyBar) {
  std::erase_if(hosts_, [bodyBar](const PageHost& host) { return host.bodyBar == bodyBar; });
}

PageHost WebClient::HostOf(int browserId) const {
  const auto it = bodyBarOfBrowser_.find(browserId);
  for (const PageHost& host : hosts_) {
    if (it != bodyBarOfBrowser_.end() && host.bodyBar == it->second) return host;
  }
  return hosts_.empty() ? PageHost{} : hosts_.front();
}

PageHost WebClient::HostOfView(const QWidget* view) const {
  const QWidget* parent = view != nullptr ? view->parentWidget() : nullptr;
  for (const PageHost& host : hosts_) {
    if (parent != nullptr && host.bodyBar != nullptr && host.bodyBar->GetWidget() == parent) return host;
  }
  return hosts_.empty() ? PageHost{} : hosts_.front();
}

Page* WebClient::PageOf(int browserId) const {
  const auto it = pageOfBrowser_.find(browserId);
  return it == pageOfBrowser_.end() ? nullptr : it->second;
}

void WebClient::ForgetPage(int browserId) {
  // The entry stays until the browser closes: its window still has to be removed then.
  const auto it = pageOfBrowser_.find(browserId);
  if (it != pageOfBrowser_.end()) it->second = nullptr;
}

bool WebClient::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>, const CefString&, const CefString&,
                              cef_window_open_disposition_t disposition, bool, const CefPopupFeatures&,
                              CefWindowInfo& window_info, CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) {
  if (disposition < WOD_NEW_FOREGROUND_TAB || disposition > WOD_NEW_WINDOW) return true;
  if (appTabs_) {
    // Born in the opener's window at its body bar's size, like the browsers the
    // shell asks for.
    const PageHost host = HostOf(browser != nullptr ? browser->GetIdentifier() : -1);
    QWidget* bar = host.bodyBar != nullptr ? host.bodyBar->GetWidget() : nullptr;
    const QRect client = bar != nullptr ? bar->rect() : QRect();
    window_info.SetAsChild(bar, 0, 0, client.width(), client.height());
    window_info.style = kBrowserWindowStyle;
  }
  return false;
}

void WebClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  auto browserHost = browser->GetHost();
  QWidget* window = browserHost != nullptr ? browserHost->GetWindowHandle() : nullptr;
  if (window == nullptr) return;
  if (firstBrowser_ == nullptr) firstBrowser_ = browser;
  const PageHost host = HostOfView(window);
  new BrowserKeyFilter(window, host.mainWindow);
  // A new browser stays hidden until the body bar shows its page, so a background
  // tab never covers the selected one.
  window->hide();

  auto body = std::make_unique<TabCefBody>(browser, true, loginFormEvents_);
  TabCefBody* rawBody = body.get();
  if (Page* page = std::exchange(adopter_, nullptr)) {
    // A page that had no body takes this one and loads its own address in it.
    const int id = browser->GetIdentifier();
    pageOfBrowser_[id] = page;
    browserOfId_[id] = browser;
    bodyBarOfBrowser_[id] = host.bodyBar;
    page->AdoptBody(std::move(body));
    if (host.bodyBar != nullptr) {
      DuiLib::PostMessage(host.bodyBar->GetHWND(), PagesMessages::kAddCefBody, reinterpret_cast<DuiLib::WPARAM>(window),
                          reinterpret_cast<DuiLib::LPARAM>(static_cast<ITabBody*>(rawBody)));
    }
    return;
  }
  auto record = std::make_unique<AddPageRecord>();
  record->page = std::make_unique<Page>(std::move(body), Page::kEngineChromium);
  record->into = host.pages;
  Page* page = record->page.get();
  const int id = browser->GetIdentifier();
  pageOfBrowser_[id] = page;
  browserOfId_[id] = browser;
  bodyBarOfBrowser_[id] = host.bodyBar;
  if (!PageChannels::kAddPage.Post(std::move(record))) {
    // The page went with the record; its body closed the browser.
    pageOfBrowser_.erase(id);
    browserOfId_.erase(id);
    bodyBarOfBrowser_.erase(id);
    return;
  }
  if (host.bodyBar != nullptr) {
    DuiLib::PostMessage(host.bodyBar->GetHWND(), PagesMessages::kAddCefBody, reinterpret_cast<DuiLib::WPARAM>(window),
                        reinterpret_cast<DuiLib::LPARAM>(static_cast<ITabBody*>(rawBody)));
  }
}

bool WebClient::DoClose(CefRefPtr<CefBrowser> browser) {
  const int id = browser->GetIdentifier();
  if (pageOfBrowser_.count(id) == 0) return false;
  const PageHost pageHost = HostOf(id);
  // A page the shell still holds asked to close itself (its body lets go of the page
  // first when the shell closes it).
  Page* closedByPage = PageOf(id);
  pageOfBrowser_.erase(id);
  browserOfId_.erase(id);
  bodyBarOfBrowser_.erase(id);
  proxyAnswers_.erase(id);
  auto host = browser->GetHost();
  QWidget* window = host != nullptr ? host->GetWindowHandle() : nullptr;
  DuiLib::PostMessage(pageHost.mainWindow, MainWindowMessages::kRemoveBodyWindow,
                      reinterpret_cast<DuiLib::WPARAM>(window));
  // The first browser's window stays: proxy tasks are addressed through it.
  if (window != nullptr && !browser->IsSame(firstBrowser_)) window->deleteLater();
  if (closedByPage != nullptr) PostRecord(PageChannels::kClosedByPage, PageGoneRecord{closedByPage});
  return true;
}

void WebClient::OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool is_loading, bool, bool) {
  if (!appTabs_) return;
  // Every page keeps its own state, so a background tab selected later shows whether
  // it is still loading; the page list applies it only to pages it holds.
  if (Page* page = PageOf(browser->GetIdentifier())) {
    PostRecord(PageChannels::kIsLoading, PageFlagRecord{page, static_cast<uint8_t>(is_loading ? 1 : 0)});
  }
}

void WebClient::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
  if (!appTabs_ || title.empty()) return;
  if (Page* page = PageOf(browser->GetIdentifier())) PostRecord(PageChannels::kSetTitle, PageTextRecord{page, title});
}

void WebClient::OnFaviconURLChange(CefRefPtr<CefBrowser> browser, const std::vector<CefString>& icon_urls) {
  if (!appTabs_) return;
  Page* page = PageOf(browser->GetIdentifier());
  if (page == nullptr) return;
  for (const CefString& url : icon_urls) {
    if (IsIcoAddress(url)) {
      PostRecord(PageChannels::kSetIconUrl, PageTextRecord{page, url});
    }
  }
}

bool WebClient::OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                               bool is_redirect) {
  const CefString url = request->GetURL();
  if (CBrowserUrl::Instance().Route(url).engine == Page::kEngineIe) {
    if (Pages* pages = HostOf(browser->GetIdentifier()).pages) pages->OpenIeTab(url);
    return true;
  }
  if (frame != nullptr && frame->IsMain()) proxyAnswers_.erase(browser->GetIdentifier());
  if (account_ != nullptr && account_->IsConnected()) {
    RouteThroughVpn(account_->IsWhiteListed(url), account_->Connection());
  }
  if (appTabs_ && frame != nullptr && frame->IsMain()) {
    if (Page* page = PageOf(browser->GetIdentifier())) {
      PostRecord(PageChannels::kTempRedirect, PageRedirectRecord{page, url, static_cast<uint8_t>(is_redirect ? 1 : 0)});
    }
  }
  return false;
}

cef_return_value_t WebClient::OnBeforeResourceLoad(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                                   CefRefPtr<CefRequest> request) {
  CefRequest::HeaderMap headers;
  request->GetHeaderMap(headers);
  // The interface language, the same in private windows, so they do not stand out.
  headers.emplace(u"Accept-Language", Utf8ToWide(LanguageManager::Instance().GetAcceptLanguage()));
  request->SetHeaderMap(headers);
  return RV_CONTINUE;
}

void WebClient::OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, cef_termination_status_t) {
  if (!appTabs_ || browser == nullptr) return;
  if (Page* page = PageOf(browser->GetIdentifier())) PostRecord(PageChannels::kRendererGone, PageGoneRecord{page});
}

bool WebClient::GetAuthCredentials(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame>, bool is_proxy, const CefString&, int,
                                   const CefString&, const CefString&, CefRefPtr<CefAuthCallback> callback) {
  if (!is_proxy || callback == nullptr) return false;
  if (account_ == nullptr) return false;
  const AccountState& account = *account_;
  const AccountState::VpnConnection connection = account.Connection();
  if (!connection.connected) return false;
  // The engine asks again whenever the proxy refuses; a token the proxy no longer
  // takes would otherwise be offered without end.
  int& answers = proxyAnswers_[browser != nullptr ? browser->GetIdentifier() : -1];
  if (answers >= kMaxProxyAnswersPerNavigation) return false;
  ++answers;
  CefString user = u"nobody";
  if (loginCheck_ && loginCheck_()) {
    if (WString id = account.UserId(); !id.empty()) user = std::move(id);
  }
  callback->Continue(user, connection.proxyToken);
  return true;
}

void WebClient::RouteThroughVpn(bool proxied, const AccountState::VpnConnection& connection) {
  auto context = CefRequestContext::GetGlobalContext();
  if (context == nullptr || !context->CanSetPreference("proxy")) return;
  CefString server;
  CefString mode;
  if (proxied) {
    server = connection.proxyAddress + u":" + connection.proxyPort;
    mode = u"fixed_servers";
  }
  // Every navigation asks again; setting an unchanged proxy would hold the
  // navigation back while the engine confirms a change that is none.
  // Nothing set yet means the system settings, the same as an empty mode and server.
  auto current = context->GetPreference("proxy");
  auto currentDictionary = current != nullptr ? current->GetDictionary() : nullptr;
  const CefString currentMode = currentDictionary != nullptr ? currentDictionary->GetString(u"mode") : CefString();
  const CefString currentServer = currentDictionary != nullptr ? currentDictionary->GetString(u"server") : CefString();
  if (currentMode == mode && currentServer == server) return;
  auto dictionary = CefDictionaryValue::Create();
  dictionary->SetString(u"mode", mode);
  dictionary->SetString(u"server", server);
  auto value = CefValue::Create();
  value->SetDictionary(dictionary);
  CefString error;
  context->SetPreference("proxy", value, error);
}

void WebClient::OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams> params,
                                    CefRefPtr<CefMenuModel> model) {
  if (!appTabs_) return;
  if (model->GetCount() > 0) model->Clear();
  const int flags = params->GetTypeFlags();
  if ((flags & CM_TYPEFLAG_EDITABLE) != 0) {
    model->AddItem(MENU_ID_CUT, Text(ClientLanguageKeys::kEditCut));
    model->AddItem(MENU_ID_COPY, Text(ClientLanguageKeys::kEditCopy));
    model->AddItem(MENU_ID_PASTE, Text(ClientLanguageKeys::kEditPaste));
    model->AddItem(kPasteAndSearch, Text(ClientLanguageKeys::kEditPasteAndSearch));
    model->SetEnabled(kPasteAndSearch, false);
    model->AddItem(MENU_ID_DELETE, Text(ClientLanguageKeys::kEditDelete));
    model->AddSeparator();
    model->AddItem(MENU_ID_SELECT_ALL, Text(ClientLanguageKeys::kEditSelectAll));
    return;
  }
  const struct {
    int command;
    const char16_t* key;
  } items[] = {
      {kOpenInNewTab, ClientLanguageKeys::kOpenInNewTab},
      {kOpenInNewWindow, ClientLanguageKeys::kOpenInNewWindow},
      {kOpenInIncognito, ClientLanguageKeys::kOpenInIncognito},
      {CefMenuModel::kSeparatorId, nullptr},
      {kSaveAs, ClientLanguageKeys::kSaveAs},
      {kCopyUrl, ClientLanguageKeys::kCopyUrl},
      {MENU_ID_COPY, ClientLanguageKeys::kCopy},
      {CefMenuModel::kSeparatorId, nullptr},
      {kSavePictureAs, ClientLanguageKeys::kSavePictureAs},
      {kCopyPictureUrl, ClientLanguageKeys::kCopyPictureUrl},
      {kCopyPicture, ClientLanguageKeys::kCopyPicture},
      {CefMenuModel::kSeparatorId, nullptr},
      {MENU_ID_RELOAD, ClientLanguageKeys::kReload},
      {CefMenuModel::kSeparatorId, nullptr},
      {kPictureProperty, ClientLanguageKeys::kProperty},
  };
  const bool link = (flags & CM_TYPEFLAG_LINK) != 0;
  const bool selection = (flags & CM_TYPEFLAG_SELECTION) != 0;
  for (const auto& item : items) {
    if (item.key == nullptr) {
      model->AddSeparator();
      continue;
    }
    model->AddItem(item.command, Text(item.key));
    if (item.command != MENU_ID_RELOAD) model->SetEnabled(item.command, false);
    if (item.command != kSaveAs) continue;
    // The features' entries join the group of what is done with a link.
    for (size_t i = 0; i < menuEntries_.size(); ++i) {
      const int command = kFirstFeatureEntry + static_cast<int>(i);
      model->AddItem(command, Text(menuEntries_[i].labelKey));
      switch (menuEntries_[i].target) {
        case ContextMenuEntry::Target::kLink: model->SetEnabled(command, link); break;
        case ContextMenuEntry::Target::kSelection: model->SetEnabled(command, selection); break;
        case ContextMenuEntry::Target::kPage: break;
      }
    }
  }
  const bool media = (flags & CM_TYPEFLAG_MEDIA) != 0;
  const bool image = media && params->HasImageContents();
  for (int command : {kOpenInNewTab, kOpenInNewWindow, kOpenInIncognito, kCopyUrl}) {
    if (link) model->SetEnabled(command, true);
  }
  if (media && params->GetMediaType() == CM_MEDIATYPE_FILE) model->SetEnabled(kSaveAs, true);
  if (selection) model->SetEnabled(MENU_ID_COPY, true);
  for (int command : {kSavePictureAs, kCopyPictureUrl, kCopyPicture, kPictureProperty}) {
    if (image) model->SetEnabled(command, true);
  }
}

bool WebClient::OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefContextMenuParams> params, int command_id, int) {
  auto host = browser != nullptr ? browser->GetHost() : nullptr;
  switch (command_id) {
    case kOpenInNewTab:
      BusChannels::PostUrl(BusChannels::kTabOpenUrl, params->GetLinkUrl());
      return true;
    case kOpenInNewWindow:
      // A link of a private page stays private: an ordinary window would record it
      // and keep its cookies.
      BusChannels::PostUrl(IsOffTheRecord(browser) ? BusChannels::kPrivateWindowOpenUrl : BusChannels::kWindowOpenUrl,
                           params->GetLinkUrl());
      return true;
    case kOpenInIncognito:
      BusChannels::PostUrl(BusChannels::kPrivateWindowOpenUrl, params->GetLinkUrl());
      return true;
    case kSaveAs:
      if (host != nullptr) host->StartDownload(params->GetLinkUrl());
      return true;
    case kCopyUrl:
      BusChannels::PostUrl(BusChannels::kClipboardCopyUrl, params->GetLinkUrl());
      return true;
    case kSavePictureAs:
      if (host != nullptr) host->StartDownload(params->GetSourceUrl());
      return true;
    case kCopyPictureUrl:
      BusChannels::PostUrl(BusChannels::kClipboardCopyUrl, params->GetSourceUrl());
      return true;
    case kCopyPicture:
      if (frame != nullptr) frame->ExecuteJavaScript(CopyPictureScript(params->GetSourceUrl()), frame->GetURL(), 0);
      return true;
    case kPictureProperty:
      if (frame != nullptr) frame->ExecuteJavaScript(PictureSizeScript(params->GetSourceUrl()), frame->GetURL(), 0);
      return true;
    default:
      break;
  }
  const int entry = command_id - kFirstFeatureEntry;
  if (entry < 0 || entry >= static_cast<int>(menuEntries_.size())) return false;
  switch (menuEntries_[entry].target) {
    case ContextMenuEntry::Target::kLink: menuEntries_[entry].run(params->GetLinkUrl()); break;
    case ContextMenuEntry::Target::kSelection: menuEntries_[entry].run(params->GetSelectionText()); break;
    case ContextMenuEntry::Target::kPage: menuEntries_[entry].run(params->GetPageUrl()); break;
  }
  return true;
}

void WebClient::AddMenuEntry(ContextMenuEntry entry) {
  for (ContextMenuEntry& added : menuEntries_) {
    if (WStringView(added.labelKey) == WStringView(entry.labelKey)) {
      added = std::move(entry);
      return;
    }
  }
  menuEntries_.push_back(std::move(entry));
}

void WebClient::OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                 const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) {
  // A link that turns out to be a file leaves the page where it was; the step the
  // navigation recorded goes again (a download asked for by the menu recorded none).
  if (appTabs_ && browser != nullptr && download_item != nullptr) {
    if (Page* page = PageOf(browser->GetIdentifier())) {
      PostRecord(PageChannels::kBecameDownload, PageTextRecord{page, download_item->GetURL()});
    }
  }
  if (downloadDelegate_ != nullptr) downloadDelegate_->OnBeforeDownload(browser, download_item, suggested_name, callback);
}

void WebClient::OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                  CefRefPtr<CefDownloadItemCallback> callback) {
  if (downloadDelegate_ != nullptr) downloadDelegate_->OnDownloadUpdated(browser, download_item, callback);
}

CefString WebClient::CopyPictureScript(const CefString& sourceUrl) {
  return Format(kCopyPictureTemplate, EscapeForScript(sourceUrl));
}

CefString WebClient::PictureSizeScript(const CefString& sourceUrl) {
  return Format(kPictureSizeTemplate, EscapeForScript(sourceUrl));
}

}  // namespace tarvo
