#include "favorites/favorites_store.h"

#include <algorithm>
#include <set>
#include <thread>

#include "account/account_state.h"
#include "account/vpn_route.h"
#include "favorites/favorite_icon.h"
#include "favorites/favorites_remote.h"
#include "net/picture_cache.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "store/info_records.h"

namespace tarvo {

namespace {

constexpr int kStoredRead = 1;
constexpr int kStoredAbsent = 0;
constexpr int kStoredDamaged = -1;
constexpr int kStoredUnreadable = -2;

std::vector<std::string> Everything(const std::vector<std::string>& removed) { return removed; }

}  // namespace

FavoritesStore::FavoritesStore(UserDatabase& database, const AccountState& account)
    : database_(database), account_(account), journal_(database) {}

WString FavoritesStore::StorageKeyFor(WStringView userId) {
  WString key(kStorageKey);
  if (!userId.empty()) key += u"_" + WString(userId);
  return key;
}

FavoritesStore::Account FavoritesStore::CurrentAccount() const {
  return Account{account_.UserId(), account_.Token()};
}

int FavoritesStore::Subscribe(Listener listener) {
  std::lock_guard lock(listenersMutex_);
  const int subscription = nextSubscription_++;
  listeners_.emplace(subscription, std::move(listener));
  return subscription;
}

void FavoritesStore::Unsubscribe(int subscription) {
  std::lock_guard lock(listenersMutex_);
  listeners_.erase(subscription);
}

void FavoritesStore::NotifyChanged() {
  std::lock_guard lock(listenersMutex_);
  for (const auto& [subscription, listener] : listeners_) listener();
}

int FavoritesStore::ReadStoredLocked(const WString& key, FavoritesTree& tree) {
  WString text;
  const int read = InfoRecords(database_).GetInfo(key, text);
  if (read == -1) return kStoredUnreadable;
  if (read != 0 || text.empty()) return kStoredAbsent;
  std::optional<FavoritesTree> parsed = FavoritesTree::Parse(WideToUtf8(text));
  if (!parsed) {
    KeepAsideLocked(key, text);
    return kStoredDamaged;
  }
  tree = std::move(*parsed);
  return kStoredRead;
}

void FavoritesStore::KeepAsideLocked(const WString& key, const WString& text) {
  const InfoRecords info(database_);
  const WString base = key + u".damaged-" + AsciiToWide(std::to_string(NowSeconds()));
  WString aside = base;
  WString existing;
  for (int copy = 2; info.GetInfo(aside, existing) == 0; ++copy) aside = base + u"-" + AsciiToWide(std::to_string(copy));
  if (info.SetInfo(aside, text) == 0) {
    DebugOutput("favourites: the stored document of " + WideToUtf8(key) + " does not parse; kept as " +
                WideToUtf8(aside));
  } else {
    DebugOutput("favourites: the stored document of " + WideToUtf8(key) + " does not parse and could not be kept");
  }
}

bool FavoritesStore::EnsureLoadedLocked(const WString& key) {
  if (loadedKey_ == key) return false;
  if (unsaved_) SaveLocked();  // the other account's changes get one more try
  unjournaled_.clear();
  FavoritesTree stored;
  const int read = ReadStoredLocked(key, stored);
  if (read == kStoredUnreadable) return false;
  tree_ = read == kStoredRead ? std::move(stored) : FavoritesTree();
  loadedKey_ = key;
  return true;
}

int FavoritesStore::SaveLocked() {
  if (!loadedKey_) return -1;
  // A change that could not be saved stays in memory, where the bar shows it, and is
  // written again later (SaveIfUnsaved): what the user sees is what is kept once
  // there is room. The changes still to be sent go with it, or neither does.
  const std::string user = LoadedUserLocked();
  const bool saved = database_.RunInTransaction([&] {
    if (InfoRecords(database_).SetInfo(*loadedKey_, Utf8ToWide(tree_.ToText())) != 0) return false;
    for (const FavoritesChange& change : unjournaled_) {
      if (journal_.Append(user, change.ToRow()) < 0) return false;
    }
    return true;
  }) == 0;
  if (saved) unjournaled_.clear();
  unsaved_ = !saved;
  return saved ? 0 : -1;
}

std::string FavoritesStore::LoadedUserLocked() const {
  const size_t prefix = std::char_traits<char16_t>::length(kStorageKey) + 1;
  return loadedKey_ && loadedKey_->size() > prefix ? WideToUtf8(loadedKey_->substr(prefix)) : std::string();
}

int FavoritesStore::SaveIfUnsaved() {
  std::lock_guard lock(mutex_);
  return unsaved_ ? SaveLocked() : 0;
}

bool FavoritesStore::Edit(const std::function<bool(FavoritesTree& tree)>& edit) {
  const WString key = StorageKeyFor(CurrentAccount().userId);
  bool changed = false;
  bool edited = false;
  {
    std::lock_guard lock(mutex_);
    changed = EnsureLoadedLocked(key);
    // A document that could not be read must not be replaced by an edited empty one.
    if (loadedKey_ == key && edit(tree_)) {
      edited = true;
      if (SaveLocked() != 0) DebugOutput("favourites: the document could not be saved");
    }
  }
  if (changed || edited) NotifyChanged();
  return edited;
}

bool FavoritesStore::EditRecorded(
    const std::function<bool(FavoritesTree& tree, std::vector<FavoritesChange>& changes)>& edit) {
  const bool loggedIn = CurrentAccount().LoggedIn();
  bool recorded = false;
  const bool edited = Edit([&](FavoritesTree& tree) {
    std::vector<FavoritesChange> changes;
    if (!edit(tree, changes)) return false;
    if (loggedIn) {
      recorded = !changes.empty();
      unjournaled_.insert(unjournaled_.end(), changes.begin(), changes.end());
    }
    return true;
  });
  if (recorded) SendPending();
  return edited;
}

int64_t FavoritesStore::LocalId(const FavoritesTree& tree) { return std::max(tree.NextId(), kFirstLocalId); }

FavoritesTree FavoritesStore::Document() {
  FavoritesTree copy;
  Edit([&copy](FavoritesTree& tree) {
    copy = tree;
    return false;
  });
  return copy;
}

int FavoritesStore::Load() {
  const WString key = StorageKeyFor(CurrentAccount().userId);
  int read = kStoredAbsent;
  {
    std::lock_guard lock(mutex_);
    // Changes that could not be saved yet are newer than the stored document.
    if (unsaved_ && loadedKey_ == key && SaveLocked() != 0) return 0;
    FavoritesTree stored;
    read = ReadStoredLocked(key, stored);
    if (read == kStoredUnreadable) return -1;
    if (read == kStoredRead) {
      tree_ = std::move(stored);
    } else if (loadedKey_ != key) {
      tree_ = FavoritesTree();
    }
    loadedKey_ = key;
  }
  NotifyChanged();
  return read == kStoredDamaged ? -1 : 0;
}

int FavoritesStore::Save() {
  const WString key = StorageKeyFor(CurrentAccount().userId);
  std::lock_guard lock(mutex_);
  EnsureLoadedLocked(key);
  return loadedKey_ == key ? SaveLocked() : -1;
}

int64_t FavoritesStore::NextId() { return Document().NextId(); }

Json::Value FavoritesStore::NewBookmark(WStringView folderId, WStringView name, WStringView url) {
  return FavoritesTree::NewBookmark(NextId(), WideToUtf8(folderId), WideToUtf8(name), WideToUtf8(url), NowSeconds());
}

Json::Value FavoritesStore::NewFolder(WStringView name) {
  return FavoritesTree::NewFolder(NextId(), WideToUtf8(name), NowSeconds());
}

Json::Value FavoritesStore::FindById(std::string_view id) {
  Json::Value found;
  Edit([&](FavoritesTree& tree) {
    if (const Json::Value* item = tree.Find(id)) found = *item;
    return false;
  });
  return found;
}

bool FavoritesStore::ContainsUrl(WStringView url) {
  const std::string utf8 = WideToUtf8(url);
  bool contains = false;
  Edit([&](FavoritesTree& tree) {
    contains = tree.ContainsUrl(utf8);
    return false;
  });
  return contains;
}

int FavoritesStore::AddItem(Json::Value& item) {
  const bool loggedIn = CurrentAccount().LoggedIn();
  std::string id;
  const bool stored = EditRecorded([&](FavoritesTree& tree, std::vector<FavoritesChange>& changes) {
    if (loggedIn) {
      item["id"] = std::to_string(LocalId(tree));
      item.removeMember("child");
    }
    id = FavoritesTree::Id(item);
    if (tree.Find(id) != nullptr) return false;
    tree.Append(item);
    item = *tree.Find(id);
    if (loggedIn) changes.push_back(FavoritesChange::Add(item));
    return true;
  });
  if (!stored) return -1;
  if (loggedIn) {
    // Sent at once when the service answers; then the item carries the service's id.
    std::string stored = id;
    {
      std::lock_guard lock(mutex_);
      if (const auto renamed = lastRenames_.find(id); renamed != lastRenames_.end()) stored = renamed->second;
    }
    if (const Json::Value now = FindById(stored); !now.isNull()) item = now;
  }
  return 0;
}

int FavoritesStore::AddItems(std::vector<Json::Value> items) {
  const bool loggedIn = CurrentAccount().LoggedIn();
  int stored = 0;
  EditRecorded([&](FavoritesTree& tree, std::vector<FavoritesChange>& changes) {
    int64_t next = loggedIn ? LocalId(tree) : tree.NextId();
    for (Json::Value& item : items) {
      // Fresh ids for the item and its bookmarks, which name it as their folder.
      item["id"] = std::to_string(next++);
      item["folder"] = "";
      if (item.isMember("child")) {
        for (Json::Value& child : item["child"]) {
          child["id"] = std::to_string(next++);
          child["folder"] = item["id"];
        }
      }
      if (loggedIn) changes.push_back(FavoritesChange::Add(item));
      tree.Append(std::move(item));
      ++stored;
    }
    return stored > 0;
  });
  return stored > 0 ? stored : -1;
}

int FavoritesStore::UpdateItem(const Json::Value& item) {
  const bool stored = EditRecorded([&](FavoritesTree& tree, std::vector<FavoritesChange>& changes) {
    const Json::Value* found = tree.Find(FavoritesTree::Id(item));
    const Json::Value before = found != nullptr ? *found : item;
    const std::optional<Json::Value> after = tree.Replace(item);
    if (!after) return false;
    changes.push_back(FavoritesChange::Update(before, *after));
    return true;
  });
  return stored ? 0 : -1;
}

int FavoritesStore::RemoveAndTell(
    const std::function<std::vector<std::string>(FavoritesTree&)>& remove,
    const std::function<std::vector<std::string>(const std::vector<std::string>&)>& told, std::string_view id,
    std::string url) {
  const bool stored = EditRecorded([&](FavoritesTree& tree, std::vector<FavoritesChange>& changes) {
    const Json::Value* item = id.empty() ? nullptr : tree.Find(id);
    if (item != nullptr && !FavoritesTree::IsFolder(*item)) url = FavoritesTree::Url(*item);
    const std::vector<std::string> removed = remove(tree);
    if (removed.empty()) return false;
    changes.push_back(FavoritesChange::Delete(told(removed), url));
    return true;
  });
  return stored ? 0 : -1;
}

int FavoritesStore::DeleteItem(std::string_view id) {
  // The service hears the item's own id; it removes a folder's bookmarks itself.
  return RemoveAndTell([id](FavoritesTree& tree) { return tree.Remove(id); },
                       [](const std::vector<std::string>& removed) { return std::vector{removed.front()}; }, id);
}

int FavoritesStore::DeleteFolder(std::string_view id) {
  return RemoveAndTell([id](FavoritesTree& tree) { return tree.Remove(id); }, Everything, id);
}

int FavoritesStore::RemoveUrl(WStringView url) {
  const std::string utf8 = WideToUtf8(url);
  return RemoveAndTell([&utf8](FavoritesTree& tree) { return tree.RemoveUrl(utf8); }, Everything, {}, utf8);
}

int FavoritesStore::MoveBookmark(std::string_view id, std::string_view folderId, WStringView name) {
  const bool done = EditRecorded([&](FavoritesTree& tree, std::vector<FavoritesChange>& changes) {
    const Json::Value* current = tree.Find(id);
    if (current == nullptr || FavoritesTree::IsFolder(*current)) return false;
    const Json::Value* folder = folderId.empty() ? nullptr : tree.Find(folderId);
    if (!folderId.empty() && (folder == nullptr || !FavoritesTree::IsFolder(*folder))) return false;
    Json::Value moved = *current;
    moved["folder"] = std::string(folderId);
    moved["name"] = WideToUtf8(name);
    tree.Remove(id);
    tree.Append(moved);
    changes.push_back(FavoritesChange::Move(moved));
    return true;
  });
  return done ? 0 : -1;
}

std::vector<WString> FavoritesStore::IconsToFetch() {
  std::vector<WString> addresses;
  std::set<WString> seen;
  const FavoriteIcon cached;
  for (const std::string& url : Document().BookmarkUrls()) {
    const WString address = FavoriteIcon::PrefetchAddress(Utf8ToWide(url));
    const bool fetchable = address.starts_with(u"http://") || address.starts_with(u"https://");
    if (fetchable && seen.insert(address).second && !cached.IsCached(address)) addresses.push_back(address);
  }
  return addresses;
}

void FavoritesStore::PrefetchIcons() {
  std::lock_guard lock(fetcherMutex_);
  if (fetching_) return;
  std::vector<WString> addresses = IconsToFetch();
  if (addresses.empty()) return;
  // One worker for the whole list: a document of thousands of sites must not start
  // thousands of threads at once. Not detached: a worker still fetching when the
  // process ends would use the crypto and HTTP libraries after their clean-up.
  if (iconFetcher_.joinable()) iconFetcher_.join();  // finished: fetching_ is false
  fetching_ = true;
  try {
    iconFetcher_ = std::jthread([this, route = VpnRoute(account_), addresses = std::move(addresses)](std::stop_token stop) {
      for (const WString& address : addresses) {
        if (stop.stop_requested()) break;
        PictureCache::FetchPicture(address, route.For(address));
      }
      fetching_ = false;
    });
  } catch (const std::system_error&) {
    fetching_ = false;
    DebugOutput("favourites: no thread for the icons");
  }
}

int FavoritesStore::AdoptDefaults(FavoritesTree defaults) {
  const WString key = StorageKeyFor(CurrentAccount().userId);
  int saved = -1;
  {
    std::lock_guard lock(mutex_);
    FavoritesTree stored;
    const int read = ReadStoredLocked(key, stored);
    if (read == kStoredUnreadable) return -1;
    tree_ = read == kStoredRead ? std::move(stored) : std::move(defaults);
    loadedKey_ = key;
    saved = SaveLocked();
  }
  NotifyChanged();
  return saved;
}

int FavoritesStore::ReplaceUserDocument(const WString& userId, FavoritesTree document) {
  if (userId.empty() || CurrentAccount().userId != userId) return -1;
  int saved = -1;
  {
    std::lock_guard lock(mutex_);
    std::vector<FavoritesChange> pending;
    if (PendingChanges(WideToUtf8(userId), pending) != 0) return -1;  // they must not be lost
    if (loadedKey_ == StorageKeyFor(userId)) pending.insert(pending.end(), unjournaled_.begin(), unjournaled_.end());
    for (const FavoritesChange& change : pending) change.ApplyTo(document);
    if (loadedKey_ != StorageKeyFor(userId)) unjournaled_.clear();
    tree_ = std::move(document);
    loadedKey_ = StorageKeyFor(userId);
    saved = SaveLocked();
  }
  NotifyChanged();
  return saved;
}

}  // namespace tarvo

namespace tarvo {

int64_t FavoritesStore::PendingCount() {
  const std::string user = WideToUtf8(CurrentAccount().userId);
  if (user.empty()) return 0;
  std::lock_guard lock(mutex_);
  const int64_t unwritten = LoadedUserLocked() == user ? static_cast<int64_t>(unjournaled_.size()) : 0;
  return journal_.Count(user) + unwritten;
}

FavoritesReplay::Result FavoritesStore::SendPending(FavoritesTree* serviceCopy) {
  const Account account = CurrentAccount();
  if (!account.LoggedIn()) return {};
  std::lock_guard sending(sendMutex_);
  SaveIfUnsaved();  // changes not yet in the journal go there first
  FavoritesReplay::Result result = FavoritesReplay(*this, WideToUtf8(account.userId), account.token, serviceCopy).Run();
  {
    std::lock_guard lock(mutex_);
    lastRenames_ = result.renamed;
  }
  return result;
}

int FavoritesStore::PendingChanges(const std::string& userId, std::vector<FavoritesChange>& changes,
                                   int64_t limit) {
  changes.clear();
  std::vector<FavoriteJournalRecords::Row> rows;
  if (journal_.List(userId, rows, limit) != 0) return -1;
  for (const FavoriteJournalRecords::Row& row : rows) {
    if (std::optional<FavoritesChange> change = FavoritesChange::FromRow(row)) {
      changes.push_back(std::move(*change));
    } else {
      DebugOutput("favourites: an unreadable pending change is skipped");
    }
  }
  return 0;
}

int FavoritesStore::ConfirmChange(const std::string& userId, const FavoritesChange& done,
                                  const std::vector<std::pair<std::string, std::string>>& renames,
                                  const std::optional<FavoritesChange>& remainder) {
  std::vector<std::pair<std::string, std::string>> renamedHere;  // in tree_, to undo on failure
  int result = -1;
  {
    std::lock_guard lock(mutex_);
    const bool loaded = loadedKey_.has_value() && LoadedUserLocked() == userId;
    // The user's document is renamed where it is: in memory, or only as stored.
    const WString key = StorageKeyFor(Utf8ToWide(userId));
    FavoritesTree stored;
    FavoritesTree* document = &tree_;
    if (!loaded) document = ReadStoredLocked(key, stored) == kStoredRead ? &stored : nullptr;
    result = database_.RunInTransaction([&] {
      if (remainder) {
        FavoriteJournalRecords::Row row = remainder->ToRow();
        row.seq = done.seq();
        if (journal_.Rewrite(row) != 0) return false;
      } else if (journal_.Remove(done.seq()) != 0) {
        return false;
      }
      for (const auto& [from, to] : renames) {
        std::vector<FavoriteJournalRecords::Row> naming;
        if (journal_.ListNaming(userId, from, naming) != 0) return false;
        for (const FavoriteJournalRecords::Row& row : naming) {
          std::optional<FavoritesChange> change = FavoritesChange::FromRow(row);
          if (row.seq == done.seq() || !change || !change->Rename(from, to)) continue;
          if (journal_.Rewrite(change->ToRow()) != 0) return false;
        }
        if (document == nullptr) continue;
        if (document->Find(to) != nullptr) {
          // The service already held it (an address added from another device): once.
          if (!document->Remove(from).empty()) renamedHere.emplace_back(from, from);
        } else if (document->RenameId(from, to)) {
          renamedHere.emplace_back(from, to);
        }
      }
      if (renamedHere.empty()) return true;
      return InfoRecords(database_).SetInfo(key, Utf8ToWide(document->ToText())) == 0;
    });
    if (result != 0 || !loaded) {
      for (auto undo = renamedHere.rbegin(); result != 0 && undo != renamedHere.rend(); ++undo) {
        document->RenameId(undo->second, undo->first);
      }
      renamedHere.clear();
    } else {
      for (const auto& [from, to] : renames) {
        for (FavoritesChange& change : unjournaled_) change.Rename(from, to);
      }
    }
  }
  if (!renamedHere.empty()) NotifyChanged();
  return result;
}

}  // namespace tarvo
