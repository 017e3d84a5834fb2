#include "favorites/favorites_tree.h"

#include <json/json.h>

#include <charconv>
#include <memory>
#include <set>
#include <utility>

namespace tarvo {

namespace {

constexpr const char* kTextMembers[] = {"id", "type", "folder", "name", "url", "date"};
constexpr size_t kLongestId = 18;  // fits a signed 64-bit number

// The "child" array of an item, or null; never adds the member (the non-const
// subscript of Json::Value would).
const Json::Value* Children(const Json::Value& item) {
  if (!item.isObject() || !item.isMember("child")) return nullptr;
  const Json::Value& child = item["child"];
  return child.isArray() ? &child : nullptr;
}

Json::Value* Children(Json::Value& item) { return const_cast<Json::Value*>(Children(std::as_const(item))); }

bool IsDecimal(const std::string& text) {
  if (text.empty() || text.size() > kLongestId) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Turns the text members of `item` into texts (integral numbers become decimal text);
// false when one holds anything else.
bool NormaliseMembers(Json::Value& item, std::string& problem) {
  for (const char* name : kTextMembers) {
    if (!item.isMember(name)) continue;
    Json::Value* value = &item[name];
    if (value->isString()) continue;
    if (value->isIntegral()) {
      *value = value->isUInt64() ? std::to_string(value->asUInt64()) : std::to_string(value->asInt64());
      continue;
    }
    problem = std::string("a favourite's \"") + name + "\" is not text";
    return false;
  }
  return true;
}

bool CheckItem(Json::Value& item, bool insideFolder, std::set<std::string>& ids, std::string& problem) {
  if (!item.isObject()) {
    problem = "a favourite is not a JSON object";
    return false;
  }
  if (!NormaliseMembers(item, problem)) return false;
  const std::string id = FavoritesTree::Id(item);
  if (!IsDecimal(id)) {
    problem = item.isMember("id") ? "a favourite's id \"" + id + "\" is not a number" : "a favourite has no id";
    return false;
  }
  if (!ids.insert(id).second) {
    problem = "the id " + id + " is used twice";
    return false;
  }
  const std::string type = FavoritesTree::Member(item, "type");
  if (type == FavoritesTree::kBookmarkType) {
    if (item.isMember("child")) {
      problem = "bookmark " + id + " holds other favourites";
      return false;
    }
    return true;
  }
  if (type != FavoritesTree::kFolderType || insideFolder) {
    problem = insideFolder ? "a folder holds something other than bookmarks" : "favourite " + id + " has no known type";
    return false;
  }
  if (!item.isMember("child")) return true;
  Json::Value* children = Children(item);
  if (children == nullptr) {
    problem = "folder " + id + " has a \"child\" that is not a list";
    return false;
  }
  for (Json::Value& child : *children) {
    if (!CheckItem(child, true, ids, problem)) return false;
  }
  return true;
}

// A text member of an item without copying it ("" when absent or not text): the
// look-ups below run over every item of large documents.
std::string_view View(const Json::Value& item, std::string_view name) {
  if (!item.isObject()) return {};
  const Json::Value* value = item.find(name.data(), name.data() + name.size());
  const char* begin = nullptr;
  const char* end = nullptr;
  if (value == nullptr || !value->isString() || !value->getString(&begin, &end)) return {};
  return {begin, static_cast<size_t>(end - begin)};
}

bool IsBookmarkOf(const Json::Value& item, std::string_view url) {
  return View(item, "type") != FavoritesTree::kFolderType && View(item, "url") == url;
}

// Removes array[index], closing the gap.
void EraseAt(Json::Value& array, Json::ArrayIndex index) {
  Json::Value removed;
  array.removeIndex(index, &removed);
}

}  // namespace

FavoritesTree::FavoritesTree(Json::Value items) {
  if (items.isArray()) items_ = std::move(items);
}

std::optional<FavoritesTree> FavoritesTree::Parse(std::string_view text) {
  Json::CharReaderBuilder builder;
  builder["allowComments"] = true;
  builder["failIfExtra"] = true;
  builder["rejectDupKeys"] = false;
  Json::Value root;
  try {
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors) || !root.isArray()) {
      return std::nullopt;
    }
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return FavoritesTree(std::move(root));
}

std::optional<FavoritesTree> FavoritesTree::Checked(const Json::Value& document, std::string& problem) {
  if (!document.isArray()) {
    problem = "the favourites are not a list";
    return std::nullopt;
  }
  Json::Value items = document;
  std::set<std::string> ids;
  for (Json::Value& item : items) {
    if (!CheckItem(item, false, ids, problem)) return std::nullopt;
  }
  return FavoritesTree(std::move(items));
}

std::string FavoritesTree::ToText() const {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, items_) + "\n";
}

size_t FavoritesTree::CountAll() const {
  size_t count = 0;
  for (const Json::Value& item : items_) {
    ++count;
    if (const Json::Value* children = Children(item)) count += children->size();
  }
  return count;
}

int64_t FavoritesTree::NextId() const {
  int64_t largest = 0;
  for (const Json::Value& item : items_) {
    largest = std::max(largest, NumericId(Id(item)));
    if (const Json::Value* children = Children(item)) {
      for (const Json::Value& child : *children) largest = std::max(largest, NumericId(Id(child)));
    }
  }
  return largest + 1;
}

const Json::Value* FavoritesTree::Find(std::string_view id) const {
  for (const Json::Value& item : items_) {
    if (View(item, "id") == id) return &item;
  }
  for (const Json::Value& item : items_) {
    if (const Json::Value* children = Children(item)) {
      for (const Json::Value& child : *children) {
        if (View(child, "id") == id) return &child;
      }
    }
  }
  return nullptr;
}

bool FavoritesTree::ContainsUrl(std::string_view url) const {
  for (const Json::Value& item : items_) {
    if (IsBookmarkOf(item, url)) return true;
    if (const Json::Value* children = Children(item)) {
      for (const Json::Value& child : *children) {
        if (IsBookmarkOf(child, url)) return true;
      }
    }
  }
  return false;
}

std::vector<std::string> FavoritesTree::BookmarkUrls() const {
  std::vector<std::string> urls;
  for (const Json::Value& item : items_) {
    if (!IsFolder(item)) urls.push_back(Url(item));
    if (const Json::Value* children = Children(item)) {
      for (const Json::Value& child : *children) urls.push_back(Url(child));
    }
  }
  return urls;
}

void FavoritesTree::Append(Json::Value item) {
  const std::string folder = FolderOf(item);
  if (!IsFolder(item) && !folder.empty()) {
    for (Json::Value& candidate : items_) {
      if (IsFolder(candidate) && Id(candidate) == folder) {
        if (Children(candidate) == nullptr) candidate["child"] = Json::Value(Json::arrayValue);
        Children(candidate)->append(std::move(item));
        return;
      }
    }
    item["folder"] = "";
  }
  items_.append(std::move(item));
}

std::optional<Json::Value> FavoritesTree::Replace(const Json::Value& item) {
  const std::string id = Id(item);
  const auto matches = [&](const Json::Value& candidate) {
    if (!id.empty()) return View(candidate, "id") == id;
    for (const char* name : {"type", "folder", "name", "url"}) {
      if (Member(candidate, name) != Member(item, name)) return false;
    }
    return true;
  };
  const auto replaceIn = [&](Json::Value& array) -> std::optional<Json::Value> {
    for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
      if (!matches(array[i])) continue;
      Json::Value replacement = item;
      if (id.empty()) replacement["id"] = Id(array[i]);
      replacement["folder"] = FolderOf(array[i]);
      if (const Json::Value* children = Children(array[i]); children != nullptr && !replacement.isMember("child")) {
        replacement["child"] = *children;
      }
      EraseAt(array, i);
      array.append(replacement);
      return replacement;
    }
    return std::nullopt;
  };
  if (auto stored = replaceIn(items_)) return stored;
  for (Json::Value& folder : items_) {
    Json::Value* children = Children(folder);
    if (children == nullptr) continue;
    if (auto stored = replaceIn(*children)) return stored;
  }
  return std::nullopt;
}

std::vector<std::string> FavoritesTree::Remove(std::string_view id) {
  for (Json::ArrayIndex i = 0; i < items_.size(); ++i) {
    if (View(items_[i], "id") != id) continue;
    std::vector<std::string> removed{Id(items_[i])};
    if (const Json::Value* children = Children(items_[i])) {
      for (const Json::Value& child : *children) removed.push_back(Id(child));
    }
    EraseAt(items_, i);
    return removed;
  }
  for (Json::Value& folder : items_) {
    Json::Value* children = Children(folder);
    for (Json::ArrayIndex i = 0; children != nullptr && i < children->size(); ++i) {
      if (View((*children)[i], "id") != id) continue;
      EraseAt(*children, i);
      return {std::string(id)};
    }
  }
  return {};
}

bool FavoritesTree::RenameId(std::string_view from, const std::string& to) {
  Json::Value* item = const_cast<Json::Value*>(Find(from));
  if (item == nullptr) return false;
  (*item)["id"] = to;
  if (Json::Value* children = Children(*item)) {
    for (Json::Value& child : *children) child["folder"] = to;
  }
  return true;
}

std::vector<std::string> FavoritesTree::RemoveUrl(std::string_view url) {
  return RemoveBookmarksIf([url](const std::string& address) { return address == url; });
}

std::vector<std::string> FavoritesTree::RemoveBookmarksIf(const std::function<bool(const std::string& url)>& remove) {
  std::vector<std::string> removed;
  // Each array is built again once, whatever number of bookmarks goes; its removed
  // ids are listed from its end.
  const auto sweep = [&](Json::Value& array) {
    Json::Value kept(Json::arrayValue);
    std::vector<std::string> gone;
    for (Json::Value& item : array) {
      if (!IsFolder(item) && remove(Url(item))) {
        gone.push_back(Id(item));
      } else {
        kept.append(std::move(item));
      }
    }
    array = std::move(kept);
    removed.insert(removed.end(), gone.rbegin(), gone.rend());
  };
  sweep(items_);
  for (Json::Value& folder : items_) {
    if (Json::Value* children = Children(folder)) sweep(*children);
  }
  return removed;
}

std::string FavoritesTree::Member(const Json::Value& item, const char* name) {
  if (!item.isObject() || !item.isMember(name)) return std::string();
  const Json::Value& value = item[name];
  return value.isString() ? value.asString() : std::string();
}

bool FavoritesTree::IsBookmarkInFolder(const Json::Value& item) {
  return Member(item, "type") == kBookmarkType && !FolderOf(item).empty();
}

int64_t FavoritesTree::NumericId(std::string_view id) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), value);
  (void)end;
  return error == std::errc() && value > 0 ? value : 0;
}

std::string FavoritesTree::JoinIds(const std::vector<std::string>& ids) {
  std::string joined;
  for (const std::string& id : ids) {
    if (!joined.empty()) joined += ",";
    joined += id;
  }
  return joined;
}

Json::Value FavoritesTree::NewBookmark(int64_t id, std::string_view folderId, std::string_view name,
                                       std::string_view url, int64_t date) {
  Json::Value item(Json::objectValue);
  item["id"] = std::to_string(id);
  item["type"] = kBookmarkType;
  item["folder"] = std::string(folderId);
  item["name"] = std::string(name);
  item["url"] = std::string(url);
  item["date"] = std::to_string(date);
  return item;
}

Json::Value FavoritesTree::NewFolder(int64_t id, std::string_view name, int64_t date) {
  Json::Value item(Json::objectValue);
  item["id"] = std::to_string(id);
  item["type"] = kFolderType;
  item["folder"] = "";
  item["name"] = std::string(name);
  item["date"] = std::to_string(date);
  return item;
}

}  // namespace tarvo
