#pragma once
// The update feature's place in the browser: the launch report and the update check
// in the service loop, the main menu's update and default-browser entries, and the
// two things start-up does for it ("-setasdefault", a downloaded installer).
//
// Threads: the first thread, at start-up.
#include <QString>
#include <functional>

namespace tarvo {

struct FeatureHooks;

class UpdateFeature {
 public:
  // The launch report goes to the front of the service loop's round (the designed
  // report before the first round's work), the update check to its end (after the
  // domain list and the mirror measurement): call after the other features.
  // `engines` names the engines' versions for the update entry's answers.
  static void Register(FeatureHooks& hooks, std::function<QString()> engines);
  // "-setasdefault": asks the desktop, reports a failure. Blocking.
  static void MakeDefaultFromCommandLine();
  // Starts a downloaded, verified installer in place of the browser; true when it
  // started (the browser then ends).
  static bool RunPendingInstaller(bool checkUpdates);
};

}  // namespace tarvo
