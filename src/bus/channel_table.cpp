#include "bus/channel_table.h"

#include <new>

namespace tarvo {

ChannelTable::Buckets::Buckets(uint32_t bucketCount) : count(bucketCount), heads(new Entry[bucketCount]) {}

ChannelTable::Buckets::~Buckets() {
  for (uint32_t i = 0; i < count; ++i) {
    Entry* node = heads[i].next.load(std::memory_order_relaxed);
    while (node != nullptr) {
      Entry* next = node->next.load(std::memory_order_relaxed);
      delete node;
      node = next;
    }
  }
}

ChannelTable::ChannelTable() {
  arrays_.push_back(std::make_unique<Buckets>(kInitialBuckets));
  current_.store(arrays_.back().get(), std::memory_order_release);
}

ChannelTable::~ChannelTable() {
  for (BusString* key : keys_) {
    BusString::Free(key);
  }
}

uint32_t ChannelTable::Hash(WStringView key, uint32_t bucketCount) {
  uint32_t sum = 0;
  for (const char16_t unit : key) {
    sum += unit;
  }
  return sum % bucketCount;
}

int ChannelTable::CompareKeys(WStringView a, WStringView b) {
  if (a.size() != b.size()) {
    return a.size() < b.size() ? -1 : 1;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) {
      return a[i] < b[i] ? -1 : 1;
    }
  }
  return 0;
}

const ChannelTable::Entry* ChannelTable::FindIn(const Buckets& buckets, WStringView key) {
  const Entry* entry = &buckets.heads[Hash(key, buckets.count)];
  if (entry->channel.load(std::memory_order_acquire) == nullptr) {
    return nullptr;  // an empty bucket has no chain
  }
  for (; entry != nullptr; entry = entry->next.load(std::memory_order_acquire)) {
    if (CompareKeys(entry->key->View(), key) == 0) {
      return entry;
    }
  }
  return nullptr;
}

BusChannel* ChannelTable::Find(WStringView key) const {
  const Entry* entry = FindIn(*current_.load(std::memory_order_acquire), key);
  return entry == nullptr ? nullptr : entry->channel.load(std::memory_order_acquire);
}

// Publishes (key, channel) at the end of its chain: the entry is complete before the
// release store that makes it reachable.
bool ChannelTable::Link(Buckets& buckets, BusString* key, BusChannel* channel) {
  Entry& slot = buckets.heads[Hash(key->View(), buckets.count)];
  if (slot.channel.load(std::memory_order_relaxed) == nullptr) {
    slot.key = key;
    slot.channel.store(channel, std::memory_order_release);
    return true;
  }
  Entry* node = new (std::nothrow) Entry();
  if (node == nullptr) {
    return false;
  }
  node->key = key;
  node->channel.store(channel, std::memory_order_relaxed);
  Entry* last = &slot;
  while (Entry* next = last->next.load(std::memory_order_relaxed)) {
    last = next;
  }
  last->next.store(node, std::memory_order_release);
  return true;
}

std::unique_ptr<ChannelTable::Buckets> ChannelTable::Grown(const Buckets& current) const {
  try {
    auto grown = std::make_unique<Buckets>(2 * current.count + 3);
    for (uint32_t i = 0; i < current.count; ++i) {
      const Entry* entry = &current.heads[i];
      if (entry->channel.load(std::memory_order_relaxed) == nullptr) {
        continue;
      }
      for (; entry != nullptr; entry = entry->next.load(std::memory_order_relaxed)) {
        if (!Link(*grown, entry->key, entry->channel.load(std::memory_order_relaxed))) {
          return nullptr;
        }
      }
    }
    return grown;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

BusChannel* ChannelTable::Insert(WStringView key) {
  Buckets* buckets = current_.load(std::memory_order_relaxed);
  if (const Entry* existing = FindIn(*buckets, key)) {
    return existing->channel.load(std::memory_order_relaxed);
  }
  BusString* storedKey = BusString::Create(key);
  auto channel = std::unique_ptr<BusChannel>(new (std::nothrow) BusChannel());
  if (storedKey == nullptr || channel == nullptr) {
    BusString::Free(storedKey);
    return nullptr;
  }
  try {
    keys_.reserve(keys_.size() + 1);
    channels_.reserve(channels_.size() + 1);
    arrays_.reserve(arrays_.size() + 1);
  } catch (const std::bad_alloc&) {
    BusString::Free(storedKey);
    return nullptr;
  }
  if (static_cast<double>(keys_.size() + 1) / buckets->count > 0.7) {
    // When the larger array can't be built the entry simply goes into the old one.
    if (auto grown = Grown(*buckets)) {
      buckets = grown.get();
      arrays_.push_back(std::move(grown));
      current_.store(buckets, std::memory_order_release);
    }
  }
  if (!Link(*buckets, storedKey, channel.get())) {
    BusString::Free(storedKey);
    return nullptr;
  }
  keys_.push_back(storedKey);
  channels_.push_back(std::move(channel));
  return channels_.back().get();
}

uint32_t ChannelTable::BucketCount() const { return current_.load(std::memory_order_acquire)->count; }

size_t ChannelTable::Size() const { return keys_.size(); }

}  // namespace tarvo
