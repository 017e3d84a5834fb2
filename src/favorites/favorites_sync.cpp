#include "favorites/favorites_sync.h"

#include "account/account_state.h"
#include "favorites/favorites_remote.h"
#include "favorites/favorites_store.h"
#include "platform/debug_output.h"
#include "store/info_records.h"

namespace tarvo {

int FavoritesSync::FetchDefaultFavorites() {
  FavoritesTree defaults;
  if (FavoritesRemote::FetchDefaults(defaults) != 0) return -1;
  if (store_.AdoptDefaults(std::move(defaults)) != 0) return -1;
  store_.PrefetchIcons();
  return 0;
}

int FavoritesSync::LoadDefaultFavoritesOnce() {
  if (FetchDefaultFavorites() != 0) return -1;
  if (InfoRecords(database_).SetInfo(FavoritesStore::kDefaultsFetchedKey, u"0") != 0) return -1;
  return store_.Save();
}

void FavoritesSync::StartUp() {
  WString fetched;
  InfoRecords(database_).GetInfo(FavoritesStore::kDefaultsFetchedKey, fetched);
  if (fetched.empty() && LoadDefaultFavoritesOnce() != 0) {
    DebugOutput("favourites: no default favourites this time; the next start tries again");
  }
  if (store_.Load() != 0) DebugOutput("favourites: the stored document could not be read");
}

int FavoritesSync::SyncUserFavorites() {
  const AccountState& account = account_;
  const WString userId = account.UserId();
  if (userId.empty()) return -1;
  const WString token = account.Token();
  const auto sending = store_.HoldSending();
  FavoritesTree favorites;
  if (FavoritesRemote::FetchUserFavorites(token, favorites) != 0) return -1;
  // What this side changed while the service was away goes first; what the service
  // has not confirmed by the end is laid over its copy rather than lost.
  if (store_.PendingCount() > 0) {
    const FavoritesReplay::Result sent = store_.SendPending(&favorites);
    FavoritesTree fresh;
    if (sent.sent + sent.refused > 0 && FavoritesRemote::FetchUserFavorites(token, fresh) == 0) {
      favorites = std::move(fresh);
    }
  }
  if (store_.ReplaceUserDocument(userId, std::move(favorites)) != 0) return -1;
  store_.PrefetchIcons();
  return 0;
}

}  // namespace tarvo
