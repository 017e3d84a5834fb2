#include "shell/mainwnd/feature_commands.h"

namespace tarvo {

void FeatureCommands::Register(unsigned command, Handler handler, Availability available) {
  entries_[command] = Entry{std::move(handler), std::move(available)};
}

const FeatureCommands::Entry* FeatureCommands::Find(unsigned command) const {
  const auto it = entries_.find(command);
  return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace tarvo
