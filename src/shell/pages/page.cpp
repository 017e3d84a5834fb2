#include "shell/pages/page.h"

#include <QFileInfo>
#include <QString>

#include "net/picture_cache.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/qt_text.h"
#include "shell/pages/icon_downloader.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_language_keys.h"
#include "shell/pages/tab.h"
#include "protect/c_browser_url.h"
#include "url/url_parts.h"
#include "url/page_url.h"
#include "store/history_records.h"

namespace tarvo {

namespace {

// The engines' own title for an empty page, shown in the user's language instead.
constexpr char16_t kEngineNewTabTitle[] = u"新标签页";

}  // namespace

Page::Page(std::unique_ptr<ITabBody> body, int engineType)
    : ownedBody_(std::move(body)),
      body_(ownedBody_.get()),
      ownedTab_(std::make_unique<Tab>(Q(LanguageManager::Instance().GetText(PagesLanguageKeys::kTabNew)))),
      tab_(ownedTab_.get()),
      engineType_(engineType) {
  if (body_ != nullptr) body_->SetOwner(this);
}

Page::~Page() {
  Shutdown();
  history_.Clear();
}

void Page::OnIconReady(const WString& iconUrl, const WString& file) {
  if (iconUrl != iconUrl_ || tab_ == nullptr) return;
  tab_->SetIconFile(Q(file));
}

void Page::Navigate(WString url) {
  if (url.empty()) url = SettingsRegistry::Instance().Get(SettingsKeys::kNewPage);
  if (url.compare(0, 4, u"http") != 0 && url.compare(0, 4, u"file") != 0) url = u"http://" + url;
  UrlMapping mapping;
  if (WString mirrored = RewriteThroughSite(url); !mirrored.empty()) {
    mapping = {url, mirrored, true};
  } else {
    mapping = CBrowserUrl::Instance().MapUrl(url);
  }
  if (mapping.mapped) url = mapping.target;
  if (tab_ != nullptr) tab_->SetIcon(Tab::kDefaultIconImages);

  if (body_ == nullptr) return;
  if (engineType_ == kEngineChromium && CBrowserUrl::Instance().GetEngineType(url) == kEngineIe) {
    if (list_ != nullptr) list_->OpenIeTab(url);
    return;
  }
  FollowSite(mapping);
  body_->SetReady(true);
  body_->Navigate(url, WString(), WString());
}

WString Page::RewriteThroughSite(const WString& url) const {
  if (!siteMapping_.mapped || GetUrlOrigin(url) != siteMapping_.source) return WString();
  return siteMapping_.target + GetUrlPath(url);
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
  if (!history_.Current().realUrl.empty() && body_ != nullptr) body_->Reload();
}

void Page::SetUrl(const WString& url, bool redirect) {
  PageUrl pageUrl = CBrowserUrl::Instance().MakePageUrl(url);
  if (!history_.Empty() && pageUrl.url == history_.Current().userUrl) return;
  // A private window's steps live in the page only (no row, so no title or
  // withdrawal reaches the table either). So does a step whose row could not be
  // written (a full disk, a file that may not be written: the user has been told
  // why): the address shown, back and forward never depend on saving.
  if (IsPrivate() || HistoryRecords().AddHistory(pageUrl) != 0) {
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
  if (current.historyId != 0) HistoryRecords().DeleteVisit(current.historyId);
  const HistoryEntry shown = history_.Current();
  FollowSite({shown.userUrl, shown.realUrl, shown.mapped != 0});
}

WString Page::GetDisplayUrl() const { return history_.Current().userUrl; }

WString Page::GetLoadedUrl() const { return history_.Current().realUrl; }

void Page::SetTitle(const WString& title) {
  title_ = title == kEngineNewTabTitle ? LanguageManager::Instance().GetText(PagesLanguageKeys::kTabNew) : title;
  if (tab_ != nullptr) tab_->SetTitle(Q(title_));
  // The history page finds visits by their titles too.
  if (const int64_t visit = history_.Current().historyId; visit != 0 && title != kEngineNewTabTitle) {
    HistoryRecords().SetTitle(visit, title);
  }
}

void Page::SetIconUrl(const WString& iconUrl) {
  if (!iconRegistered_) {
    IconDownloader::Instance().Register(this);
    iconRegistered_ = true;
  }
  iconUrl_ = iconUrl;
  if (!IsPrivate()) {
    IconDownloader::Instance().Request(iconUrl);
    return;
  }
  // A private page writes no icon file: it shows one the cache already holds, or the
  // default icon.
  const WString cached = PictureCache::CachePath(iconUrl);
  if (!iconUrl.empty() && tab_ != nullptr && QFileInfo::exists(Q(cached))) tab_->SetIconFile(Q(cached));
}

bool Page::IsPrivate() const { return list_ != nullptr && list_->IsPrivate(); }

void Page::SetLoading(bool loading) {
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
  if (list_ != nullptr) list_->ShowBody(this);
}

void Page::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (body_ != nullptr) {
    body_->SetOwner(nullptr);
    body_->Close();
  }
  if (iconRegistered_) {
    IconDownloader::Instance().Unregister(this);
    iconRegistered_ = false;
  }
}

}  // namespace tarvo
