#include "bus/bus_channel.h"

#include <new>

namespace tarvo {

BusChannel::~BusChannel() {
  while (head_ != nullptr) {
    Node* next = head_->next;
    delete head_;
    head_ = next;
  }
}

bool BusChannel::Push(uintptr_t payload) {
  // Allocate outside the lock: posting threads then hold the mutex only for the link.
  Node* node = new (std::nothrow) Node{nullptr, nullptr, payload};
  if (node == nullptr) {
    return false;
  }
  std::lock_guard lock(mutex_);
  node->previous = tail_;
  if (tail_ != nullptr) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
  return true;
}

uintptr_t BusChannel::Pop() {
  Node* node = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (head_ == nullptr) {
      return 0;
    }
    node = head_;
    head_ = node->next;
    if (head_ != nullptr) {
      head_->previous = nullptr;
    } else {
      tail_ = nullptr;
    }
    --count_;
  }
  const uintptr_t payload = node->payload;
  delete node;
  return payload;
}

size_t BusChannel::Count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

}  // namespace tarvo
