#include "favorites_document.h"

#include "field_values.h"
#include "json_text.h"

namespace tarvo::service {

namespace {

constexpr const char* kTextMembers[] = {"id", "type", "folder", "name", "url", "date"};

// A text member of an item; empty when the member is missing or no text, or when the
// item is no object at all (a damaged stored document may hold numbers or nulls,
// and looking a member up in those throws).
std::string Member(const Json::Value& item, const char* name) {
  if (!item.isObject()) {
    return std::string();
  }
  const Json::Value& value = item[name];
  return value.isString() ? value.asString() : std::string();
}

bool IsFolder(const Json::Value& item) { return Member(item, "type") == "folder"; }

// A folder's bookmark array, or null when the item has none. Never adds a member
// (the non-const subscript of Json::Value would).
Json::Value* Children(Json::Value& item) {
  return item.isMember("child") && item["child"].isArray() ? &item["child"] : nullptr;
}

// Removes one element of an array, closing the gap.
void EraseAt(Json::Value& array, Json::ArrayIndex index) {
  Json::Value removed;
  array.removeIndex(index, &removed);
}

}  // namespace

FavoritesDocument FavoritesDocument::FromText(std::string_view text) {
  FavoritesDocument document;
  const auto parsed = ParseJson(text);
  if (parsed && parsed->isArray()) {
    document.items_ = *parsed;
  }
  return document;
}

bool FavoritesDocument::FromSeed(const Json::Value& items, int64_t now, FavoritesDocument& out, std::string& error) {
  if (!items.isArray()) {
    error = "default favourites must be an array";
    return false;
  }
  FavoritesDocument document;
  int64_t nextId = 1;
  for (const Json::Value& item : items) {
    if (!Validate(item, false, error)) {
      return false;
    }
    document.Add(item, nextId, now);
  }
  out = std::move(document);
  return true;
}

std::string FavoritesDocument::ToText() const { return WriteCompactJson(items_); }

int64_t FavoritesDocument::LargestId() const {
  int64_t largest = 0;
  const auto consider = [&largest](const Json::Value& item) {
    largest = std::max(largest, ParseInteger(Member(item, "id")).value_or(0));
  };
  for (const Json::Value& item : items_) {
    consider(item);
    if (!item.isObject()) {
      continue;
    }
    for (const Json::Value& child : item["child"]) {
      consider(child);
    }
  }
  return largest;
}

bool FavoritesDocument::Validate(const Json::Value& item, bool insideFolder, std::string& error) {
  if (!item.isObject()) {
    error = "a favourite must be a JSON object";
    return false;
  }
  for (const char* name : kTextMembers) {
    if (item.isMember(name) && !item[name].isString()) {
      error = std::string("favourite member \"") + name + "\" must be text";
      return false;
    }
  }
  const std::string type = Member(item, "type");
  if (type == "url") {
    if (Member(item, "url").empty()) {
      error = "a bookmark needs a \"url\"";
      return false;
    }
    if (item.isMember("child")) {
      error = "a bookmark cannot hold \"child\"";
      return false;
    }
    return true;
  }
  if (type != "folder") {
    error = "\"type\" must be \"url\" or \"folder\"";
    return false;
  }
  if (insideFolder) {
    error = "folders hold bookmarks only";
    return false;
  }
  if (item.isMember("child")) {
    if (!item["child"].isArray()) {
      error = "\"child\" must be an array";
      return false;
    }
    for (const Json::Value& child : item["child"]) {
      if (!Validate(child, true, error)) {
        return false;
      }
    }
  }
  return true;
}

Json::Value FavoritesDocument::Add(const Json::Value& item, int64_t& nextId, int64_t now) {
  Json::Value stored = item;
  stored["id"] = std::to_string(nextId++);
  if (Member(stored, "date").empty()) {
    stored["date"] = std::to_string(now);
  }
  if (IsFolder(stored)) {
    stored["folder"] = "";
    Json::Value children(Json::arrayValue);
    for (const Json::Value& child : item["child"]) {
      Json::Value storedChild = child;
      storedChild["id"] = std::to_string(nextId++);
      storedChild["folder"] = stored["id"];
      if (Member(storedChild, "date").empty()) {
        storedChild["date"] = std::to_string(now);
      }
      children.append(storedChild);
    }
    if (item.isMember("child")) {
      stored["child"] = children;
    }
    items_.append(stored);
    return stored;
  }
  const std::string folderId = Member(stored, "folder");
  for (Json::Value& candidate : items_) {
    if (!folderId.empty() && IsFolder(candidate) && Member(candidate, "id") == folderId) {
      if (!candidate["child"].isArray()) {
        candidate["child"] = Json::Value(Json::arrayValue);
      }
      candidate["child"].append(stored);
      return stored;
    }
  }
  stored["folder"] = "";
  items_.append(stored);
  return stored;
}

bool FavoritesDocument::Update(const Json::Value& item) {
  const std::string id = Member(item, "id");
  const auto matches = [&](const Json::Value& candidate) {
    if (!id.empty()) {
      return Member(candidate, "id") == id;
    }
    for (const char* name : {"type", "folder", "name", "url"}) {
      if (Member(candidate, name) != Member(item, name)) {
        return false;
      }
    }
    return true;
  };
  const auto replaceIn = [&](Json::Value& array) {
    for (Json::ArrayIndex i = 0; i < array.size(); ++i) {
      if (!matches(array[i])) {
        continue;
      }
      const Json::Value old = array[i];
      if (Member(old, "type") != Member(item, "type")) {
        return -1;
      }
      Json::Value replacement = item;
      replacement["id"] = old["id"];
      replacement["folder"] = Member(old, "folder");
      replacement.removeMember("child");
      if (old.isMember("child")) {
        replacement["child"] = old["child"];
      }
      EraseAt(array, i);
      array.append(replacement);
      return 1;
    }
    return 0;
  };
  int result = replaceIn(items_);
  for (Json::ArrayIndex i = 0; result == 0 && i < items_.size(); ++i) {
    if (Json::Value* children = Children(items_[i])) {
      result = replaceIn(*children);
    }
  }
  return result == 1;
}

std::vector<std::string> FavoritesDocument::Remove(const std::vector<std::string>& ids) {
  std::vector<std::string> removed;
  for (const std::string& id : ids) {
    bool found = false;
    for (Json::ArrayIndex i = 0; !found && i < items_.size(); ++i) {
      if (Member(items_[i], "id") == id) {
        removed.push_back(id);
        const Json::Value& folder = items_[i];
        for (const Json::Value& child : folder["child"]) {
          removed.push_back(Member(child, "id"));
        }
        EraseAt(items_, i);
        found = true;
      }
    }
    for (Json::ArrayIndex i = 0; !found && i < items_.size(); ++i) {
      Json::Value* children = Children(items_[i]);
      for (Json::ArrayIndex j = 0; !found && children != nullptr && j < children->size(); ++j) {
        if (Member((*children)[j], "id") == id) {
          removed.push_back(id);
          EraseAt(*children, j);
          found = true;
        }
      }
    }
  }
  return removed;
}

}  // namespace tarvo::service
