// The service loop replaces a user's document while the interface reads and edits
// it: every reader sees one whole document (never part of one and part of another),
// and no edit is lost to a half-finished replacement. Runs under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "favorites/favorites_store.h"
#include "favorites_fixture.h"
#include "store/test_database.h"

namespace tarvo::test {
namespace {

FavoritesTree Generation(const std::string& name, int count) {
  Json::Value items(Json::arrayValue);
  for (int i = 1; i <= count; ++i) {
    items.append(i % 5 == 0 ? Folder(std::to_string(i), name, {Bookmark(std::to_string(1000 + i), name, "http://f/", std::to_string(i))})
                            : Bookmark(std::to_string(i), name, "http://" + name + "/" + std::to_string(i)));
  }
  return FavoritesTree(items);
}

TEST(FavoritesConcurrencyTest, ReadersNeverSeeAHalfReplacedDocument) {
  TestDatabase database;
  FavoritesStore store(database.db(), TestAccount());
  LoggedIn user("3", "t");
  ScriptedService service;  // takes the interface's edits of the logged-in user
  service.Answer("app/v1.0/add_fav_item", Envelope(200, Document({Bookmark("9999", "edit", "http://edit/")})));
  service.Answer("app/v1.0/del_user_fav", Envelope(200, ParseJson(R"({"deleted": ["9999"]})")));
  std::atomic<int> notified = 0;
  const int subscription = store.Subscribe([&] { ++notified; });
  std::atomic<bool> stop = false;

  std::thread serviceLoop([&] {
    for (int round = 0; round < 60; ++round) {
      store.ReplaceUserDocument(u"3", round % 2 == 0 ? Generation("even", 40) : Generation("odd", 25));
    }
    stop = true;
  });
  int mixed = 0;
  int reads = 0;
  int edited = 0;
  while (!stop) {
    // The interface thread: read whole documents and edit them.
    const FavoritesTree seen = store.Document();
    std::string generation;
    for (const Json::Value& item : seen.Items()) {
      const std::string name = FavoritesTree::Name(item);
      if (name == "edit") continue;
      if (generation.empty()) generation = name;
      if (name != generation) ++mixed;
    }
    ++reads;
    Json::Value edit = FavoritesTree::NewBookmark(5000 + reads, "", "edit", "http://edit/", 1);
    edited += store.AddItem(edit) == 0 ? 1 : 0;
    store.ContainsUrl(u"http://even/3");
    store.DeleteItem("9999");
  }
  serviceLoop.join();
  store.Unsubscribe(subscription);
  EXPECT_EQ(mixed, 0);
  EXPECT_GT(reads, 0);
  EXPECT_GT(edited, 0);
  EXPECT_GE(notified.load(), 60 + edited);
  // Every edit reached the service, so the last replacement is what is stored.
  EXPECT_EQ(store.PendingCount(), 0);
  EXPECT_EQ(FavoritesTree::Parse(database.Scalar("select value from info where key='favor_data_3'"))->CountAll(),
            Generation("odd", 25).CountAll());
}

}  // namespace
}  // namespace tarvo::test
