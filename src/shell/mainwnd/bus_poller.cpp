#include "shell/mainwnd/bus_poller.h"

#include "platform/debug_output.h"
#include "bus/bus_keys.h"
#include "bus/message_bus.h"
#include "shell/pages/page_bus_handler.h"

namespace tarvo {

void BusPoller::SetHandler(WStringView key, Handler handler) { handlers_[WString(key)] = std::move(handler); }

int BusPoller::Drain() {
  MessageBus& bus = MessageBus::Instance();
  int handled = 0;
  for (WStringView key : BusKeys::kPollOrder) {
    const auto handler = handlers_.find(key);
    while (const uintptr_t payload = bus.Pop(key)) {
      ++handled;
      if (PageBusHandler::Handle(key, payload)) continue;
      if (handler != handlers_.end() && handler->second) {
        handler->second(payload);
      } else {
        DebugOutput("bus message dropped, no handler: " + WideToUtf8(WString(key)));
      }
    }
  }
  return handled;
}

}  // namespace tarvo
