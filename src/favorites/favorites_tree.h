#pragma once

#include <json/value.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// One favourites document: a JSON array of items whose members are texts ("id",
// "type" "url" or "folder", "folder", "name", "url", "date"); a folder keeps its
// bookmarks in a "child" array. Two levels only: folders hold bookmarks, never
// folders. The order is the arrays' order; nothing here sorts.
//
// A value type without locking; FavoritesStore guards the shared one.
class FavoritesTree {
 public:
  static constexpr const char* kBookmarkType = "url";
  static constexpr const char* kFolderType = "folder";

  FavoritesTree() = default;
  // Takes `items` when it is an array, else starts empty.
  explicit FavoritesTree(Json::Value items);

  // The tree of a stored text (comments allowed); nothing when the text is not a
  // JSON array or the reader fails in any way.
  static std::optional<FavoritesTree> Parse(std::string_view text);
  // A document that came from elsewhere (the service, a file): an array of objects,
  // each with a decimal "id" and a known "type", bookmarks only inside folders, every
  // member text. Integral JSON numbers are accepted where text is due and become
  // their decimal text. Nothing, with `problem` set, for anything else.
  static std::optional<FavoritesTree> Checked(const Json::Value& document, std::string& problem);
  // The compact JSON text, ending with a line feed.
  std::string ToText() const;

  const Json::Value& Items() const& { return items_; }
  // A temporary tree hands its items over, so `for (x : store.Document().Items())`
  // walks a living array.
  Json::Value Items() && { return std::move(items_); }
  bool Empty() const { return items_.empty(); }
  // Folders and bookmarks at every level.
  size_t CountAll() const;

  // 1 + the largest numeric id at the top level and directly inside folders; 1 for
  // an empty tree. An id is read like atoi (leading digits); 0 or less never counts.
  int64_t NextId() const;
  // The first item whose "id" equals `id` exactly (top level first, then each
  // folder's bookmarks in turn), or null.
  const Json::Value* Find(std::string_view id) const;
  // True when a bookmark (top level or in a folder) has exactly this "url".
  bool ContainsUrl(std::string_view url) const;
  // Every bookmark's "url", top level and inside folders, in document order.
  std::vector<std::string> BookmarkUrls() const;

  // Appends `item`: a bookmark naming a folder goes at the end of the first folder
  // with that id; anything else, and a bookmark whose folder does not exist (its
  // "folder" then cleared), at the end of the top level.
  void Append(Json::Value item);
  // Replaces the stored item with `item`'s "id" (or, when it has none, the one with
  // the same type, folder, name and url) and moves it to the end of its own array.
  // The item keeps its place: its id when `item` has none, its folder, and a
  // folder's bookmarks when `item` brings no "child". Returns the stored copy, or
  // nothing when no item matches.
  std::optional<Json::Value> Replace(const Json::Value& item);
  // Removes the first item with this id (a folder with its bookmarks); returns the
  // ids of everything removed, the item's own first.
  std::vector<std::string> Remove(std::string_view id);
  // The item with id `from` takes the id `to` (a folder's bookmarks name it as their
  // folder again). False when no item has `from`.
  bool RenameId(std::string_view from, const std::string& to);
  // Removes every bookmark whose "url" equals `url`; returns their ids.
  std::vector<std::string> RemoveUrl(std::string_view url);
  // Removes every bookmark (top level and inside folders) whose "url" `remove`
  // accepts; returns their ids, each array's from its end (top level first).
  std::vector<std::string> RemoveBookmarksIf(const std::function<bool(const std::string& url)>& remove);

  // A member of an item as text ("" when absent or not text).
  static std::string Member(const Json::Value& item, const char* name);
  static std::string Id(const Json::Value& item) { return Member(item, "id"); }
  static std::string Name(const Json::Value& item) { return Member(item, "name"); }
  static std::string Url(const Json::Value& item) { return Member(item, "url"); }
  static std::string FolderOf(const Json::Value& item) { return Member(item, "folder"); }
  static bool IsFolder(const Json::Value& item) { return Member(item, "type") == kFolderType; }
  static bool IsBookmarkInFolder(const Json::Value& item);
  // The leading decimal digits of an id as a number (0 when there are none).
  static int64_t NumericId(std::string_view id);
  // The ids joined by ",", no spaces.
  static std::string JoinIds(const std::vector<std::string>& ids);

  // New items; the caller chooses the id (FavoritesStore takes NextId).
  static Json::Value NewBookmark(int64_t id, std::string_view folderId, std::string_view name, std::string_view url,
                                 int64_t date);
  static Json::Value NewFolder(int64_t id, std::string_view name, int64_t date);

 private:
  Json::Value items_ = Json::Value(Json::arrayValue);
};

}  // namespace tarvo
