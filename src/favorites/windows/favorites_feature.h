#pragma once
// How the favourites join the browser: the bar each main window shows, the toolbar
// star's state and its command, the favourites window and the rename window as
// commands, the pages' menu entry that adds a link, the service loop's steps (the defaults once and the stored document at
// start, then every round a document whose save failed and the logged-in user's
// favourites) and, at the end, waiting for the changes still on their way and saving
// what could not be saved before.
//
// Threads: Register on the first thread at start-up, before the first window and the
// service loop; the steps run on the loop's thread, the commands on the GUI thread.
#include <functional>

namespace tarvo {

class BrowserWindows;
struct FeatureHooks;

class FavoritesFeature {
 public:
  // The longest the browser's end waits for changes still being saved or sent.
  static constexpr int kFinishWaitMs = 10000;

  // Registers everything. The service loop's favourites steps come first in its
  // round, so they must be registered before the other features' steps.
  static void Register(FeatureHooks& hooks);

  static void RegisterWindows(BrowserWindows& windows);
  // The first round's step: the defaults when never fetched, then the stored
  // document; later rounds do nothing.
  static std::function<void()> StartUpStep();
  // Every round: a document whose save failed written again, and the logged-in
  // user's favourites from the service.
  static void SyncStep();
  static void Finish();
};

}  // namespace tarvo
