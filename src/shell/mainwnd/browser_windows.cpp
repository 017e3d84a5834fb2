#include "shell/mainwnd/browser_windows.h"

#include <QCoreApplication>
#include <algorithm>

#include "shell/mainwnd/bus_requests.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page_bus_handler.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "ui/control_ui.h"

namespace tarvo {

BrowserWindows::BrowserWindows(const AccountState& account, UserDatabase& database)
    : account_(account), database_(database) {
  BusRequests::Install(*this);
  PageBusHandler::Install(poller_, [this] { return PageLists(); });
}

void BrowserWindows::WindowBuilt(IBrowserWindow& window) const {
  for (const WindowHook& hook : windowHooks_) hook(window);
}

std::unique_ptr<DuiLib::CControlUI> BrowserWindows::MakeFavoriteBar(IBrowserWindow& window) const {
  return favoriteBarFactory_ ? favoriteBarFactory_(window) : nullptr;
}

void BrowserWindows::WindowClosed(IBrowserWindow* window) {
  Remove(window);
  if (window->PageList().IsPrivate() &&
      std::none_of(windows_.begin(), windows_.end(), [](IBrowserWindow* open) { return open->PageList().IsPrivate(); })) {
    for (const auto& hook : lastPrivateClosedHooks_) hook();
  }
  if (closed_) {
    closed_(window);
  } else {
    QCoreApplication::exit(0);
  }
}

void BrowserWindows::Add(IBrowserWindow* window) {
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void BrowserWindows::Remove(IBrowserWindow* window) { std::erase(windows_, window); }

void BrowserWindows::MarkUsed(IBrowserWindow* window) {
  const auto it = std::find(windows_.begin(), windows_.end(), window);
  if (it != windows_.end()) std::rotate(windows_.begin(), it, it + 1);
}

IBrowserWindow* BrowserWindows::LastUsed() const { return windows_.empty() ? nullptr : windows_.front(); }

IBrowserWindow* BrowserWindows::LastUsedOrdinary() const {
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [](IBrowserWindow* window) { return !window->PageList().IsPrivate(); });
  return found != windows_.end() ? *found : nullptr;
}

int BrowserWindows::ApplyPageReports() { return poller_.Drain(PageChannels::kAllKeys); }

std::vector<IBrowserWindow*> BrowserWindows::Windows() const { return windows_; }

std::vector<Pages*> BrowserWindows::PageLists() const {
  std::vector<Pages*> lists;
  for (IBrowserWindow* window : windows_) lists.push_back(&window->PageList());
  return lists;
}

}  // namespace tarvo
