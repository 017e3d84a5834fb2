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

class AccountState;
class BrowserWindows;
class FavoritesStore;
class FavoritesWorker;
struct FeatureHooks;

class FavoritesFeature {
 public:
  // The longest the browser's end waits for changes still being saved or sent.
  static constexpr int kFinishWaitMs = 10000;

  // Registers everything. The service loop's favourites steps come first in its
  // round, so they must be registered before the other features' steps.
  static void Register(FeatureHooks& hooks);

  // The store the windows show and the worker its changes run on; both outlive the
  // windows and the worker's tasks.
  struct Parts {
    FavoritesStore& store;
    FavoritesWorker& worker;
  };
  // The windows' part, over a store that follows `account`.
  static void RegisterWindows(BrowserWindows& windows, Parts parts, AccountState& account);
  // The first round's step: the defaults when never fetched, then the stored
  // document; later rounds do nothing.
  static std::function<void()> StartUpStep(FavoritesStore& store, const AccountState& account);
  // Every round: a document whose save failed written again, and the logged-in
  // user's favourites from the service.
  static void SyncStep(FavoritesStore& store, const AccountState& account);
  static void Finish(FavoritesStore& store, FavoritesWorker& worker);
};

}  // namespace tarvo
