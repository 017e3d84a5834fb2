#include "shell/pages/pages.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

#include "platform/debug_output.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page.h"
#include "shell/pages/tab.h"
#include "shell/pages/tab_parts.h"
#include "shell/pages/tab_option.h"
#include "shell/pages/tab_strip.h"
#include "protect/c_browser_url.h"

namespace tarvo {

Pages::Pages(CrashReloadPolicy& crashReloads, UserDatabase& database, IconFetchQueue::RouteFor iconRoute)
    : crashReloads_(crashReloads), database_(database), icons_(*this, std::move(iconRoute)) {
  showAdded_.setSingleShot(true);
  showAdded_.setInterval(0);
  QObject::connect(&showAdded_, &QTimer::timeout, [this] {
    Page* page = std::exchange(addedToShow_, nullptr);
    if (page != nullptr && page == Current()) ShowBody(page);
  });
}

Pages::~Pages() { CloseAll(); }

void Pages::Attach(TabStrip* strip, CBodyBar* bodyBar, DuiLib::HWND mainWindow) {
  strip_ = strip;
  bodyBar_ = bodyBar;
  mainWindow_ = mainWindow;
  if (strip_ != nullptr) strip_->SetMover([this](int from, int to) { MovePage(from, to); });
}

Page* Pages::PageAt(int index) const {
  if (pages_.empty()) return nullptr;
  const int count = Count();
  return pages_[static_cast<size_t>(((index % count) + count) % count)].get();
}

int Pages::IndexOf(const Page* page) const {
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (pages_[i].get() == page) return static_cast<int>(i);
  }
  return -1;
}

Page* Pages::Current() const { return selection_.empty() ? nullptr : selection_.back(); }

Page* Pages::PageOfOption(const DuiLib::CControlUI* option) const {
  const auto it = byOption_.find(option);
  return it == byOption_.end() ? nullptr : it->second;
}

Page* Pages::PageOfCloseButton(const DuiLib::CControlUI* closeButton) const {
  const auto it = byCloseButton_.find(closeButton);
  return it == byCloseButton_.end() ? nullptr : it->second;
}

void Pages::OpenUrlInNewTab(const WString& url) {
  if (factory_ == nullptr) return;
  const AddressRoute route = CBrowserUrl::Instance().Route(url);
  if (route.engine == Page::kEngineIe) {
    factory_->OpenIePage(route.loaded);
  } else {
    factory_->OpenChromiumPage(route.loaded);
  }
}

void Pages::OpenUrlInBackgroundTab(const WString& url) {
  SetKeepSelected(Current());
  OpenUrlInNewTab(url);
}

void Pages::OpenIeTab(const WString& url) {
  QMetaObject::invokeMethod(
      &openLater_,
      [this, url] {
        if (factory_ == nullptr || !factory_->OpenIePage(url)) DebugOutput("compatibility page not opened: " + WideToUtf8(url));
      },
      Qt::QueuedConnection);
}

Page* Pages::AddPage(std::unique_ptr<Page> owned) {
  if (owned == nullptr || IndexOf(owned.get()) >= 0) return nullptr;
  Page* page = owned.get();
  List(page, std::move(owned));
  selection_.push_back(page);

  if (keepSelected_ != nullptr && IndexOf(keepSelected_) >= 0) {
    Page* keep = keepSelected_;
    keepSelected_ = nullptr;
    page->GetTab()->SetSelected(false);
    SelectPage(keep);
  } else {
    keepSelected_ = nullptr;
    for (Page* other : selection_) {
      if (other != page) other->GetTab()->SetSelected(false);
    }
    page->GetTab()->SetSelected(true);
    ShowAddedBodySoon(page);
    tabWnd_.UpdateFor(page);
  }
  tabWnd_.Subscribe(&page->History());
  // The toolbar follows the selected page, not necessarily the newest one.
  if (Page* current = Current()) tabWnd_.Subscribe(&current->History());
  return page;
}

void Pages::List(Page* page, std::unique_ptr<Page> owned) {
  page->SetList(this);
  pages_.push_back(std::move(owned));
  Tab* tab = page->GetTab();
  byOption_[tab->Option()] = page;
  byCloseButton_[tab->CloseButton()] = page;
  page->ShowVpnState(vpnOn_);
  if (strip_ != nullptr) strip_->InsertTab(page->TakeTab(), strip_->Count());
}

Page* Pages::AddUnloadedPage(int engineType, const WString& url, const WString& title, double zoomLevel) {
  auto owned = std::make_unique<Page>(nullptr, engineType);
  Page* page = owned.get();
  page->ShowUnloaded(url, title, zoomLevel);
  List(page, std::move(owned));
  page->GetTab()->SetSelected(false);
  // First in selection order: it never takes the selection from a page chosen before.
  selection_.insert(selection_.begin(), page);
  return page;
}

bool Pages::MakeBodyFor(Page* page) {
  if (IndexOf(page) < 0 || page->Body() != nullptr || factory_ == nullptr) return false;
  if (!factory_->MakeBodyFor(*page)) return false;
  // A body made while its page is in front shows at once.
  if (page == Current() && page->GetTab() != nullptr && page->GetTab()->IsSelected()) ShowBody(page);
  return true;
}

Page* Pages::CreateIePage(std::unique_ptr<ITabBody> body) {
  return AddPage(std::make_unique<Page>(std::move(body), Page::kEngineIe));
}

void Pages::ShowAddedBodySoon(Page* page) {
  // Pages added in one go (several start addresses, links opened together) each take
  // the selection in turn; only the last is drawn. A view once drawn keeps the
  // engine's frame buffers for as long as it lives, hidden or not.
  addedToShow_ = page;
  if (!showAdded_.isActive()) showAdded_.start();
}

void Pages::SelectPage(Page* page) {
  if (IndexOf(page) < 0) return;
  addedToShow_ = nullptr;
  if (Page* current = Current(); current != nullptr && current != page) {
    current->GetTab()->SetSelected(false);
    // Left now: its time unused starts here.
    current->MarkUsed();
  }
  page->Activate();
  std::erase(selection_, page);
  selection_.push_back(page);
  tabWnd_.UpdateFor(page);
  tabWnd_.Subscribe(&page->History());
}

void Pages::ClosePage(Page* page) {
  if (IndexOf(page) < 0) return;
  if (Count() == 1) {
    page->ClearHistory();
    page->Navigate(SettingsRegistry::Instance().Get(SettingsKeys::kHomePage));
    tabWnd_.UpdateFor(page);
    return;
  }
  page->Shutdown();
  const auto it = std::find_if(pages_.begin(), pages_.end(), [page](const auto& p) { return p.get() == page; });
  std::unique_ptr<Page> owned = std::move(*it);
  Unlist(page);
  ActivateCurrent();
  if (selection_.empty()) {
    if (factory_ != nullptr) factory_->ShutdownEngines();
    QCoreApplication::exit(0);
  }
  // `owned` goes here: the page and its body are destroyed last.
}

void Pages::Unlist(Page* page) {
  std::erase_if(pages_, [page](const auto& p) { return p == nullptr || p.get() == page; });
  std::erase(selection_, page);
  std::erase_if(byOption_, [page](const auto& entry) { return entry.second == page; });
  std::erase_if(byCloseButton_, [page](const auto& entry) { return entry.second == page; });
  if (keepSelected_ == page) keepSelected_ = nullptr;
  if (addedToShow_ == page) addedToShow_ = nullptr;
  if (tabWnd_.Subscribed() == &page->History()) tabWnd_.Subscribe(nullptr);
  if (bodyBar_ != nullptr && page->Body() != nullptr) bodyBar_->Forget(page->Body());
  if (strip_ != nullptr && page->GetTab() != nullptr) strip_->RemoveTab(page->GetTab());
  icons_.Forget(*page);
  page->SetList(nullptr);
}

void Pages::ActivateCurrent() {
  Page* current = Current();
  if (current == nullptr) return;
  current->Activate();
  tabWnd_.UpdateFor(current);
  tabWnd_.Subscribe(&current->History());
}

void Pages::MovePage(int from, int to) {
  if (pages_.empty()) return;
  const int count = Count();
  from = ((from % count) + count) % count;
  to = ((to % count) + count) % count;
  auto pinned = [this](int i) { return pages_[static_cast<size_t>(i)]->GetTab()->IsPinned(); };
  if (to < from && !pinned(from)) {
    while (to < from && pinned(to)) ++to;
  } else if (to > from && pinned(from)) {
    while (to > from && !pinned(to)) --to;
  }
  if (from == to) return;
  Page* page = pages_[static_cast<size_t>(from)].get();
  if (strip_ != nullptr) strip_->MoveTab(page->GetTab(), to);
  auto owned = std::move(pages_[static_cast<size_t>(from)]);
  pages_.erase(pages_.begin() + from);
  pages_.insert(pages_.begin() + to, std::move(owned));
}

void Pages::PinPage(Page* page, bool pinned) {
  if (IndexOf(page) >= 0) page->GetTab()->SetPinned(pinned);
}

void Pages::CloseAll() {
  for (auto& page : pages_) page->Shutdown();
  tabWnd_.Subscribe(nullptr);
  while (!pages_.empty()) {
    std::unique_ptr<Page> owned = std::move(pages_.back());
    pages_.pop_back();
    Unlist(owned.get());
  }
  selection_.clear();
  keepSelected_ = nullptr;
  addedToShow_ = nullptr;
}

int Pages::FollowVpn(bool on, bool reloadOnSwitchOn) {
  const bool switchedOn = on && !vpnOn_;
  vpnOn_ = on;
  int reloaded = 0;
  for (const auto& page : pages_) {
    if (switchedOn && reloadOnSwitchOn && page->ReloadForVpn()) ++reloaded;
    page->ShowVpnState(on);
  }
  return reloaded;
}

std::vector<Page*> Pages::PagesOutsideVpn() const {
  std::vector<Page*> outside;
  for (const auto& page : pages_) {
    if (page->GetEngineType() == Page::kEngineIe) outside.push_back(page.get());
  }
  return outside;
}

void Pages::ShowBody(Page* page) {
  if (bodyBar_ == nullptr) return;
  // A crashed page shows its notice in place of the view its dead renderer left.
  if (QWidget* notice = page->CrashNotice()) {
    bodyBar_->ShowWindow(notice);
  } else if (page->Body() != nullptr) {
    bodyBar_->Show(page->Body());
  }
}

}  // namespace tarvo
