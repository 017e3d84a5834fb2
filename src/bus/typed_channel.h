#pragma once

#include <cstdint>
#include <memory>

#include "bus/message_bus.h"
#include "platform/text.h"

namespace tarvo {

// A channel of the message bus that names its payload's type: the sender hands the
// payload over as a std::unique_ptr and the receiver takes one back, so who frees it
// is in the types. A payload the bus cannot queue is freed by Post.
//
// Threads: as the bus (Post from any thread; Take on the thread that drains).
template <class Payload, class Deleter = std::default_delete<Payload>>
class TypedChannel {
 public:
  using Owned = std::unique_ptr<Payload, Deleter>;

  constexpr explicit TypedChannel(const char16_t* key) : key_(key) {}

  constexpr WStringView Key() const { return key_; }
  // Queues `payload` (ownership passes to the receiver). False, with the payload freed,
  // when there is none or the bus could not take it.
  bool Post(Owned payload) const {
    if (payload == nullptr || MessageBus::Instance().Post(key_, reinterpret_cast<uintptr_t>(payload.get())) != 0) {
      return false;
    }
    payload.release();
    return true;
  }
  // The oldest payload, or nullptr when the channel is empty.
  Owned Take() const { return Adopt(MessageBus::Instance().Pop(key_)); }

  // A word popped from this channel as its owned payload.
  static Owned Adopt(uintptr_t word) { return Owned(reinterpret_cast<Payload*>(word)); }
  static void Free(uintptr_t word) { Adopt(word); }

 private:
  const char16_t* key_;
};

// A channel whose messages carry nothing.
class SignalChannel {
 public:
  constexpr explicit SignalChannel(const char16_t* key) : key_(key) {}

  constexpr WStringView Key() const { return key_; }
  bool Post() const { return MessageBus::Instance().Post(key_, kSignalWord) == 0; }
  // True when a signal was waiting (and is now taken).
  bool Take() const { return MessageBus::Instance().Pop(key_) != 0; }
  static void Free(uintptr_t) {}

 private:
  // 0 would read as an empty channel.
  static constexpr uintptr_t kSignalWord = 1;
  const char16_t* key_;
};

}  // namespace tarvo
