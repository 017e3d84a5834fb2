#include "shell/pages/page.h"

#include <QFileInfo>
#include <QString>

#include "net/picture_cache.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "session/crash_reload_policy.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/crashed_page_notice.h"
#include "shell/pages/qt_text.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_language_keys.h"
#include "shell/pages/tab.h"
#include "shell/pages/tab_parts.h"
#include "protect/c_browser_url.h"
#include "url/url_parts.h"
#include "url/page_url.h"
#include "store/history_records.h"

namespace tarvo {

namespace {

// The engines' own title for an empty page, shown in the user's language instead.
constexpr char16_t kEngineNewTabTitle[] = u"新标签页";

const QString kCrashedIconImages = QStringLiteral(
    R"(normalimage="file='Tabbar\favicon_crashed.png'" selectedimage="file='Tabbar\favicon_crashed.png'")");

// Where renderer deaths are counted: the address's registrable domain, else its
// host, else the address itself.
std::string SiteOf(const WString& url) {
  WString site = GetRegistrableDomain(url);
  if (site.empty()) site = GetUrlHost(url);
  if (site.empty()) site = url;
  return WideToUtf8(site);
}

}  // namespace

Page::Page(std::unique_ptr<ITabBody> body, int engineType)
    : ownedBody_(std::move(body)),
      body_(ownedBody_.get()),
      ownedTab_(std::make_unique<Tab>(Q(LanguageManager::Instance().GetText(PagesLanguageKeys::kTabNew)))),
      tab_(ownedTab_.get()),
      engineType_(engineType) {
  tab_->CloseButton()->SetToolTip(Q(LanguageManager::Instance().GetText(PagesLanguageKeys::kTabClose)));
  if (body_ != nullptr) body_->SetOwner(this);
}

Page::~Page() {
  Shutdown();
  history_.Clear();
  delete notice_.data();
}

void Page::OnIconReady(const WString& iconUrl, const WString& file) {
  // A crashed tab keeps its crashed icon until the page loads again.
  if (iconUrl != iconUrl_ || tab_ == nullptr || IsCrashed()) return;
  tab_->SetIconFile(Q(file));
}

void Page::Navigate(const WString& address) {
  const AddressRoute route = CBrowserUrl::Instance().RouteTyped(address, siteMapping_);
  const bool elsewhere = body_ != nullptr && engineType_ == kEngineChromium && route.engine == kEngineIe;
  // A crashed page that loads an address of its own is done with its notice.
  if (!elsewhere) EndCrash();
  if (tab_ != nullptr) tab_->SetIcon(Tab::kDefaultIconImages);

  if (body_ == nullptr) return;
  if (elsewhere) {
    if (list_ != nullptr) list_->OpenIeTab(route.loaded);
    return;
  }
  FollowSite({route.shown, route.loaded, route.mapped});
  body_->SetReady(true);
  body_->Navigate(route.loaded, WString(), WString());
}

void Page::FollowSite(const UrlMapping& mapping) {
  siteMapping_ = mapping.mapped ? UrlMapping{GetUrlOrigin(mapping.source), GetUrlOrigin(mapping.target), true}
                                : UrlMapping{};
}

void Page::GoBack() {
  const HistoryEntry entry = history_.Back();
  if (!entry.realUrl.empty()) Navigate(entry.realUrl);
}

void Page::GoForward() {
  const HistoryEntry entry = history_.Forward();
  if (!entry.realUrl.empty()) Navigate(entry.realUrl);
}

void Page::Reload() {
  const WString url = history_.Current().realUrl;
  if (url.empty() || body_ == nullptr) return;
  if (!IsCrashed()) {
    body_->Reload();
    return;
  }
  EndCrash();
  // A body that cannot reload what it no longer shows loads the address instead.
  if (body_->Reload() != 0) Navigate(url);
}

void Page::SetUrl(const WString& url, bool redirect) {
  const AddressRoute route = CBrowserUrl::Instance().Route(url);
  PageUrl pageUrl{route.shown, route.loaded, route.mapped, 0};
  if (!history_.Empty() && pageUrl.url == history_.Current().userUrl) return;
  // A private window's steps live in the page only (no row, so no title or
  // withdrawal reaches the table either). So does a step whose row could not be
  // written (a full disk, a file that may not be written: the user has been told
  // why), or of a page in no list yet: the address shown, back and forward never
  // depend on saving.
  if (IsPrivate() || list_ == nullptr || HistoryRecords(list_->Database()).AddHistory(pageUrl) != 0) {
    pageUrl.historyId = 0;
  }
  FollowSite({pageUrl.url, pageUrl.realUrl, pageUrl.mapped});
  HistoryEntry entry{pageUrl.url, pageUrl.realUrl, static_cast<uint8_t>(pageUrl.mapped ? 1 : 0), pageUrl.historyId};
  if (redirect && !history_.Empty()) {
    history_.Redirect(std::move(entry));
  } else {
    history_.Record(std::move(entry));
  }
}

void Page::WithdrawNavigation(const WString& url) {
  const HistoryEntry current = history_.Current();
  if (current.realUrl != url && current.userUrl != url) return;
  if (!history_.WithdrawLast()) return;
  if (current.historyId != 0 && list_ != nullptr) HistoryRecords(list_->Database()).DeleteVisit(current.historyId);
  const HistoryEntry shown = history_.Current();
  FollowSite({shown.userUrl, shown.realUrl, shown.mapped != 0});
}

WString Page::GetDisplayUrl() const { return history_.Current().userUrl; }

WString Page::GetLoadedUrl() const { return history_.Current().realUrl; }

void Page::SetTitle(const WString& title) {
  title_ = title == kEngineNewTabTitle ? LanguageManager::Instance().GetText(PagesLanguageKeys::kTabNew) : title;
  if (IsCrashed()) {
    labelBeforeCrash_ = Q(title_);
    if (tab_ != nullptr) tab_->SetTitle(CrashedLabel());
  } else if (tab_ != nullptr) {
    tab_->SetTitle(Q(title_));
  }
  // The history page finds visits by their titles too.
  if (const int64_t visit = history_.Current().historyId;
      visit != 0 && list_ != nullptr && title != kEngineNewTabTitle) {
    HistoryRecords(list_->Database()).SetTitle(visit, title);
  }
}

void Page::SetIconUrl(const WString& iconUrl) {
  iconUrl_ = iconUrl;
  // An icon the folder holds shows at once; a private page writes no icon file, so
  // it shows only such an icon, or the default one.
  const WString cached = iconUrl.empty() ? WString() : PictureCache::CachePath(iconUrl);
  const bool inFolder = !cached.empty() && QFileInfo::exists(Q(cached));
  if (inFolder && tab_ != nullptr) tab_->SetIconFile(Q(cached));
  if (list_ != nullptr && !IsPrivate()) list_->Icons().Request(*this, inFolder ? WString() : iconUrl);
}

bool Page::IsPrivate() const { return list_ != nullptr && list_->IsPrivate(); }

bool Page::ReloadForVpn() {
  if (engineType_ != kEngineChromium || body_ == nullptr || shutDown_) return false;
  const BodyRest rest = RestState();
  if (rest == BodyRest::kDiscarded) return false;
  if (rest == BodyRest::kFrozen) {
    Rest(BodyRest::kDiscarded);
    return true;
  }
  if (history_.Current().realUrl.empty()) return false;
  body_->Reload();
  return true;
}

void Page::ShowVpnState(bool vpnOn) {
  if (tab_ == nullptr) return;
  tab_->SetVpnMark(vpnOn && engineType_ == kEngineIe,
                   Q(LanguageManager::Instance().GetText(PagesLanguageKeys::kTabVpnUnprotected)));
}

void Page::SetLoading(bool loading) {
  if (loading) EndCrash();
  loading_ = loading;
  if (list_ != nullptr) list_->GetTabWnd().UpdateFor(this);
}

void Page::ShowUnloaded(const WString& url, const WString& title, double zoomLevel) {
  if (body_ != nullptr || url.empty()) return;
  history_.Record(HistoryEntry{url, url, 0, 0});
  pendingZoomLevel_ = zoomLevel;
  if (!title.empty()) {
    SetTitle(title);
  } else if (tab_ != nullptr) {
    tab_->SetTitle(Q(url));
  }
  // Only an icon already in the folder: a tab that is not loaded asks the network
  // for nothing.
  const WString origin = GetUrlOrigin(url);
  const WString iconUrl = origin + u"/favicon.ico";
  const WString file = origin.empty() ? WString() : PictureCache::CachePath(iconUrl);
  if (tab_ != nullptr && !file.empty() && QFileInfo::exists(Q(file))) {
    iconUrl_ = iconUrl;
    tab_->SetIconFile(Q(file));
  }
}

void Page::AdoptBody(std::unique_ptr<ITabBody> body) {
  if (body == nullptr || body_ != nullptr || shutDown_) return;
  ownedBody_ = std::move(body);
  body_ = ownedBody_.get();
  body_->SetOwner(this);
  if (pendingZoomLevel_ != 0) body_->SetZoomLevel(pendingZoomLevel_);
  const WString url = GetDisplayUrl();
  if (!url.empty()) Navigate(url);
}

void Page::DropBody() {
  if (body_ == nullptr) return;
  pendingZoomLevel_ = body_->CurrentZoomLevel();
  if (list_ != nullptr && list_->BodyBar() != nullptr) list_->BodyBar()->Forget(body_);
  body_->SetOwner(nullptr);
  body_->Close();
  body_ = nullptr;
  ownedBody_.reset();
}

void Page::Rest(BodyRest rest) {
  if (body_ == nullptr || rest == BodyRest::kActive || shutDown_) return;
  if (!body_->SetRest(rest) && rest == BodyRest::kDiscarded) DropBody();
}

bool Page::Wake() {
  if (shutDown_) return false;
  if (body_ == nullptr) return list_ != nullptr && list_->MakeBodyFor(this);
  return body_->Rest() == BodyRest::kActive || body_->SetRest(BodyRest::kActive);
}

BodyRest Page::RestState() const { return body_ != nullptr ? body_->Rest() : BodyRest::kDiscarded; }

double Page::ZoomLevel() const { return body_ != nullptr ? body_->CurrentZoomLevel() : pendingZoomLevel_; }

void Page::Activate() {
  Wake();
  MarkUsed();
  if (tab_ != nullptr) tab_->SetSelected(true);
  // Died in the background: selected again, it loads again, unless its site's
  // renderer keeps dying.
  if (IsCrashed() && reloadWhenSelected_) Reload();
  if (list_ != nullptr) list_->ShowBody(this);
}

void Page::OnRendererGone() {
  // A page the engine discarded has let its renderer go on purpose.
  if (body_ == nullptr || shutDown_ || body_->Rest() == BodyRest::kDiscarded) return;
  const bool inFront = list_ != nullptr && list_->Current() == this;
  // A page not yet in a list has nobody to count its site's deaths: it may reload.
  const bool mayReload =
      list_ == nullptr || list_->CrashReloads().NoteDeath(SiteOf(GetLoadedUrl()), CrashReloadPolicy::Clock::now());
  reloadWhenSelected_ = !inFront && mayReload;
  if (!IsCrashed()) {
    notice_ = new CrashedPageNotice([this] { Reload(); });
    if (tab_ != nullptr) {
      labelBeforeCrash_ = tab_->GetTitle();
      iconBeforeCrash_ = tab_->IconImages();
      tab_->SetTitle(CrashedLabel());
      tab_->SetIcon(kCrashedIconImages);
    }
  }
  SetLoading(false);
  if (inFront) list_->ShowBody(this);
}

void Page::EndCrash() {
  if (!IsCrashed()) return;
  reloadWhenSelected_ = false;
  // Later: the notice's own button may be what asked for the reload.
  notice_->hide();
  notice_->deleteLater();
  notice_ = nullptr;
  if (tab_ != nullptr) {
    tab_->SetTitle(labelBeforeCrash_);
    tab_->SetIcon(iconBeforeCrash_);
  }
  if (list_ != nullptr && list_->Current() == this) list_->ShowBody(this);
}

QString Page::CrashedLabel() const {
  return Q(LanguageManager::Instance().GetText(PagesLanguageKeys::kTabCrashed)).arg(labelBeforeCrash_);
}

void Page::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (body_ != nullptr) {
    body_->SetOwner(nullptr);
    body_->Close();
  }
}

}  // namespace tarvo
