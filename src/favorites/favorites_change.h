#pragma once

#include <json/value.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "favorites/favorites_tree.h"
#include "store/favorite_journal_records.h"

namespace tarvo {

// One change a logged-in user made to the favourites that the service still has to
// hear: an add (the item with its local id), a change of a bookmark's or folder's
// members (the members that changed, and the whole item as it was then, should the
// item have gone from the service meanwhile), a move (the item in its new folder
// under its new name) or a deletion.
//
// ApplyTo is how a change that has not reached the service yet is laid over the
// service's copy, so the document the user sees always holds it:
// - an add whose address the service already holds (from another device) adds
//   nothing: the bookmark is there once;
// - a change of an item deleted elsewhere brings the item back with the change (in its
//   folder, or at the top level when its folder went too);
// - a deletion removes the item even when it was changed elsewhere;
// - a change of an item changed elsewhere sets only the members this side changed,
//   so both sides' members survive where they differ, and this side's win where both
//   changed the same one (it reaches the service later).
// A value type; any thread.
class FavoritesChange {
 public:
  enum class Kind { kAdd, kUpdate, kMove, kDelete };

  static FavoritesChange Add(const Json::Value& item);
  // `after` is the item as stored after the change; `before` as it was.
  static FavoritesChange Update(const Json::Value& before, const Json::Value& after);
  static FavoritesChange Move(const Json::Value& moved);
  // `ids`: the item and, for a folder, its bookmarks (the service is told them all);
  // `url`: a bookmark's address, by which it is found should another device have
  // moved it (giving it a new id) meanwhile.
  static FavoritesChange Delete(std::vector<std::string> ids, std::string url = std::string());

  // The change kept in the journal, and back (nothing for a row it cannot read).
  FavoriteJournalRecords::Row ToRow() const;
  static std::optional<FavoritesChange> FromRow(const FavoriteJournalRecords::Row& row);

  Kind kind() const { return kind_; }
  // The journal row that holds it (0 until it is kept there).
  int64_t seq() const { return seq_; }
  void SetSeq(int64_t seq) { seq_ = seq; }
  const std::string& itemId() const { return itemId_; }
  // The item as this side last had it (for a change, with its changed members).
  Json::Value Item() const;
  // The members a change set ("name", "url").
  const Json::Value& fields() const { return fields_; }
  // A deletion's ids, the item's own first.
  const std::vector<std::string>& ids() const { return ids_; }
  const std::string& url() const { return url_; }

  // Lays the change over `tree` (see above).
  void ApplyTo(FavoritesTree& tree) const;
  // The item (or folder) `from` is now `to`: the change follows it. True when the
  // change named it.
  bool Rename(const std::string& from, const std::string& to);

 private:
  static FavoritesChange OfItem(Kind kind, const Json::Value& item);

  Kind kind_ = Kind::kAdd;
  int64_t seq_ = 0;
  std::string itemId_;
  Json::Value item_;    // add, update, move: the whole item
  Json::Value fields_;  // update: the members that changed
  std::vector<std::string> ids_;  // delete
  std::string url_;               // delete of bookmarks
};

}  // namespace tarvo
