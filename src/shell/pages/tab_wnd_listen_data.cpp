#include "shell/pages/tab_wnd_listen_data.h"

#include <algorithm>

namespace tarvo {

TabWndListenData::~TabWndListenData() {
  for (auto* listener : listeners_) listener->Forget(this);
}

void TabWndListenData::AddListener(IListener<TabWndListenData>* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) listeners_.push_back(listener);
}

void TabWndListenData::RemoveListener(IListener<TabWndListenData>* listener) {
  std::erase(listeners_, listener);
}

void TabWndListenData::Record(HistoryEntry entry) {
  if (!entries_.empty()) entries_.resize(static_cast<size_t>(index_) + 1);
  entries_.push_back(std::move(entry));
  index_ = Count() - 1;
  NotifyListeners();
}

void TabWndListenData::Redirect(HistoryEntry entry) {
  if (!entries_.empty()) entries_.resize(static_cast<size_t>(index_));
  entries_.push_back(std::move(entry));
  index_ = Count() - 1;
  NotifyListeners();
}

void TabWndListenData::Clear() {
  entries_.clear();
  index_ = 0;
  NotifyListeners();
}

bool TabWndListenData::WithdrawLast() {
  if (index_ < 1 || index_ != Count() - 1) return false;
  entries_.pop_back();
  --index_;
  NotifyListeners();
  return true;
}

HistoryEntry TabWndListenData::Back() {
  if (index_ < 1 || index_ >= Count()) return {};
  --index_;
  NotifyListeners();
  return entries_[static_cast<size_t>(index_)];
}

HistoryEntry TabWndListenData::Forward() {
  if (index_ >= Count() - 1) return {};
  ++index_;
  NotifyListeners();
  return entries_[static_cast<size_t>(index_)];
}

HistoryEntry TabWndListenData::Current() const {
  if (index_ < 0 || index_ >= Count()) return {};
  return entries_[static_cast<size_t>(index_)];
}

TabWndNotification TabWndListenData::Notification() const {
  const HistoryEntry current = Current();
  return {current.userUrl, current.realUrl, CanGoBack(), CanGoForward()};
}

void TabWndListenData::NotifyListeners() {
  // A listener may subscribe elsewhere while it is told, so walk a copy.
  const auto listeners = listeners_;
  for (auto* listener : listeners) listener->OnDataChanged(*this);
}

}  // namespace tarvo
