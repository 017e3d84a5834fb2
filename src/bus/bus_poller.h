#pragma once
// Drains the message bus on the main windows' thread: every channel a handler is
// installed for, in the order the handlers were first installed, each until it is
// empty (the shell installs its own first, so a page is added before its reports of
// the same pass; then each feature its own, in the order the features register). A
// handler takes ownership of what its channel carries; a channel
// installed with Drop is drained and its payloads freed, so it can't grow.
//
// Threads: the draining thread only (the bus's only popper). Handlers may post to
// the bus: a channel later in the order is then handled in the same drain. A handler
// may open a modal window whose event loop drains again; the installed channels must
// not change while a drain runs.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "bus/typed_channel.h"
#include "platform/text.h"

namespace tarvo {

class BusPoller {
 public:
  // Installs (or replaces) the handler of a channel with a payload: `handler` is
  // called with the owned payload.
  template <class Payload, class Deleter, class Handler>
  void On(const TypedChannel<Payload, Deleter>& channel, Handler handler) {
    Install(channel.Key(), [handler = std::move(handler)](uintptr_t word) mutable {
      handler(TypedChannel<Payload, Deleter>::Adopt(word));
    });
  }
  // The same for a signal channel: `handler` takes no argument.
  template <class Handler>
  void On(const SignalChannel& channel, Handler handler) {
    Install(channel.Key(), [handler = std::move(handler)](uintptr_t) mutable { handler(); });
  }
  // Drains `channel` without acting on it: its payloads are freed.
  template <class Channel>
  void Drop(const Channel& channel) {
    Install(channel.Key(), &Channel::Free);
  }

  // One pass over the installed channels in poll order. Returns how many payloads
  // were handled.
  int Drain();
  // The same pass over those of the installed channels that `keys` names only.
  int Drain(std::span<const WStringView> keys);
  // Whether a handler (or Drop) is installed for the channel named `key`.
  bool Handles(WStringView key) const;

 private:
  struct Entry {
    WString key;
    std::function<void(uintptr_t)> deliver;
  };

  void Install(WStringView key, std::function<void(uintptr_t)> deliver);
  // Delivers every payload waiting on the entry's channel; returns how many.
  static int DrainEntry(const Entry& entry);

  std::vector<Entry> entries_;  // in poll order: first installed first
};

}  // namespace tarvo
