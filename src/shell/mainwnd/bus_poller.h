#pragma once
// Drains the message bus for the main window: every channel, in the bus's fixed poll
// order, each until it is empty. Page channels go to the page list's handler; each
// other channel goes to the handler the window installed for it. A channel nobody
// handles is still drained, so it can't grow; its payload is reported and dropped.
//
// Threads: the main window's thread only (the bus's only popper). Handlers may post
// to the bus: a channel later in the order is then handled in the same drain.
#include <cstdint>
#include <functional>
#include <map>

#include "platform/text.h"

namespace tarvo {

class BusPoller {
 public:
  // Takes ownership of `payload` (frees it as its channel's message table says).
  using Handler = std::function<void(uintptr_t payload)>;

  // Installs (or replaces) the handler of a channel that is not a page channel.
  void SetHandler(WStringView key, Handler handler);
  // One pass over every channel in poll order. Returns how many payloads were handled.
  int Drain();

 private:
  std::map<WString, Handler, std::less<>> handlers_;
};

}  // namespace tarvo
