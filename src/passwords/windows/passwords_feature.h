#pragma once
// Saved passwords join the browser: the engines' log-in form reports go to the agent
// that fills and offers, each main window gets its offer bar, the keeper's answers
// come back on the GUI thread, and clearing browsing data (the "passwords" option,
// and at exit) removes what the keyring holds.
//
// Threads: the GUI thread, at start-up. The feature's objects live for the process.
namespace tarvo {

struct FeatureHooks;

class PasswordsFeature {
 public:
  static void Register(FeatureHooks& hooks);
};

}  // namespace tarvo
