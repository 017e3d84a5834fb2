#pragma once

#include "store/user_database.h"

namespace tarvo {

class AccountState;

class FavoritesStore;

// Brings the service's favourites into the store: the brand's default favourites
// once per installation (an installation that already has a stored document keeps
// it), and, while a user is logged in, the user's own favourites: the user's pending
// changes are sent first, and those the service has still not confirmed are laid
// over its copy (FavoritesStore::ReplaceUserDocument). A failed exchange changes
// nothing; the next attempt (the next start for the defaults, the next five-minute
// round for the user's) tries again.
//
// Threads: a worker (the service loop); each call blocks on the service. No state of
// its own; the store and the database must outlive it.
class FavoritesSync {
 public:
  FavoritesSync(FavoritesStore& store, const AccountState& account, UserDatabase& database)
      : store_(store), account_(account), database_(database) {}

  // The defaults become the document unless one is stored; then the icons are
  // fetched. 0, or -1 when the service gave no usable defaults.
  int FetchDefaultFavorites();
  // FetchDefaultFavorites, and on success records "favor_data_first" = "0". 0 or -1.
  int LoadDefaultFavoritesOnce();
  // Start-up: the defaults when they were never fetched, then the stored document.
  void StartUp();
  // The logged-in user's pending changes go to the service, then its favourites with
  // whatever is still pending become the document (saved under the user's key), then
  // the icons are fetched. 0; -1 when nobody is logged in, the user
  // changed meanwhile or the service gave no usable document.
  int SyncUserFavorites();

 private:
  FavoritesStore& store_;
  const AccountState& account_;
  UserDatabase& database_;
};

}  // namespace tarvo
