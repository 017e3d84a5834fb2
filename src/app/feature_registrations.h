#pragma once
// The one place where the feature windows join the browser: each feature registers
// the commands it runs (CommandTable names which controls, keys and menu entries ask
// for them), once, before the first main window is built.
//
// Threads: GUI thread, at start-up.

namespace tarvo {

class FeatureCommands;

class FeatureRegistrations {
 public:
  static void RegisterAll(FeatureCommands& commands);
};

}  // namespace tarvo
