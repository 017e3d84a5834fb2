#pragma once

#include <json/value.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "favorites/favorites_tree.h"
#include "platform/text.h"
#include "store/user_database.h"

namespace tarvo {

class AccountState;

// The user's favourites: one document per account, kept as its JSON text in the
// info table under "favor_data" (nobody logged in) or "favor_data_" + the user's id,
// and the tree operations the bar and the favourites window use. While a user is
// logged in every add, change and deletion is mirrored to the service; an add the
// service refuses is not made locally either.
//
// The document in memory always belongs to one storage key: the first operation
// after the account changed (log-in, log-out) reads the new account's document
// instead of writing the old one under the new key. A stored text that does not
// parse is kept aside under "<key>.damaged-<time>" before anything is saved over it.
//
// Threads: any thread. mutex_ guards the document and its key; every operation holds
// it for its whole local part, so nobody sees a half-replaced document, and readers
// get copies. Requests to the service run on the calling thread outside the lock
// (so a GUI caller must use a worker). Listeners are called on the thread that made
// the change, after the lock is released; they must not call back into the store.
// Lifetime: the browser's is made by the favourites feature at start-up and lives
// for the whole process; other instances (tools, tests) must not outlive their
// database and account state.
class FavoritesStore {
 public:
  static constexpr char16_t kStorageKey[] = u"favor_data";
  static constexpr char16_t kDefaultsFetchedKey[] = u"favor_data_first";

  // `account`: whose document it is (the logged-in user's, or nobody's).
  FavoritesStore(UserDatabase& database, const AccountState& account);
  FavoritesStore(const FavoritesStore&) = delete;
  FavoritesStore& operator=(const FavoritesStore&) = delete;

  // The database the document is kept in (its synchronisation writes there too).
  UserDatabase& Database() const { return database_; }

  // The storage key of an account ("" = nobody logged in).
  static WString StorageKeyFor(WStringView userId);

  // Called after every change of the document (edits, loads, replacements).
  using Listener = std::function<void()>;
  int Subscribe(Listener listener);
  // After this returns the listener is not running and is never called again.
  void Unsubscribe(int subscription);

  // A copy of the current account's document.
  FavoritesTree Document();
  // Reads the current account's stored document again: 0; -1 when the stored text
  // does not parse (it is kept aside; the document stays as it was). An absent or
  // empty value leaves the document unchanged, and so do changes still unsaved.
  int Load();
  // Writes the document under its key; 0 or -1.
  int Save();
  // Writes the document again when its last save failed (a full disk, a data file
  // held by another program): 0 when nothing was pending or it is saved now, -1
  // when it still cannot be.
  int SaveIfUnsaved();

  int64_t NextId();
  // New items with the next id and the current time (not stored yet).
  Json::Value NewBookmark(WStringView folderId, WStringView name, WStringView url);
  Json::Value NewFolder(WStringView name);
  // A copy of the item with this id, or null.
  Json::Value FindById(std::string_view id);
  bool ContainsUrl(WStringView url);

  // Stores `item` (see FavoritesTree::Append); for a logged-in user it is sent to the
  // service first and the service's copy is stored. -1, changing nothing, when the
  // service refuses or an item with the same id exists. On success `item` is what was
  // stored (the service's copy for a logged-in user).
  int AddItem(Json::Value& item);
  // Adds many items at once (an import): each top-level bookmark or folder (with
  // the bookmarks in its "child") gets fresh ids, or the service's for a logged-in
  // user, and the document is saved once. Returns how many top-level items were
  // stored, or -1 when none could be.
  int AddItems(std::vector<Json::Value> items);
  // Replaces the stored item (see FavoritesTree::Replace), tells the service, saves.
  // -1 when nothing matches.
  int UpdateItem(const Json::Value& item);
  // Removes the item with this id (a folder with its bookmarks); the service hears
  // the single id (DeleteItem) or every removed id (DeleteFolder). -1 when no item
  // has it.
  int DeleteItem(std::string_view id);
  int DeleteFolder(std::string_view id);
  // Removes every bookmark of this address; 0, or -1 when there was none.
  int RemoveUrl(WStringView url);
  // Moves a bookmark into a folder ("" = the top level) under `name`, at the end of
  // that folder. -1 when it is no bookmark, the folder does not exist, or the service
  // refuses.
  int MoveBookmark(std::string_view id, std::string_view folderId, WStringView name);

  // The icon addresses PrefetchIcons would fetch: the first favicon candidate of each
  // bookmark whose cached file is missing, each address once.
  std::vector<WString> IconsToFetch();
  // Fetches those icons on one worker thread, one after the other, each on the
  // Chromium engine's route (through the VPN's node while it is on). While an earlier
  // round still fetches, nothing more starts: the rest come with the next call. The
  // store's end stops the worker after its current icon and waits for it.
  void PrefetchIcons();

  // The defaults fetched from the service become the document unless the account
  // already has a stored one (which is then loaded); saved either way. 0 or -1.
  int AdoptDefaults(FavoritesTree defaults);
  // The user's favourites from the service replace the document wholesale, saved
  // under that user's key. Nothing happens (-1) when `userId` is no longer the
  // logged-in user, so a user's favourites never land under another key.
  int ReplaceUserDocument(const WString& userId, FavoritesTree document);

 private:
  struct Account {
    WString userId;
    WString token;
    bool LoggedIn() const { return !userId.empty(); }
  };
  Account CurrentAccount() const;

  // Reads the document of `key` when it is not the one in memory; true when the
  // document changed. mutex_ held.
  bool EnsureLoadedLocked(const WString& key);
  // Reads the stored text of `key` into `tree`: 1 when read, 0 when absent or empty,
  // -1 when damaged (then kept aside). mutex_ held.
  int ReadStoredLocked(const WString& key, FavoritesTree& tree);
  int SaveLocked();
  void KeepAsideLocked(const WString& key, const WString& text);
  void NotifyChanged();
  // Removes what `remove` takes out of the document and, for a logged-in user, tells
  // the service the ids `told` makes of them. -1 when nothing was removed.
  int RemoveAndTell(const std::function<std::vector<std::string>(FavoritesTree&)>& remove,
                    const std::function<std::string(const std::vector<std::string>&)>& told);
  // Locks, brings in the current account's document, runs `edit` on it and saves
  // when `edit` returns true; notifies after unlocking. Returns what `edit` returned.
  bool Edit(const std::function<bool(FavoritesTree& tree)>& edit);

  UserDatabase& database_;
  const AccountState& account_;
  std::mutex mutex_;
  FavoritesTree tree_;                  // guarded by mutex_
  std::optional<WString> loadedKey_;    // guarded by mutex_; the key tree_ belongs to
  bool unsaved_ = false;                // guarded by mutex_; the last save of tree_ failed
  std::mutex listenersMutex_;
  std::map<int, Listener> listeners_;   // guarded by listenersMutex_
  int nextSubscription_ = 1;            // guarded by listenersMutex_
  std::mutex fetcherMutex_;
  std::atomic<bool> fetching_ = false;  // the icon worker still runs
  std::jthread iconFetcher_;            // guarded by fetcherMutex_; last, so it ends first
};

}  // namespace tarvo
