#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/text.h"
#include "bus/bus_channel.h"
#include "bus/bus_string.h"

namespace tarvo {

// The chained hash table from bus key to channel. Each bucket holds the first entry
// of its chain inline; further entries are nodes appended at the chain's end. The
// hash is the sum of the key's UTF-16 units (wrapping 32-bit) modulo the bucket
// count; the table starts with 13 buckets and, before an insert that would push the
// load past 0.7, grows to 2 × buckets + 3 (13, 29, 61, 125 ...).
//
// Threads: Find may run on any number of threads without a lock while one thread at
// a time (the caller serialises them) inserts. Entries are published with release
// stores; a grown bucket array replaces the old one atomically, and the old arrays
// stay alive until the table is destroyed, so a reader still walking one is never
// left with freed memory. Keys and channels are never removed.
class ChannelTable {
 public:
  static constexpr uint32_t kInitialBuckets = 13;

  ChannelTable();
  ~ChannelTable();
  ChannelTable(const ChannelTable&) = delete;
  ChannelTable& operator=(const ChannelTable&) = delete;

  // The channel of `key`, or nullptr. Any thread, lock-free.
  BusChannel* Find(WStringView key) const;

  // Adds `key` with a new channel and returns it; returns the existing channel when the
  // key is already present, and nullptr when memory runs out. One thread at a time.
  BusChannel* Insert(WStringView key);

  // Any thread.
  uint32_t BucketCount() const;
  // The number of keys; on the inserting thread only.
  size_t Size() const;

  static uint32_t Hash(WStringView key, uint32_t bucketCount);
  // Orders keys by length first, then unit by unit as unsigned numbers.
  static int CompareKeys(WStringView a, WStringView b);

 private:
  struct Entry {
    std::atomic<Entry*> next = nullptr;  // owned chain node
    BusString* key = nullptr;
    std::atomic<BusChannel*> channel = nullptr;  // non-null once the entry is published
  };
  struct Buckets {
    explicit Buckets(uint32_t count);
    ~Buckets();  // frees the chain nodes; keys and channels belong to the table
    const uint32_t count;
    std::unique_ptr<Entry[]> heads;
  };

  static bool Link(Buckets& buckets, BusString* key, BusChannel* channel);
  static const Entry* FindIn(const Buckets& buckets, WStringView key);
  std::unique_ptr<Buckets> Grown(const Buckets& current) const;

  std::atomic<Buckets*> current_;
  std::vector<std::unique_ptr<Buckets>> arrays_;  // current and retired arrays, owned
  std::vector<BusString*> keys_;                  // owned (malloc blocks)
  std::vector<std::unique_ptr<BusChannel>> channels_;
};

}  // namespace tarvo
