#include "favorites/favorites_store.h"

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

}  // namespace

FavoritesStore::FavoritesStore(UserDatabase& database, const AccountState& account)
    : database_(database), account_(account) {}

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
  // there is room.
  unsaved_ = InfoRecords(database_).SetInfo(*loadedKey_, Utf8ToWide(tree_.ToText())) != 0;
  return unsaved_ ? -1 : 0;
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
  const Account account = CurrentAccount();
  if (account.LoggedIn() && FavoritesRemote::Add(account.token, item) != 0) return -1;
  const bool stored = Edit([&](FavoritesTree& tree) {
    if (tree.Find(FavoritesTree::Id(item)) != nullptr) return false;
    tree.Append(item);
    return true;
  });
  return stored ? 0 : -1;
}

int FavoritesStore::AddItems(std::vector<Json::Value> items) {
  const Account account = CurrentAccount();
  if (account.LoggedIn()) {
    std::vector<Json::Value> accepted;
    for (Json::Value& item : items) {
      if (FavoritesRemote::Add(account.token, item) == 0) accepted.push_back(std::move(item));
    }
    items = std::move(accepted);
  }
  int stored = 0;
  Edit([&](FavoritesTree& tree) {
    int64_t next = tree.NextId();
    for (Json::Value& item : items) {
      if (!account.LoggedIn()) {
        // Fresh ids for the item and its bookmarks, which name it as their folder.
        item["id"] = std::to_string(next++);
        item["folder"] = "";
        if (item.isMember("child")) {
          for (Json::Value& child : item["child"]) {
            child["id"] = std::to_string(next++);
            child["folder"] = item["id"];
          }
        }
      }
      if (tree.Find(FavoritesTree::Id(item)) != nullptr) continue;
      tree.Append(std::move(item));
      ++stored;
    }
    return stored > 0;
  });
  return stored > 0 ? stored : -1;
}

int FavoritesStore::UpdateItem(const Json::Value& item) {
  const Account account = CurrentAccount();
  std::optional<Json::Value> stored;
  Edit([&](FavoritesTree& tree) {
    stored = tree.Replace(item);
    return stored.has_value();
  });
  if (!stored) return -1;
  if (account.LoggedIn() && FavoritesRemote::Update(account.token, *stored) != 0) {
    DebugOutput("favourites: the service did not take a change; the next sync brings its copy back");
  }
  return 0;
}

int FavoritesStore::RemoveAndTell(const std::function<std::vector<std::string>(FavoritesTree&)>& remove,
                                  const std::function<std::string(const std::vector<std::string>&)>& told) {
  const Account account = CurrentAccount();
  std::vector<std::string> removed;
  Edit([&](FavoritesTree& tree) {
    removed = remove(tree);
    return !removed.empty();
  });
  if (removed.empty()) return -1;
  if (account.LoggedIn()) FavoritesRemote::Delete(account.token, told(removed));
  return 0;
}

int FavoritesStore::DeleteItem(std::string_view id) {
  // The service hears the item's own id; it removes a folder's bookmarks itself.
  return RemoveAndTell([id](FavoritesTree& tree) { return tree.Remove(id); },
                       [](const std::vector<std::string>& removed) { return removed.front(); });
}

int FavoritesStore::DeleteFolder(std::string_view id) {
  return RemoveAndTell([id](FavoritesTree& tree) { return tree.Remove(id); }, &FavoritesTree::JoinIds);
}

int FavoritesStore::RemoveUrl(WStringView url) {
  const std::string utf8 = WideToUtf8(url);
  return RemoveAndTell([&utf8](FavoritesTree& tree) { return tree.RemoveUrl(utf8); }, &FavoritesTree::JoinIds);
}

int FavoritesStore::MoveBookmark(std::string_view id, std::string_view folderId, WStringView name) {
  const Account account = CurrentAccount();
  const Json::Value current = FindById(id);
  if (current.isNull() || FavoritesTree::IsFolder(current)) return -1;
  if (!folderId.empty() && !FavoritesTree::IsFolder(FindById(folderId))) return -1;
  Json::Value moved = current;
  moved["folder"] = std::string(folderId);
  moved["name"] = WideToUtf8(name);
  // The service keeps an item in its folder, so a move there is a new item.
  if (account.LoggedIn()) {
    moved.removeMember("id");
    if (FavoritesRemote::Add(account.token, moved) != 0) return -1;
  }
  const bool done = Edit([&](FavoritesTree& tree) {
    if (tree.Remove(id).empty()) return false;
    tree.Append(moved);
    return true;
  });
  if (done && account.LoggedIn()) FavoritesRemote::Delete(account.token, std::string(id));
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
    tree_ = std::move(document);
    loadedKey_ = StorageKeyFor(userId);
    saved = SaveLocked();
  }
  NotifyChanged();
  return saved;
}

}  // namespace tarvo
