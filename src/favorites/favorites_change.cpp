#include "favorites/favorites_change.h"

#include <json/json.h>

#include <memory>

namespace tarvo {

namespace {

constexpr const char* kKindNames[] = {"add", "update", "move", "delete"};
constexpr const char* kChangeableMembers[] = {"name", "url"};

std::string CompactText(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, value);
}

std::optional<Json::Value> ParseObject(const std::string& text) {
  Json::Value value;
  std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) || !value.isObject()) {
    return std::nullopt;
  }
  return value;
}

// Puts `item` back where it belongs: into its folder when that still exists, else at
// the top level (Append clears the folder).
void PutBack(FavoritesTree& tree, Json::Value item) {
  if (FavoritesTree::IsFolder(item)) item.removeMember("child");
  tree.Append(std::move(item));
}

}  // namespace

FavoritesChange FavoritesChange::OfItem(Kind kind, const Json::Value& item) {
  FavoritesChange change;
  change.kind_ = kind;
  change.itemId_ = FavoritesTree::Id(item);
  change.item_ = item;
  return change;
}

FavoritesChange FavoritesChange::Add(const Json::Value& item) { return OfItem(Kind::kAdd, item); }

FavoritesChange FavoritesChange::Update(const Json::Value& before, const Json::Value& after) {
  FavoritesChange change = OfItem(Kind::kUpdate, after);
  change.item_.removeMember("child");
  change.fields_ = Json::Value(Json::objectValue);
  for (const char* member : kChangeableMembers) {
    if (after.isMember(member) && FavoritesTree::Member(before, member) != FavoritesTree::Member(after, member)) {
      change.fields_[member] = after[member];
    }
  }
  return change;
}

FavoritesChange FavoritesChange::Move(const Json::Value& moved) { return OfItem(Kind::kMove, moved); }

FavoritesChange FavoritesChange::Delete(std::vector<std::string> ids, std::string url) {
  FavoritesChange change;
  change.url_ = std::move(url);
  change.kind_ = Kind::kDelete;
  change.itemId_ = ids.empty() ? std::string() : ids.front();
  change.ids_ = std::move(ids);
  return change;
}

FavoriteJournalRecords::Row FavoritesChange::ToRow() const {
  Json::Value data(Json::objectValue);
  if (!item_.isNull()) data["item"] = item_;
  if (!fields_.isNull()) data["fields"] = fields_;
  if (kind_ == Kind::kDelete) {
    data["ids"] = Json::Value(Json::arrayValue);
    for (const std::string& id : ids_) data["ids"].append(id);
    if (!url_.empty()) data["url"] = url_;
  }
  return {seq_, kKindNames[static_cast<int>(kind_)], itemId_, FavoritesTree::FolderOf(item_), CompactText(data)};
}

std::optional<FavoritesChange> FavoritesChange::FromRow(const FavoriteJournalRecords::Row& row) {
  FavoritesChange change;
  bool known = false;
  for (int kind = 0; kind < 4; ++kind) {
    if (row.kind == kKindNames[kind]) {
      change.kind_ = static_cast<Kind>(kind);
      known = true;
    }
  }
  const std::optional<Json::Value> data = ParseObject(row.data);
  if (!known || !data || row.itemId.empty()) return std::nullopt;
  change.seq_ = row.seq;
  change.itemId_ = row.itemId;
  if (data->isMember("item")) change.item_ = (*data)["item"];
  if (data->isMember("fields")) change.fields_ = (*data)["fields"];
  if (data->isMember("ids") && (*data)["ids"].isArray()) {
    for (const Json::Value& id : (*data)["ids"]) {
      if (id.isString()) change.ids_.push_back(id.asString());
    }
  }
  if (change.kind_ == Kind::kDelete && change.ids_.empty()) change.ids_.push_back(change.itemId_);
  if (data->isMember("url") && (*data)["url"].isString()) change.url_ = (*data)["url"].asString();
  if (change.kind_ != Kind::kDelete && !change.item_.isObject()) return std::nullopt;
  return change;
}

Json::Value FavoritesChange::Item() const {
  Json::Value item = item_;
  for (const char* member : kChangeableMembers) {
    if (fields_.isObject() && fields_.isMember(member)) item[member] = fields_[member];
  }
  return item;
}

void FavoritesChange::ApplyTo(FavoritesTree& tree) const {
  switch (kind_) {
    case Kind::kAdd:
      if (tree.Find(itemId_) != nullptr) return;
      if (!FavoritesTree::IsFolder(item_) && tree.ContainsUrl(FavoritesTree::Url(item_))) return;
      tree.Append(item_);
      return;
    case Kind::kUpdate: {
      const Json::Value* current = tree.Find(itemId_);
      if (current == nullptr) {
        PutBack(tree, Item());
        return;
      }
      Json::Value changed = *current;
      for (const char* member : kChangeableMembers) {
        if (fields_.isObject() && fields_.isMember(member)) changed[member] = fields_[member];
      }
      tree.Replace(changed);
      return;
    }
    case Kind::kMove:
      tree.Remove(itemId_);
      PutBack(tree, item_);
      return;
    case Kind::kDelete:
      for (const std::string& id : ids_) tree.Remove(id);
      if (!url_.empty() && tree.ContainsUrl(url_)) tree.RemoveUrl(url_);
      return;
  }
}

bool FavoritesChange::Rename(const std::string& from, const std::string& to) {
  bool named = false;
  if (itemId_ == from) {
    itemId_ = to;
    named = true;
  }
  for (std::string& id : ids_) {
    if (id == from) id = to, named = true;
  }
  if (item_.isObject()) {
    if (FavoritesTree::Id(item_) == from) {
      item_["id"] = to;
      named = true;
    }
    if (FavoritesTree::FolderOf(item_) == from) {
      item_["folder"] = to;
      named = true;
    }
    if (item_.isMember("child") && item_["child"].isArray()) {
      for (Json::Value& child : item_["child"]) {
        if (FavoritesTree::Id(child) == from) child["id"] = to, named = true;
        if (FavoritesTree::FolderOf(child) == from) child["folder"] = to, named = true;
      }
    }
  }
  return named;
}

}  // namespace tarvo
