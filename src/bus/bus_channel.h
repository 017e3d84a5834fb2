#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace tarvo {

// One named first-in-first-out queue of payload words.
//
// Threads: any thread may Push, any thread may Pop; mutex_ guards the list. Channels
// of different keys never contend.
class BusChannel {
 public:
  BusChannel() = default;
  ~BusChannel();  // releases the nodes, not the payloads they carry
  BusChannel(const BusChannel&) = delete;
  BusChannel& operator=(const BusChannel&) = delete;

  // Appends a payload; false when no node could be allocated (nothing is queued).
  bool Push(uintptr_t payload);
  // The oldest payload, or 0 when the queue is empty.
  uintptr_t Pop();
  size_t Count() const;

 private:
  struct Node {
    Node* previous = nullptr;
    Node* next = nullptr;
    uintptr_t payload = 0;
  };

  mutable std::mutex mutex_;
  Node* head_ = nullptr;  // owned, through the next links
  Node* tail_ = nullptr;
  size_t count_ = 0;
};

}  // namespace tarvo
