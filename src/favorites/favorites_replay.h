#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "favorites/favorites_change.h"
#include "favorites/favorites_tree.h"
#include "platform/text.h"

namespace tarvo {

class FavoritesStore;

// Sends a user's pending favourites changes to the service, oldest first, and has the
// store forget each one only once the service confirmed it. An item added here while
// the service was away carries a local id until the service stores it; from then on
// the item and every later change that names it carry the service's id.
//
// Given the service's copy of the user's document (a synchronisation fetched it
// first), the replay also keeps that copy up to date as the service takes each
// change, and uses it: an add of an address the service already holds becomes that
// bookmark, and a change sets only the members this side changed on the service's
// current item. Without it, a change sends the item as this side has it.
//
// A change the service cannot be asked about now stops the replay: it and the later
// ones wait for the next attempt. One the service will never take as sent (it refuses
// the item) is dropped and reported, so it does not hold back the others.
//
// Threads: whoever runs it; the store serialises replays. No state beyond one run.
class FavoritesReplay {
 public:
  struct Result {
    int sent = 0;          // changes the service confirmed
    int refused = 0;       // changes the service refused and that were dropped
    bool complete = false; // nothing is pending any more
    std::map<std::string, std::string> renamed;  // local (or vanished) id -> the service's
  };

  FavoritesReplay(FavoritesStore& store, std::string userId, WString token, FavoritesTree* serviceCopy)
      : store_(store), userId_(std::move(userId)), token_(std::move(token)), serviceCopy_(serviceCopy) {}

  Result Run();

 private:
  static constexpr int64_t kBatch = 64;
  enum class Outcome { kConfirmed, kDropped, kStop };
  // Sends one change. On kConfirmed, `renames` says which ids became which, and
  // `remainder` what of the change is still to be sent (a move's deletion of the old
  // item once its new copy is stored).
  Outcome Send(const FavoritesChange& change, std::vector<std::pair<std::string, std::string>>& renames,
               std::optional<FavoritesChange>& remainder);
  // Deletes the items of `deletions` in one request.
  Outcome SendDeletions(const std::vector<FavoritesChange>& deletions);
  // Stores the item of `change` as a new item. When the service already holds a
  // bookmark of its address (other than the item itself), that bookmark is the item
  // from now on: an add is done, and a change or a move goes on with it (`remainder`).
  Outcome StoreNew(const FavoritesChange& change, std::vector<std::pair<std::string, std::string>>& renames,
                   std::optional<FavoritesChange>& remainder);
  // The service's copy, fetched now when the caller did not bring one; null when the
  // service cannot be asked.
  FavoritesTree* ServiceCopy();

  FavoritesStore& store_;
  std::string userId_;
  WString token_;
  FavoritesTree* serviceCopy_;
  FavoritesTree fetched_;  // the copy ServiceCopy fetched
};

}  // namespace tarvo
