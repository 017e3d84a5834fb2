#include "shell/pages/tab_wnd.h"

#include <QString>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "ui/control_ui.h"
#include "ui/option_ui.h"
#include "url/url_encoding.h"

namespace tarvo {

void TabWnd::UpdateFor(Page* page) {
  if (page == nullptr || page != pages_.Current()) return;
  const TabWndListenData& history = page->History();
  if (controls_.home != nullptr) controls_.home->SetEnabled(true);
  if (controls_.back != nullptr) controls_.back->SetEnabled(history.CanGoBack());
  if (controls_.forward != nullptr) controls_.forward->SetEnabled(history.CanGoForward());
  if (controls_.stop != nullptr) controls_.stop->SetVisible(page->IsLoading());
  if (controls_.reload != nullptr) controls_.reload->SetVisible(!page->IsLoading());
  const WString display = page->GetDisplayUrl();
  // The start page's address is the browser's, not the user's: the bar stays empty.
  const bool startPage = IsStartPageUrl(display, SettingsRegistry::Instance().Get(SettingsKeys::kNewPage));
  if (controls_.lock != nullptr) {
    controls_.lock->SetVisible(QString::fromStdU16String(display.substr(0, 5)).toLower() == QLatin1String("https"));
  }
  if (controls_.address != nullptr) controls_.address->SetText(startPage ? QString() : QString::fromStdU16String(display));
  if (auto* favorite = dynamic_cast<DuiLib::COptionUI*>(controls_.favorite)) {
    favorite->Selected(isFavorite_ && !display.empty() && isFavorite_(display), false);
  }
  for (const PageFollower& follower : followers_) follower(*page);
}

void TabWnd::OnDataChanged(const TabWndListenData& data) {
  Page* current = pages_.Current();
  if (current != nullptr && &current->History() == &data) UpdateFor(current);
}

void TabWnd::RemoveTab(Page* page) {
  if (page != nullptr && Subscribed() == &page->History()) Subscribe(nullptr);
}

}  // namespace tarvo
