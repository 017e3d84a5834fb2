#include "bus/bus_poller.h"

#include <algorithm>

#include "bus/message_bus.h"

namespace tarvo {

void BusPoller::Install(WStringView key, std::function<void(uintptr_t)> deliver) {
  for (Entry& entry : entries_) {
    if (entry.key == key) {
      entry.deliver = std::move(deliver);
      return;
    }
  }
  entries_.push_back(Entry{WString(key), std::move(deliver)});
}

bool BusPoller::Handles(WStringView key) const {
  return std::any_of(entries_.begin(), entries_.end(), [key](const Entry& entry) { return entry.key == key; });
}

int BusPoller::Drain() {
  int handled = 0;
  for (const Entry& entry : entries_) handled += DrainEntry(entry);
  return handled;
}

int BusPoller::Drain(std::span<const WStringView> keys) {
  int handled = 0;
  for (const Entry& entry : entries_) {
    if (std::find(keys.begin(), keys.end(), WStringView(entry.key)) != keys.end()) handled += DrainEntry(entry);
  }
  return handled;
}

int BusPoller::DrainEntry(const Entry& entry) {
  MessageBus& bus = MessageBus::Instance();
  int handled = 0;
  while (const uintptr_t payload = bus.Pop(entry.key)) {
    ++handled;
    entry.deliver(payload);
  }
  return handled;
}

}  // namespace tarvo
