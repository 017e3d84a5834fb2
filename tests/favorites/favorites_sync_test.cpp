// Fetching the defaults once per installation and a logged-in user's favourites, from
// a scripted service: what is kept, what is retried, and that no unusable reply costs
// the user anything.
#include "favorites/favorites_sync.h"

#include <gtest/gtest.h>

#include "favorites/favorites_store.h"
#include "favorites_fixture.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/info_records.h"
#include "store/test_database.h"

namespace tarvo::test {
namespace {

class FavoritesSyncTest : public ::testing::Test {
 protected:
  std::string Info(const std::string& key) { return StoredInfo(database_.db(), key); }
  std::string StoredNames(const std::string& key) {
    std::string names;
    if (const auto tree = FavoritesTree::Parse(Info(key))) {
      for (const Json::Value& item : tree->Items()) names += FavoritesTree::Name(item) + ";";
    }
    return names;
  }

  TestDatabase database_;
  FavoritesStore store_{database_.db()};
  FavoritesSync sync_{store_, database_.db()};
  const Json::Value defaults_ = Document({Bookmark("1", "portal", "http://portal.test/"), Folder("2", "sites")});
};

TEST_F(FavoritesSyncTest, AnUnreachableFirstStartIsRetriedAtTheNext) {
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");
  sync_.StartUp();
  EXPECT_EQ(Info("favor_data_first"), "");
  EXPECT_EQ(store_.Document().CountAll(), 0u);

  ScriptedService service;
  service.Answer("app/v1.0/default_fav", Envelope(200, defaults_));
  FavoritesSync(store_, database_.db()).StartUp();
  EXPECT_EQ(Info("favor_data_first"), "0");
  EXPECT_EQ(StoredNames("favor_data"), "portal;sites;");
  EXPECT_EQ(FormValue(service.Bodies("app/v1.0/default_fav").at(0), "brand"), "TestBrand");
  // Once fetched, later starts do not ask again.
  sync_.StartUp();
  EXPECT_EQ(service.Bodies("app/v1.0/default_fav").size(), 1u);
}

TEST_F(FavoritesSyncTest, AStoredDocumentIsKeptOverTheDefaults) {
  InfoRecords(database_.db()).SetInfo(u"favor_data", Utf8ToWide(FavoritesTree(Document({Bookmark("9", "mine", "http://m/")})).ToText()));
  ScriptedService service;
  service.Answer("app/v1.0/default_fav", Envelope(200, defaults_));
  sync_.StartUp();
  EXPECT_EQ(Info("favor_data_first"), "0");
  EXPECT_EQ(StoredNames("favor_data"), "mine;");
  EXPECT_EQ(store_.Document().CountAll(), 1u);
}

TEST_F(FavoritesSyncTest, UnusableRepliesChangeNothing) {
  InfoRecords(database_.db()).SetInfo(u"favor_data_5", Utf8ToWide(FavoritesTree(Document({Bookmark("9", "mine", "http://m/")})).ToText()));
  LoggedIn user("5", "t");
  ScriptedService service;
  Json::Value noId = Document({Bookmark("1", "a", "http://a/")});
  noId[0].removeMember("id");
  Json::Value favor(Json::objectValue);
  const std::string replies[] = {
      Envelope(200, Json::Value("not a list")),
      Envelope(200, noId),
      Envelope(200, Document({Bookmark("one", "a", "http://a/")})),
      Envelope(401, defaults_),
      "<html>gateway</html>",
      "{\"code\":200,\"data\":[",
  };
  for (const std::string& reply : replies) {
    service.Answer("app/v1.0/default_fav", reply);
    favor["favor"] = ParseJson(reply)["data"];
    service.Answer("app/v1.0/list_user_fav", ParseJson(reply).isNull() ? reply : Envelope(ParseJson(reply)["code"].asInt(), favor));
    EXPECT_EQ(sync_.LoadDefaultFavoritesOnce(), -1) << reply;
    EXPECT_EQ(sync_.SyncUserFavorites(), -1) << reply;
    EXPECT_EQ(Info("favor_data_first"), "") << reply;
    EXPECT_EQ(StoredNames("favor_data_5"), "mine;") << reply;
  }
}

TEST_F(FavoritesSyncTest, AUsersFavouritesAreSavedUnderTheUsersKeyOnly) {
  InfoRecords(database_.db()).SetInfo(u"favor_data", Utf8ToWide(FavoritesTree(Document({Bookmark("1", "anonymous", "http://a/")})).ToText()));
  EXPECT_EQ(sync_.SyncUserFavorites(), -1);  // nobody logged in
  LoggedIn user("12", "token 12");
  ScriptedService service;
  Json::Value favor(Json::objectValue);
  favor["favor"] = Document({Bookmark("3", "from the service", "http://s/"), Folder("4", "folder")});
  service.Answer("app/v1.0/list_user_fav", Envelope(200, favor));
  ASSERT_EQ(sync_.SyncUserFavorites(), 0);
  EXPECT_EQ(FormValue(service.Bodies("app/v1.0/list_user_fav").at(0), "token"), "token 12");
  EXPECT_EQ(StoredNames("favor_data_12"), "from the service;folder;");
  EXPECT_EQ(StoredNames("favor_data"), "anonymous;");
  EXPECT_EQ(store_.Document().CountAll(), 2u);
}

}  // namespace
}  // namespace tarvo::test
