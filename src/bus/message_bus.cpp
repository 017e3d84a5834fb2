#include "bus/message_bus.h"

#include <new>

namespace tarvo {

MessageBus& MessageBus::Instance() {
  static MessageBus* bus = new MessageBus();  // never destroyed: posts may come during exit
  return *bus;
}

int MessageBus::Initialise() {
  std::lock_guard lock(creationMutex_);
  if (table_.load(std::memory_order_relaxed) != nullptr) {
    return 0;
  }
  ownedTable_.reset(new (std::nothrow) ChannelTable());
  if (!ownedTable_) {
    return -1;
  }
  table_.store(ownedTable_.get(), std::memory_order_release);
  return 0;
}

int MessageBus::Post(WStringView key, uintptr_t payload) {
  ChannelTable* table = table_.load(std::memory_order_acquire);
  if (table == nullptr) {
    return -1;
  }
  BusChannel* channel = table->Find(key);
  if (channel == nullptr) {
    std::lock_guard lock(creationMutex_);
    channel = table->Insert(key);
    if (channel == nullptr) {
      return -1;
    }
  }
  return channel->Push(payload) ? 0 : -1;
}

uintptr_t MessageBus::Pop(WStringView key) {
  ChannelTable* table = table_.load(std::memory_order_acquire);
  BusChannel* channel = table == nullptr ? nullptr : table->Find(key);
  return channel == nullptr ? 0 : channel->Pop();
}

uint32_t MessageBus::BucketCount() const {
  ChannelTable* table = table_.load(std::memory_order_acquire);
  return table == nullptr ? 0 : table->BucketCount();
}

}  // namespace tarvo
