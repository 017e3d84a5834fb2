#pragma once

#include <json/value.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::service {

// One favourites document as browsers keep it: a JSON array of items whose members
// are all texts ("id", "type" "url" or "folder", "folder", "name", "url", "date"),
// folders holding their bookmarks in a "child" array, two levels at most.
//
// The service owns the ids: every stored item gets the next number of its user's
// counter, so ids never repeat, even after deletions. A value object; not shared.
class FavoritesDocument {
 public:
  FavoritesDocument() = default;

  // The stored text of a document; a text that does not parse as an array gives an
  // empty document (stored texts are always written by ToText).
  static FavoritesDocument FromText(std::string_view text);

  // A document from seed items, numbered 1, 2, ... in document order. Items without
  // "date" get `now`. Returns false and a reason for items that are not valid.
  static bool FromSeed(const Json::Value& items, int64_t now, FavoritesDocument& out, std::string& error);

  const Json::Value& items() const { return items_; }
  std::string ToText() const;

  // The largest numeric id in the document (0 when empty).
  int64_t LargestId() const;

  // Checks that `item` is a bookmark or a folder of the expected form (folders may
  // carry bookmarks in "child"). Returns false and a reason otherwise.
  static bool Validate(const Json::Value& item, bool insideFolder, std::string& error);

  // Stores a validated item under fresh ids taken from `nextId` (its bookmarks too)
  // and returns the stored copy. A bookmark whose "folder" names a folder goes into
  // that folder; one naming no folder goes to the top level with "folder" cleared.
  Json::Value Add(const Json::Value& item, int64_t& nextId, int64_t now);

  // Replaces the stored item with the same "id" (or, without an id, the one with
  // the same type, folder, name and url) by `item`, moved to the end of its array.
  // It keeps its id and its folder, and a folder keeps its bookmarks. Returns false
  // when no item matches or the type would change.
  bool Update(const Json::Value& item);

  // Removes the items with these ids (a folder takes its bookmarks with it) and
  // returns the ids of everything removed; unknown ids are ignored.
  std::vector<std::string> Remove(const std::vector<std::string>& ids);

 private:
  Json::Value items_ = Json::Value(Json::arrayValue);
};

}  // namespace tarvo::service
