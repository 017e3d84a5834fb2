#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"
#include "shell/pages/i_listener.h"

namespace tarvo {

// One step of a page's navigation history as the shell keeps it.
struct HistoryEntry {
  WString userUrl;  // the address as the user knows it (a protected site's own address)
  WString realUrl;  // the address actually loaded
  uint8_t mapped = 0;
  int64_t historyId = 0;  // the history row written for this step, 0 when none
};

// What listeners hear after a change of a page's history.
struct TabWndNotification {
  WString userUrl;
  WString realUrl;
  bool canGoBack = false;
  bool canGoForward = false;
};

// A page's navigation history, kept by the shell itself: back and forward never use
// the engines' own history, so both engines behave alike.
//
// Threads: the main window's thread only. Listeners are non-owning; a listener
// leaves the list when it subscribes elsewhere or is destroyed, and the data tells
// its listeners to forget it when it goes first.
class TabWndListenData {
 public:
  TabWndListenData() = default;
  ~TabWndListenData();
  TabWndListenData(const TabWndListenData&) = delete;
  TabWndListenData& operator=(const TabWndListenData&) = delete;

  void AddListener(IListener<TabWndListenData>* listener);
  void RemoveListener(IListener<TabWndListenData>* listener);

  // Appends a new step after the current one (later steps are dropped) and makes it
  // current. Listeners are notified.
  void Record(HistoryEntry entry);
  // Replaces the current step and every later one with `entry`. Listeners are notified.
  void Redirect(HistoryEntry entry);
  // Forgets every step (index 0). Listeners are notified.
  void Clear();
  // Drops the current step when it is the last one and has one before it, which
  // becomes current; false (nothing changes) otherwise. Listeners are notified.
  bool WithdrawLast();

  // The previous step made current, or an empty entry (nothing changes) on the first.
  HistoryEntry Back();
  // The next step made current, or an empty entry (nothing changes) on the last.
  HistoryEntry Forward();
  // The current step, or an empty entry when there are none.
  HistoryEntry Current() const;

  bool Empty() const { return entries_.empty(); }
  int Count() const { return static_cast<int>(entries_.size()); }
  int Index() const { return index_; }
  bool CanGoBack() const { return index_ > 0; }
  bool CanGoForward() const { return index_ < Count() - 1; }
  const std::vector<HistoryEntry>& Entries() const { return entries_; }
  TabWndNotification Notification() const;

 private:
  void NotifyListeners();

  std::vector<IListener<TabWndListenData>*> listeners_;  // not owned
  std::vector<HistoryEntry> entries_;
  int index_ = 0;
};

}  // namespace tarvo
