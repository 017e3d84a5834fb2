#include "shell/mainwnd/command_router.h"

#include <string>

#include "platform/debug_output.h"
#include "shell/mainwnd/feature_commands.h"

namespace tarvo {

void CommandRouter::Register(unsigned command, Handler handler, Availability available) {
  own_[command] = Entry{std::move(handler), std::move(available)};
}

bool CommandRouter::Run(unsigned command, const CommandArgs& args) {
  if (const FeatureCommands::Entry* feature = features_ != nullptr ? features_->Find(command) : nullptr) {
    feature->handler(window_, args);
    return true;
  }
  if (const auto own = own_.find(command); own != own_.end()) {
    // The handler may replace its own registration; it runs from a copy.
    const Handler handler = own->second.handler;
    handler(args);
    return true;
  }
  DebugOutput("no handler for command " + std::to_string(command));
  return false;
}

bool CommandRouter::IsAvailable(unsigned command) const {
  if (const FeatureCommands::Entry* feature = features_ != nullptr ? features_->Find(command) : nullptr) {
    return !feature->available || feature->available(window_);
  }
  const auto own = own_.find(command);
  return own != own_.end() && (!own->second.available || own->second.available());
}

}  // namespace tarvo
