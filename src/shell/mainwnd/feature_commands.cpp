#include "shell/mainwnd/feature_commands.h"

namespace tarvo {

void FeatureCommands::Register(unsigned command, Handler handler, Availability available) {
  entries_[command] = Entry{std::move(handler), std::move(available)};
}

const FeatureCommands::Entry* FeatureCommands::Find(unsigned command) const {
  const auto it = entries_.find(command);
  return it == entries_.end() ? nullptr : &it->second;
}

void FeatureCommands::SetLabel(unsigned command, Label label) { labels_[command] = std::move(label); }

WString FeatureCommands::LabelOf(unsigned command) const {
  const auto it = labels_.find(command);
  return it == labels_.end() || !it->second ? WString() : it->second();
}

}  // namespace tarvo
