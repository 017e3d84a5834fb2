// How changes the service has not confirmed yet are laid over the service's copy of
// the document, which another device changed meanwhile: the rules a synchronisation
// keeps so that the user's unsent edits are never lost or doubled.
#include <gtest/gtest.h>

#include "favorites/favorites_change.h"
#include "favorites/favorites_tree.h"
#include "favorites_fixture.h"

namespace tarvo::test {
namespace {

// "name<url" per bookmark, "name{...}" per folder, in document order.
std::string Outline(const FavoritesTree& tree) {
  std::string outline;
  for (const Json::Value& item : tree.Items()) {
    if (!outline.empty()) outline += " ";
    if (!FavoritesTree::IsFolder(item)) {
      outline += FavoritesTree::Name(item) + "<" + FavoritesTree::Url(item);
      continue;
    }
    outline += FavoritesTree::Name(item) + "{";
    for (const Json::Value& child : item["child"]) {
      outline += (outline.back() == '{' ? "" : " ") + FavoritesTree::Name(child) + "<" + FavoritesTree::Url(child);
    }
    outline += "}";
  }
  return outline;
}

Json::Value Renamed(Json::Value item, const std::string& name) {
  item["name"] = name;
  return item;
}

TEST(FavoritesMergeTest, PendingChangesLaidOverTheServicesCopy) {
  const Json::Value a = Bookmark("2", "a", "http://a/", "1");
  const Json::Value b = Bookmark("3", "b", "http://b/");
  const Json::Value readMe = Bookmark("900000000000000000", "read me", "http://x/");
  struct Case {
    const char* rule;
    std::vector<Json::Value> service;  // the service's copy, after the other device's changes
    std::vector<FavoritesChange> pending;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"an edit of an item deleted elsewhere brings it back, changed, in its folder",
       {Folder("1", "f"), b},
       {FavoritesChange::Update(a, Renamed(a, "mine"))},
       "f{mine<http://a/} b<http://b/"},
      {"a delete of an item edited elsewhere removes it",
       {Folder("1", "f", {Renamed(a, "theirs")}), b},
       {FavoritesChange::Delete({"2"})},
       "f{} b<http://b/"},
      {"two edits of one item: each side's changed member survives",
       {Folder("1", "f", {Bookmark("2", "a", "http://new/", "1")})},
       {FavoritesChange::Update(a, Renamed(a, "mine"))},
       "f{mine<http://new/}"},
      {"two edits of one member: this side's, sent later, wins",
       {Folder("1", "f", {Renamed(a, "theirs")})},
       {FavoritesChange::Update(a, Renamed(a, "mine"))},
       "f{mine<http://a/}"},
      {"a folder deleted while one of its bookmarks was edited: the bookmark stays, at the top",
       {b},
       {FavoritesChange::Update(a, Renamed(a, "mine"))},
       "b<http://b/ mine<http://a/"},
      {"an add of an address that arrived from another device meanwhile: once",
       {b, Bookmark("9", "from the phone", "http://x/")},
       {FavoritesChange::Add(readMe)},
       "b<http://b/ from the phone<http://x/"},
      {"an add of a new address, then its move into a folder",
       {Folder("1", "f"), b},
       {FavoritesChange::Add(readMe), FavoritesChange::Move(Bookmark("900000000000000000", "moved", "http://x/", "1"))},
       "f{moved<http://x/} b<http://b/"},
      {"a move into a folder deleted elsewhere lands at the top",
       {b},
       {FavoritesChange::Move(Bookmark("3", "b moved", "http://b/", "1"))},
       "b moved<http://b/"},
  };
  for (const Case& c : cases) {
    FavoritesTree tree(Document(c.service));
    for (const FavoritesChange& change : c.pending) {
      // Through the journal's form, as a synchronisation reads them back.
      const auto kept = FavoritesChange::FromRow(change.ToRow());
      ASSERT_TRUE(kept.has_value()) << c.rule;
      kept->ApplyTo(tree);
    }
    EXPECT_EQ(Outline(tree), c.expected) << c.rule;
  }
}

}  // namespace
}  // namespace tarvo::test
