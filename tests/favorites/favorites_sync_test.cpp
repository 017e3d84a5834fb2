// Fetching the defaults once per installation and a logged-in user's favourites, from
// a scripted service: what is kept, what is retried, and that no unusable reply costs
// the user anything.
#include "favorites/favorites_sync.h"

#include <gtest/gtest.h>

#include <fstream>

#include "favorites/bookmark_transfer.h"
#include "favorites/favorites_store.h"
#include "favorites/netscape_bookmark_file.h"
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
  FavoritesStore store_{database_.db(), TestAccount()};
  FavoritesSync sync_{store_, TestAccount(), database_.db()};
  const Json::Value defaults_ = Document({Bookmark("1", "portal", "http://portal.test/"), Folder("2", "sites")});
};

TEST_F(FavoritesSyncTest, AnUnreachableFirstStartIsRetriedAtTheNextAndAStoredDocumentIsKept) {
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");
  sync_.StartUp();
  EXPECT_EQ(Info("favor_data_first"), "");
  EXPECT_EQ(store_.Document().CountAll(), 0u);

  ScriptedService service;
  service.Answer("app/v1.0/default_fav", Envelope(200, defaults_));
  FavoritesSync(store_, TestAccount(), database_.db()).StartUp();
  EXPECT_EQ(Info("favor_data_first"), "0");
  EXPECT_EQ(StoredNames("favor_data"), "portal;sites;");
  EXPECT_EQ(FormValue(service.Bodies("app/v1.0/default_fav").at(0), "brand"), "TestBrand");
  // Once fetched, later starts do not ask again.
  sync_.StartUp();
  EXPECT_EQ(service.Bodies("app/v1.0/default_fav").size(), 1u);

  // A stored document is kept over the defaults.
  database_.db().Execute("delete from info where key='favor_data_first'");
  InfoRecords(database_.db()).SetInfo(u"favor_data", Utf8ToWide(FavoritesTree(Document({Bookmark("9", "mine", "http://m/")})).ToText()));
  FavoritesStore restarted(database_.db(), TestAccount());
  FavoritesSync(restarted, TestAccount(), database_.db()).StartUp();
  EXPECT_EQ(Info("favor_data_first"), "0");
  EXPECT_EQ(StoredNames("favor_data"), "mine;");
  EXPECT_EQ(restarted.Document().CountAll(), 1u);
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

TEST_F(FavoritesSyncTest, AUsersFavoritesAreSavedUnderTheUsersKeyOnly) {
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

// A synchronisation while the service takes the list but not yet the user's pending
// rename (busy): the rename stays pending and stays in the document, laid over the
// service's copy, whose own change of the address is kept too.
TEST_F(FavoritesSyncTest, ASynchronisationKeepsWhatTheServiceHasNotTakenYet) {
  LoggedIn user("13", "token 13");
  InfoRecords(database_.db()).SetInfo(u"favor_data_13", Utf8ToWide(FavoritesTree(Document({Bookmark("3", "old", "http://old/")})).ToText()));
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");  // away while renaming
  Json::Value renamed = store_.FindById("3");
  renamed["name"] = "mine";
  ASSERT_EQ(store_.UpdateItem(renamed), 0);
  ScriptedService service;
  Json::Value favor(Json::objectValue);
  favor["favor"] = Document({Bookmark("3", "old", "http://moved.example/"), Bookmark("8", "theirs", "http://t/")});
  service.Answer("app/v1.0/list_user_fav", Envelope(200, favor));
  service.Answer("app/v1.0/update_fav_item", Envelope(503, Json::Value()));
  ASSERT_EQ(sync_.SyncUserFavorites(), 0);
  EXPECT_EQ(store_.PendingCount(), 1);
  EXPECT_EQ(StoredNames("favor_data_13"), "theirs;mine;");
  EXPECT_EQ(FavoritesTree::Url(store_.FindById("3")), "http://moved.example/");
  EXPECT_EQ(ParseJson(FormValue(service.Bodies("app/v1.0/update_fav_item").at(0), "data"))["url"].asString(),
            "http://moved.example/");
}

// Bookmarks from elsewhere: a file nesting folders without end is read into bounded
// folder names, and no bookmark from a file or the service carries an address that
// would run script in the open site or show local files (an import counts them).
TEST_F(FavoritesSyncTest, FilesAndDocumentsFromElsewhereAreBoundedAndRunNoScript) {
  constexpr int kLevels = 4000;
  const std::vector<std::string> refused = {"javascript:alert(document.cookie)", " JaVa\tScRipt:alert(1)",
                                            "data:text/html,<script>alert(1)</script>", "FILE:///etc/passwd",
                                            "\x01" "file:///home/user/"};
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (const std::string& url : refused) file += "<DT><A HREF=\"" + url + "\">Bank login</A>\n";
  file += "<DT><A HREF=\"https://bank.test/\">Bank</A>\n";
  for (int i = 0; i < kLevels; ++i) file += "<DT><H3>level</H3><DL><p>";
  file += "<DT><A HREF=\"http://bottom.test/\">bottom</A>";
  for (int i = 0; i < kLevels; ++i) file += "</DL><p>";
  file += "</DL><p>\n";
  const std::string path = (database_.folder().path() / "hostile.html").string();
  std::ofstream(path, std::ios::binary) << file;

  const BookmarkTransfer::Result imported = BookmarkTransfer::Import(path, store_);
  EXPECT_EQ(imported.status, BookmarkTransfer::Status::kDone);
  EXPECT_EQ(imported.dropped, static_cast<int>(refused.size()));
  EXPECT_EQ(imported.bookmarks, 2);
  const FavoritesTree document = store_.Document();
  EXPECT_EQ(document.BookmarkUrls(), (std::vector<std::string>{"https://bank.test/", "http://bottom.test/"}));
  ASSERT_EQ(document.Items().size(), 2u);
  const std::string deepest = FavoritesTree::Name(document.Items()[1]);
  EXPECT_LE(deepest.size(), NetscapeBookmarkFile::kMaxPathBytes);
  EXPECT_TRUE(deepest.starts_with("level / level / ")) << deepest.substr(0, 80);

  // The service's documents: the defaults and a user's own favourites.
  Json::Value items = Document({Bookmark("1", "Bank login", refused[0]), Bookmark("2", "portal", "http://portal.test/"),
                                Folder("3", "sites", {Bookmark("4", "Local", refused[3], "3"),
                                                      Bookmark("5", "site", "http://site.test/", "3")})});
  ScriptedService service;
  service.Answer("app/v1.0/default_fav", Envelope(200, items));
  Json::Value favor(Json::objectValue);
  favor["favor"] = items;
  service.Answer("app/v1.0/list_user_fav", Envelope(200, favor));
  InfoRecords(database_.db()).DeleteInfo(u"favor_data");
  ASSERT_EQ(sync_.LoadDefaultFavoritesOnce(), 0);
  EXPECT_EQ(store_.Document().BookmarkUrls(), (std::vector<std::string>{"http://portal.test/", "http://site.test/"}));
  LoggedIn user("7", "t");
  ASSERT_EQ(sync_.SyncUserFavorites(), 0);
  EXPECT_EQ(store_.Document().BookmarkUrls(), (std::vector<std::string>{"http://portal.test/", "http://site.test/"}));
}

}  // namespace
}  // namespace tarvo::test
