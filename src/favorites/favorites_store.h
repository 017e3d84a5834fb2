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

#include "favorites/favorites_change.h"
#include "favorites/favorites_replay.h"
#include "favorites/favorites_tree.h"
#include "platform/text.h"
#include "store/favorite_journal_records.h"
#include "store/user_database.h"

namespace tarvo {

class AccountState;

// The user's favourites: one document per account, kept as its JSON text in the
// info table under "favor_data" (nobody logged in) or "favor_data_" + the user's id,
// and the tree operations the bar and the favourites window use. While a user is
// logged in every add, change, move and deletion is also written, in the same
// transaction as the document, to the user's journal of changes the service has not
// confirmed yet (FavoritesChange), and the journal is sent right away
// (FavoritesReplay). A change the service cannot take now stays in the journal and
// in the document: the next attempt sends it, and a synchronisation lays what is
// still pending over the service's copy instead of losing it. An item added while
// the service is away carries a local id (kFirstLocalId and up, above any id the
// service hands out) until the service stores it.
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
  static constexpr int64_t kFirstLocalId = 900000000000000000;

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

  // Stores `item` (see FavoritesTree::Append); for a logged-in user under a local id,
  // then sent. -1, changing nothing, when an item with the same id exists. On success
  // `item` is what is stored (with the service's id once the service took it).
  int AddItem(Json::Value& item);
  // Adds many items at once (an import): each top-level bookmark or folder (with
  // the bookmarks in its "child") gets fresh ids (local ones for a logged-in user,
  // until the service's arrive), and the document is saved once. Returns how many top-level items were
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
  // that folder. -1 when it is no bookmark or the folder does not exist.
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
  // The user's favourites from the service, with the user's pending changes laid
  // over them (FavoritesChange::ApplyTo), become the document, saved under that
  // user's key. Nothing happens (-1) when `userId` is no longer the logged-in user,
  // so a user's favourites never land under another key.
  int ReplaceUserDocument(const WString& userId, FavoritesTree document);

  // How many changes of the logged-in user wait for the service (0 for nobody).
  int64_t PendingCount();
  // Sends the logged-in user's pending changes (see FavoritesReplay); one sender at
  // a time. `serviceCopy`: the service's document, when the caller just fetched it.
  FavoritesReplay::Result SendPending(FavoritesTree* serviceCopy = nullptr);
  // Held across a whole synchronisation, so no other sender slips in between its
  // fetches and its replacement of the document. SendPending may run under it.
  std::unique_lock<std::recursive_mutex> HoldSending() { return std::unique_lock(sendMutex_); }

  // For FavoritesReplay: the user's journal, oldest first (0, or -1 when unreadable),
  // and a change the service confirmed (or refused for good): it leaves the journal,
  // or is replaced there by `remainder`; the ids in `renames` change in the document
  // and in the later changes, all in one transaction. 0 or -1.
  int PendingChanges(const std::string& userId, std::vector<FavoritesChange>& changes, int64_t limit = 0);
  int ConfirmChange(const std::string& userId, const FavoritesChange& done,
                    const std::vector<std::pair<std::string, std::string>>& renames,
                    const std::optional<FavoritesChange>& remainder);

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
  // Removes what `remove` takes out of the document and, for a logged-in user, has
  // the service told of the ids `told` picks from them. -1 when nothing was removed.
  // `id`: the item removed, when it is one; `url`: the address removed. A bookmark's
  // address goes with the change.
  int RemoveAndTell(const std::function<std::vector<std::string>(FavoritesTree&)>& remove,
                    const std::function<std::vector<std::string>(const std::vector<std::string>&)>& told,
                    std::string_view id = {}, std::string url = {});
  // Locks, brings in the current account's document, runs `edit` on it and saves
  // when `edit` returns true; notifies after unlocking. Returns what `edit` returned.
  bool Edit(const std::function<bool(FavoritesTree& tree)>& edit);
  // The same, and the changes `edit` records are journalled with the document.
  // After a change by a logged-in user, the journal is sent.
  bool EditRecorded(const std::function<bool(FavoritesTree& tree, std::vector<FavoritesChange>& changes)>& edit);
  // The id a logged-in user's new item gets until the service gives it one.
  static int64_t LocalId(const FavoritesTree& tree);
  // The user whose document is loaded (""  for nobody). mutex_ held.
  std::string LoadedUserLocked() const;

  UserDatabase& database_;
  const AccountState& account_;
  std::mutex mutex_;
  FavoritesTree tree_;                  // guarded by mutex_
  std::optional<WString> loadedKey_;    // guarded by mutex_; the key tree_ belongs to
  bool unsaved_ = false;                // guarded by mutex_; the last save of tree_ failed
  std::vector<FavoritesChange> unjournaled_;  // guarded by mutex_; changes of tree_ not yet written
  FavoriteJournalRecords journal_;
  std::map<std::string, std::string> lastRenames_;  // guarded by mutex_; ids the last send changed
  std::recursive_mutex sendMutex_;      // one sender of the journal at a time
  std::mutex listenersMutex_;
  std::map<int, Listener> listeners_;   // guarded by listenersMutex_
  int nextSubscription_ = 1;            // guarded by listenersMutex_
  std::mutex fetcherMutex_;
  std::atomic<bool> fetching_ = false;  // the icon worker still runs
  std::jthread iconFetcher_;            // guarded by fetcherMutex_; last, so it ends first
};

}  // namespace tarvo
