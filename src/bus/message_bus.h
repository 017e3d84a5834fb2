#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/text.h"
#include "bus/channel_table.h"

namespace tarvo {

// Named first-in-first-out channels from any thread to the main window's thread.
// A sender posts a payload word under a key ("mainwnd/page/set_title"); the main
// windows' poller drains the keys it was given handlers for on its timer. A payload is 0 for
// nothing (so an empty channel and a posted 0 look the same: signals post 1), or a
// pointer to a heap object whose ownership passes to the receiver.
//
// Threads: Post from any thread; Pop from any thread, though only the main window's
// thread pops in the browser. Channel lookups take no lock; creationMutex_ serialises
// channel creation (look up, lock, look up again, insert); each channel has its own
// mutex, so posts to different keys don't contend.
class MessageBus {
 public:
  // The process-wide bus; Initialise it once at start-up before any window exists.
  // Process-wide by design: every window, engine and worker of the browser talks
  // over the one bus, whatever profile or window it serves.
  static MessageBus& Instance();

  MessageBus() = default;
  MessageBus(const MessageBus&) = delete;
  MessageBus& operator=(const MessageBus&) = delete;

  // Creates the channel registry (13 buckets). 0, or -1 when memory can't be had.
  // Idempotent.
  int Initialise();

  // Queues `payload` on `key`'s channel, creating the channel on first use. 0, or -1
  // when the bus is not initialised or memory runs out (the payload is then neither
  // queued nor freed).
  int Post(WStringView key, uintptr_t payload);

  // The oldest payload of `key`'s channel, or 0 when the channel is empty or unknown.
  uintptr_t Pop(WStringView key);

  // Introspection for tests and diagnostics; any thread.
  uint32_t BucketCount() const;

 private:
  std::atomic<ChannelTable*> table_ = nullptr;
  std::unique_ptr<ChannelTable> ownedTable_;
  std::mutex creationMutex_;
};

}  // namespace tarvo
