#pragma once
// The one place where the features join the browser: each registers, once, the
// commands it runs (CommandTable names which controls, keys and menu entries ask for
// them), what it does with each main window, its steps of the service loop and of
// the browser's end. A feature is its folder plus one line here.
//
// Threads: the first thread, at start-up.

namespace tarvo {

struct FeatureHooks;

class FeatureRegistrations {
 public:
  static void RegisterAll(FeatureHooks& hooks);
};

}  // namespace tarvo
