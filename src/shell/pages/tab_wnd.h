#pragma once

#include <functional>
#include <vector>

#include "platform/text.h"
#include "shell/pages/i_listener.h"
#include "shell/pages/tab_wnd_listen_data.h"

namespace DuiLib {
class CControlUI;
}

namespace tarvo {

class Page;
class Pages;

// Keeps the toolbar in step with the selected page: back, forward, reload or stop,
// the lock indicator, the address text and the favourite button; the features'
// own toolbar buttons follow through the page followers they add.
//
// Threads: the main window's thread only. The controls (all optional, non-owning)
// belong to the main window's control tree, which outlives the page list's use of
// them; Detach (which also drops the followers) before the tree goes.
class TabWnd : public IListener<TabWndListenData> {
 public:
  // `pages`: the list whose selected page the toolbar follows (it owns this object).
  explicit TabWnd(const Pages& pages) : pages_(pages) {}

  struct Controls {
    DuiLib::CControlUI* home = nullptr;  // always enabled
    DuiLib::CControlUI* back = nullptr;
    DuiLib::CControlUI* forward = nullptr;
    DuiLib::CControlUI* reload = nullptr;
    DuiLib::CControlUI* stop = nullptr;
    DuiLib::CControlUI* lock = nullptr;
    DuiLib::CControlUI* address = nullptr;
    DuiLib::CControlUI* favorite = nullptr;  // an option: selected for a favourite address
  };

  void SetControls(const Controls& controls) { controls_ = controls; }
  void Detach() {
    controls_ = {};
    followers_.clear();
  }
  // Answers whether an address is among the favourites; until one is installed the
  // favourite button shows unselected.
  void SetFavoriteLookup(std::function<bool(const WString& url)> lookup) { isFavorite_ = std::move(lookup); }
  // Told the selected page each time the toolbar is refreshed for it, after the
  // toolbar's own controls.
  using PageFollower = std::function<void(const Page& page)>;
  void AddPageFollower(PageFollower follower) { followers_.push_back(std::move(follower)); }

  // Refreshes the toolbar from `page` when it is the selected page; otherwise nothing.
  void UpdateFor(Page* page);
  // A change of the followed history refreshes the toolbar when it is the selected
  // page's (an address can arrive after the loading report that refreshed it last).
  void OnDataChanged(const TabWndListenData& data) override;
  // Forgets a tab that goes away.
  void RemoveTab(Page* page);

 private:
  const Pages& pages_;
  Controls controls_;
  std::function<bool(const WString&)> isFavorite_;
  std::vector<PageFollower> followers_;
};

}  // namespace tarvo
