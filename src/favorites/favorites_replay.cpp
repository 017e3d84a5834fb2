#include "favorites/favorites_replay.h"

#include <algorithm>

#include "favorites/favorites_remote.h"
#include "favorites/favorites_store.h"
#include "platform/debug_output.h"

namespace tarvo {

namespace {

// The id of the bookmark of `url` in `tree` other than `except`, or "".
std::string BookmarkOf(const FavoritesTree& tree, const std::string& url, const std::string& except) {
  const auto matches = [&](const Json::Value& item) {
    return !FavoritesTree::IsFolder(item) && FavoritesTree::Url(item) == url && FavoritesTree::Id(item) != except;
  };
  for (const Json::Value& item : tree.Items()) {
    if (matches(item)) return FavoritesTree::Id(item);
    if (item.isMember("child") && item["child"].isArray()) {
      for (const Json::Value& child : item["child"]) {
        if (matches(child)) return FavoritesTree::Id(child);
      }
    }
  }
  return "";
}

}  // namespace

FavoritesTree* FavoritesReplay::ServiceCopy() {
  if (serviceCopy_ == nullptr && FavoritesRemote::FetchUserFavorites(token_, fetched_) == 0) serviceCopy_ = &fetched_;
  return serviceCopy_;
}

FavoritesReplay::Outcome FavoritesReplay::StoreNew(const FavoritesChange& change,
                                                   std::vector<std::pair<std::string, std::string>>& renames,
                                                   std::optional<FavoritesChange>& remainder) {
  Json::Value item = change.Item();
  const std::string localId = FavoritesTree::Id(item);
  // A new address needs no look-up; an item brought back or moved might meet its own
  // copy made by another device, so the service's copy is consulted then.
  FavoritesTree* service = change.kind() == FavoritesChange::Kind::kAdd ? serviceCopy_ : ServiceCopy();
  if (service == nullptr && change.kind() != FavoritesChange::Kind::kAdd) return Outcome::kStop;
  if (service != nullptr && !FavoritesTree::IsFolder(item)) {
    const std::string except = change.kind() == FavoritesChange::Kind::kMove ? localId : std::string();
    if (const std::string known = BookmarkOf(*service, FavoritesTree::Url(item), except); !known.empty()) {
      renames.emplace_back(localId, known);  // one bookmark per address, whichever device made it
      if (change.kind() == FavoritesChange::Kind::kUpdate) {
        Json::Value before = item;
        for (const std::string& member : change.fields().getMemberNames()) before.removeMember(member);
        Json::Value after = item;
        after["id"] = known;
        before["id"] = known;
        remainder = FavoritesChange::Update(before, after);
      } else if (change.kind() == FavoritesChange::Kind::kMove) {
        Json::Value moved = item;
        moved["id"] = known;
        remainder = FavoritesChange::Move(moved);
      }
      return Outcome::kConfirmed;
    }
  }
  if (service != nullptr && !FavoritesTree::FolderOf(item).empty()) {
    const Json::Value* folder = service->Find(FavoritesTree::FolderOf(item));
    // Its folder was deleted elsewhere: the bookmark stays, at the top level.
    if (folder == nullptr || !FavoritesTree::IsFolder(*folder)) item["folder"] = "";
  }
  const Json::Value sent = item;
  const int added = FavoritesRemote::Add(token_, item);
  if (added == FavoritesRemote::kRefused) return Outcome::kDropped;
  if (added != 0) return Outcome::kStop;
  renames.emplace_back(localId, FavoritesTree::Id(item));
  // A folder's bookmarks come back in the order they were sent.
  if (sent.isMember("child") && item.isMember("child") && sent["child"].isArray() && item["child"].isArray()) {
    for (Json::ArrayIndex i = 0; i < sent["child"].size() && i < item["child"].size(); ++i) {
      renames.emplace_back(FavoritesTree::Id(sent["child"][i]), FavoritesTree::Id(item["child"][i]));
    }
  }
  if (service != nullptr) service->Append(item);
  if (change.kind() == FavoritesChange::Kind::kMove) remainder = FavoritesChange::Delete({localId});
  return Outcome::kConfirmed;
}

FavoritesReplay::Outcome FavoritesReplay::SendDeletions(const std::vector<FavoritesChange>& deletions) {
  std::vector<std::string> ids;
  for (const FavoritesChange& deletion : deletions) ids.insert(ids.end(), deletion.ids().begin(), deletion.ids().end());
  std::vector<std::string> gone;
  const int deleted = FavoritesRemote::Delete(token_, FavoritesTree::JoinIds(ids), &gone);
  if (deleted == FavoritesRemote::kRefused) return Outcome::kDropped;
  if (deleted != 0) return Outcome::kStop;
  if (serviceCopy_ != nullptr) {
    for (const std::string& id : ids) serviceCopy_->Remove(id);
  }
  // A bookmark the service did not have under its id was moved by another device
  // (which gave it a new id): found by its address, it is deleted there.
  std::vector<std::string> moved;
  for (const FavoritesChange& deletion : deletions) {
    if (deletion.url().empty() || std::find(gone.begin(), gone.end(), deletion.itemId()) != gone.end()) continue;
    FavoritesTree* service = ServiceCopy();
    if (service == nullptr) return Outcome::kStop;
    for (std::string id = BookmarkOf(*service, deletion.url(), ""); !id.empty(); id = BookmarkOf(*service, deletion.url(), "")) {
      moved.push_back(id);
      service->Remove(id);
    }
  }
  if (!moved.empty() && FavoritesRemote::Delete(token_, FavoritesTree::JoinIds(moved)) == FavoritesRemote::kUnreachable) {
    return Outcome::kStop;
  }
  return Outcome::kConfirmed;
}

FavoritesReplay::Outcome FavoritesReplay::Send(const FavoritesChange& change,
                                               std::vector<std::pair<std::string, std::string>>& renames,
                                               std::optional<FavoritesChange>& remainder) {
  const std::string& id = change.itemId();
  switch (change.kind()) {
    case FavoritesChange::Kind::kAdd:
      return StoreNew(change, renames, remainder);
    case FavoritesChange::Kind::kUpdate: {
      const Json::Value* current = serviceCopy_ != nullptr ? serviceCopy_->Find(id) : nullptr;
      if (serviceCopy_ != nullptr && current == nullptr) return StoreNew(change, renames, remainder);
      Json::Value item = current != nullptr ? *current : change.Item();
      for (const std::string& member : change.fields().getMemberNames()) item[member] = change.fields()[member];
      item.removeMember("child");
      const int updated = FavoritesRemote::Update(token_, item);
      // Deleted elsewhere: the change brings the item back.
      if (updated == FavoritesRemote::kNotFound) {
        if (serviceCopy_ != nullptr) serviceCopy_->Remove(id);
        return StoreNew(change, renames, remainder);
      }
      if (updated == FavoritesRemote::kRefused) return Outcome::kDropped;
      if (updated != 0) return Outcome::kStop;
      if (serviceCopy_ != nullptr) serviceCopy_->Replace(item);
      return Outcome::kConfirmed;
    }
    case FavoritesChange::Kind::kMove:
      // The service keeps an item in its folder, so a move is a new item there and
      // then the old one's deletion, kept until it is confirmed too.
      return StoreNew(change, renames, remainder);
    case FavoritesChange::Kind::kDelete:
      return SendDeletions({change});
  }
  return Outcome::kStop;
}

FavoritesReplay::Result FavoritesReplay::Run() {
  Result result;
  for (;;) {
    // A batch at a time: a service that is away is found at the first change, without
    // reading a long journal whole for every change made meanwhile.
    std::vector<FavoritesChange> pending;
    if (store_.PendingChanges(userId_, pending, kBatch) != 0) return result;
    if (pending.empty()) break;
    for (size_t i = 0; i < pending.size(); ++i) {
      std::vector<std::pair<std::string, std::string>> renames;
      std::optional<FavoritesChange> remainder;
      // Deletions in a row go in one request (as removing every bookmark of an
      // address always did), then leave the journal one by one.
      size_t run = i;
      while (run + 1 < pending.size() && pending[i].kind() == FavoritesChange::Kind::kDelete &&
             pending[run + 1].kind() == FavoritesChange::Kind::kDelete) {
        ++run;
      }
      const Outcome outcome =
          run > i ? SendDeletions({pending.begin() + i, pending.begin() + run + 1}) : Send(pending[i], renames, remainder);
      if (outcome == Outcome::kStop) return result;
      for (; i < run; ++i) {
        if (store_.ConfirmChange(userId_, pending[i], {}, std::nullopt) != 0) return result;
        ++(outcome == Outcome::kConfirmed ? result.sent : result.refused);
      }
      if (outcome == Outcome::kDropped) {
        DebugOutput("favourites: the service refused a change of item " + pending[i].itemId() + "; it is dropped");
      }
      if (store_.ConfirmChange(userId_, pending[i], renames, remainder) != 0) return result;
      ++(outcome == Outcome::kConfirmed ? result.sent : result.refused);
      for (const auto& [from, to] : renames) {
        result.renamed[from] = to;
        for (size_t later = i + 1; later < pending.size(); ++later) pending[later].Rename(from, to);
      }
      if (remainder) {
        remainder->SetSeq(pending[i].seq());
        pending[i] = *remainder;
        --i;  // the rest of this change goes next
      }
    }
  }
  result.complete = true;
  return result;
}

}  // namespace tarvo
