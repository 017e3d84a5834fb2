// The favourites document's rules, and the store over a real database: one document per
// account, what a user's changes send to the service, what survives damage.
#include <gtest/gtest.h>

#include "favorites/favorites_store.h"
#include "favorites/favorites_tree.h"
#include "favorites_fixture.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/info_records.h"
#include "store/test_database.h"

namespace tarvo::test {
namespace {

class FavoritesStoreTest : public ::testing::Test {
 protected:
  std::string Stored(const std::string& key) { return StoredInfo(database_.db(), key); }
  void Store(const std::string& key, const std::string& text) {
    InfoRecords(database_.db()).SetInfo(Utf8ToWide(key), Utf8ToWide(text));
  }
  std::string Names() {
    std::string names;
    for (const Json::Value& item : store_.Document().Items()) names += FavoritesTree::Name(item) + ";";
    return names;
  }

  TestDatabase database_;
  FavoritesStore store_{database_.db(), TestAccount()};
};

TEST_F(FavoritesStoreTest, EachAccountHasItsOwnDocument) {
  Store("favor_data", FavoritesTree(Document({Bookmark("1", "anonymous", "http://a/")})).ToText());
  EXPECT_EQ(Names(), "anonymous;");
  {
    LoggedIn user("42", "token-42");
    // The user's document is read for the user, not the anonymous one written over.
    EXPECT_EQ(Names(), "");
    ScriptedService service;
    service.Answer("app/v1.0/add_fav_item", Envelope(200, Document({Bookmark("77", "mine", "http://m/")})));
    Json::Value item = store_.NewBookmark(u"", u"mine", u"http://m/");
    ASSERT_EQ(store_.AddItem(item), 0);
    EXPECT_EQ(FavoritesTree::Id(item), "77");  // the service's copy is what is stored
    EXPECT_NE(Stored("favor_data_42").find("\"77\""), std::string::npos);
  }
  // Logged out: the anonymous document again, untouched by the user's.
  EXPECT_EQ(Names(), "anonymous;");
  Json::Value local = store_.NewBookmark(u"", u"local", u"http://l/");
  ASSERT_EQ(store_.AddItem(local), 0);
  EXPECT_EQ(FavoritesTree::Id(local), "2");
  EXPECT_EQ(Stored("favor_data").find("mine"), std::string::npos);
  EXPECT_EQ(Stored("favor_data_42").find("local"), std::string::npos);
}

// Made while the service is away, a logged-in user's add and rename are shown and kept
// at once (the add under a local id), wait in the journal across a new store (a
// restart), and reach the service in order once it answers: the rename carries the
// id the service gave the add. A change the service refuses for good does not hold
// back the others.
TEST_F(FavoritesStoreTest, ALoggedInUsersChangesWaitForTheServiceAndReachItInOrder) {
  LoggedIn user("7", "token-7");
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");  // nobody listens
  Json::Value item = store_.NewBookmark(u"", u"away", u"http://a/");
  ASSERT_EQ(store_.AddItem(item), 0);
  EXPECT_GE(FavoritesTree::NumericId(FavoritesTree::Id(item)), FavoritesStore::kFirstLocalId);
  item["name"] = "renamed away";
  ASSERT_EQ(store_.UpdateItem(item), 0);
  EXPECT_EQ(Names(), "renamed away;");
  EXPECT_NE(Stored("favor_data_7").find("renamed away"), std::string::npos);

  FavoritesStore restarted{database_.db(), TestAccount()};
  EXPECT_EQ(restarted.PendingCount(), 2);
  ScriptedService service;
  service.Answer("app/v1.0/add_fav_item", Envelope(200, Document({Bookmark("77", "away", "http://a/")})));
  service.Answer("app/v1.0/update_fav_item", Envelope(200, Json::Value()));
  {
    // Another user logged in here never sends the first one's changes.
    LoggedIn other("8", "token-8");
    EXPECT_EQ(restarted.PendingCount(), 0);
    EXPECT_TRUE(restarted.SendPending().complete);
    EXPECT_TRUE(service.Bodies("app/v1.0/add_fav_item").empty());
  }
  LoggedIn again("7", "token-7");
  const FavoritesReplay::Result sent = restarted.SendPending();
  EXPECT_TRUE(sent.complete);
  EXPECT_EQ(sent.sent, 2);
  EXPECT_EQ(restarted.PendingCount(), 0);
  const auto updates = service.Bodies("app/v1.0/update_fav_item");
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(ParseJson(FormValue(updates[0], "data"))["id"].asString(), "77");
  EXPECT_EQ(ParseJson(FormValue(updates[0], "data"))["name"].asString(), "renamed away");
  EXPECT_EQ(FavoritesTree::Name(restarted.FindById("77")), "renamed away");

  service.Answer("app/v1.0/add_fav_item", Envelope(400, Json::Value()));
  service.Answer("app/v1.0/del_user_fav", Envelope(200, ParseJson(R"({"deleted": ["77"]})")));
  Json::Value refused = restarted.NewBookmark(u"", u"refused", u"http://r/");
  ASSERT_EQ(restarted.AddItem(refused), 0);
  ASSERT_EQ(restarted.DeleteItem("77"), 0);
  EXPECT_EQ(restarted.PendingCount(), 0);
  ASSERT_EQ(service.Bodies("app/v1.0/del_user_fav").size(), 1u);
  EXPECT_EQ(FormValue(service.Bodies("app/v1.0/del_user_fav")[0], "data"), "[77]");
}

// A profile written before the journal existed opens with an empty one and keeps its
// document; the first change made while the service is away is kept there.
TEST_F(FavoritesStoreTest, AnOlderProfileOpensWithAnEmptyJournal) {
  Store("favor_data_5", FavoritesTree(Document({Bookmark("1", "older", "http://o/")})).ToText());
  ASSERT_EQ(database_.db().Execute("DROP TABLE favorite_journal;"), 0);
  UserDatabase reopened;
  ASSERT_EQ(reopened.OpenFile(database_.path().string()), 0);
  ASSERT_EQ(reopened.Upgrade(), 0);
  LoggedIn user("5", "token-5");
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");  // nobody listens
  FavoritesStore store{reopened, TestAccount()};
  EXPECT_EQ(store.PendingCount(), 0);
  ASSERT_EQ(store.DeleteItem("1"), 0);
  EXPECT_EQ(store.PendingCount(), 1);
  EXPECT_EQ(database_.Scalar("select kind || ' ' || item_id from favorite_journal where user_id='5'"), "delete 1");
}

TEST_F(FavoritesStoreTest, ALoggedInUsersChangesAreMirrored) {
  Store("favor_data_9", FavoritesTree(Document({Folder("1", "f", {Bookmark("2", "a", "http://a/", "1"),
                                                                  Bookmark("3", "b", "http://b/", "1")}),
                                                Bookmark("4", "c", "http://c/"), Bookmark("5", "d", "http://c/")}))
                            .ToText());
  LoggedIn user("9", "tok&en");
  ScriptedService service;
  service.Answer("app/v1.0/update_fav_item", Envelope(200, Json::Value()));
  service.Answer("app/v1.0/del_user_fav", Envelope(200, ParseJson(R"({"deleted": ["1", "2", "3", "4", "5"]})")));

  Json::Value renamed = store_.FindById("4");
  renamed["name"] = "R&D = 100% + more";
  ASSERT_EQ(store_.UpdateItem(renamed), 0);
  ASSERT_EQ(store_.DeleteFolder("1"), 0);
  ASSERT_EQ(store_.RemoveUrl(u"http://c/"), 0);
  EXPECT_EQ(store_.RemoveUrl(u"http://c/"), -1);
  EXPECT_EQ(Names(), "");

  const auto updates = service.Bodies("app/v1.0/update_fav_item");
  ASSERT_EQ(updates.size(), 1u);
  EXPECT_EQ(FormValue(updates[0], "token"), "tok&en");
  EXPECT_EQ(FormValue(updates[0], "brand"), "TestBrand");
  EXPECT_EQ(ParseJson(FormValue(updates[0], "data"))["name"].asString(), "R&D = 100% + more");
  const auto deletions = service.Bodies("app/v1.0/del_user_fav");
  ASSERT_EQ(deletions.size(), 2u);
  EXPECT_EQ(FormValue(deletions[0], "data"), "[1,2,3]");  // one list of three ids for the folder
  EXPECT_EQ(FormValue(deletions[1], "data"), "[4,5]");  // "4" moved to the end when renamed
  EXPECT_EQ(store_.PendingCount(), 0);
}

TEST_F(FavoritesStoreTest, ADamagedStoredDocumentIsKeptAside) {
  Store("favor_data", "[{\"id\":\"1\",\"name\":\"cut off");
  EXPECT_EQ(store_.Load(), -1);
  EXPECT_EQ(Names(), "");
  Json::Value item = store_.NewBookmark(u"", u"new", u"http://n/");
  ASSERT_EQ(store_.AddItem(item), 0);
  EXPECT_EQ(database_.Scalar("select value from info where key like 'favor_data.damaged-%'"),
            "[{\"id\":\"1\",\"name\":\"cut off");
  EXPECT_EQ(Names(), "new;");
}

TEST_F(FavoritesStoreTest, AnEditBeforeTheFirstLoadKeepsTheStoredDocument) {
  Store("favor_data", FavoritesTree(Document({Bookmark("5", "kept", "http://k/")})).ToText());
  Json::Value item = FavoritesTree::NewBookmark(1, "", "early", "http://e/", 1);
  EXPECT_EQ(store_.AddItem(item), 0);
  EXPECT_EQ(Names(), "kept;early;");
  Json::Value duplicate = FavoritesTree::NewBookmark(5, "", "same id", "http://s/", 1);
  EXPECT_EQ(store_.AddItem(duplicate), -1);
}

TEST_F(FavoritesStoreTest, AnEditThatCouldNotBeSavedSurvivesAReloadAndIsSavedLater) {
  Store("favor_data", FavoritesTree(Document({Bookmark("1", "stored", "http://s/")})).ToText());
  ASSERT_EQ(store_.Load(), 0);
  // The data file refuses every write, as a full disk does.
  ASSERT_EQ(database_.db().Execute("create trigger refuse before update on info begin select raise(abort, 'full'); end"), 0);
  Json::Value item = store_.NewBookmark(u"", u"unsaved", u"http://u/");
  store_.AddItem(item);
  EXPECT_EQ(store_.Load(), 0);
  EXPECT_EQ(Names(), "stored;unsaved;");
  ASSERT_EQ(database_.db().Execute("drop trigger refuse"), 0);
  EXPECT_EQ(store_.SaveIfUnsaved(), 0);
  EXPECT_NE(Stored("favor_data").find("unsaved"), std::string::npos);
}

// Moving a page into a folder is run end to end.
TEST_F(FavoritesStoreTest, MovingABookmarkKeepsTheTwoLevels) {
  Store("favor_data", FavoritesTree(Document({Folder("1", "f"), Bookmark("2", "b", "http://b/")})).ToText());
  EXPECT_EQ(store_.MoveBookmark("2", "1", u"moved"), 0);
  EXPECT_EQ(store_.MoveBookmark("2", "", u"back"), 0);
  EXPECT_EQ(Names(), "f;back;");
  EXPECT_EQ(store_.MoveBookmark("1", "", u"folder"), -1);  // folders do not move
  EXPECT_EQ(store_.MoveBookmark("2", "99", u"x"), -1);     // no such folder
}

TEST(FavoritesTreeTest, NextIdCountsTopLevelAndFolderBookmarksOnly) {
  EXPECT_EQ(FavoritesTree().NextId(), 1);
  EXPECT_EQ(FavoritesTree(Document({Bookmark("3", "a", "http://a/"), Folder("2", "f", {Bookmark("7", "b", "http://b/", "2")})}))
                .NextId(),
            8);
  // Ids of 0 or less, or without digits, never raise it; leading digits count like atoi.
  EXPECT_EQ(FavoritesTree(Document({Bookmark("0", "a", "u"), Bookmark("-4", "b", "u"), Bookmark("x9", "c", "u")})).NextId(), 1);
  EXPECT_EQ(FavoritesTree(Document({Bookmark("12abc", "a", "u")})).NextId(), 13);
}

TEST(FavoritesTreeTest, AddChangeAndRemoveKeepTheTwoLevels) {
  FavoritesTree tree(Document({Folder("1", "Work"), Bookmark("2", "Top", "http://top/")}));
  tree.Append(Bookmark("3", "In work", "http://w/", "1"));
  tree.Append(Bookmark("4", "Lost", "http://lost/", "99"));  // no such folder: top level
  tree.Append(Bookmark("5", "Second", "http://w2/", "1"));
  EXPECT_EQ(tree.Items()[0]["child"].size(), 2u);
  EXPECT_EQ(FavoritesTree::FolderOf(*tree.Find("4")), "");
  EXPECT_TRUE(FavoritesTree::IsBookmarkInFolder(*tree.Find("3")));
  EXPECT_TRUE(tree.ContainsUrl("http://w2/"));
  EXPECT_FALSE(tree.ContainsUrl("http://w2"));

  // A change moves the item to the end of its own array and never out of its folder.
  Json::Value renamed = Bookmark("3", "Renamed", "http://w/", "");
  ASSERT_TRUE(tree.Replace(renamed));
  EXPECT_EQ(FavoritesTree::Name(tree.Items()[0]["child"][1]), "Renamed");
  EXPECT_EQ(FavoritesTree::FolderOf(tree.Items()[0]["child"][1]), "1");
  // Without an id the item is matched by type, folder, name and url, and keeps its id.
  Json::Value byContent = Bookmark("", "Top", "http://top/");
  byContent.removeMember("id");
  byContent["date"] = "1";
  const auto stored = tree.Replace(byContent);
  ASSERT_TRUE(stored);
  EXPECT_EQ(FavoritesTree::Id(*stored), "2");
  // A renamed folder keeps its bookmarks.
  ASSERT_TRUE(tree.Replace(Folder("1", "Jobs")));
  EXPECT_EQ(tree.Find("1")->operator[]("child").size(), 2u);
  EXPECT_FALSE(tree.Replace(Bookmark("42", "x", "y")));

  // A folder with two bookmarks goes with them: three ids, the folder's first.
  EXPECT_EQ(FavoritesTree::JoinIds(tree.Remove("1")), "1,5,3");
  EXPECT_EQ(tree.Remove("1").size(), 0u);
  tree.Append(Bookmark("6", "Dup", "http://top/"));
  EXPECT_EQ(tree.RemoveUrl("http://top/"), (std::vector<std::string>{"6", "2"}));
}

TEST(FavoritesTreeTest, StoredTextParsesWithCommentsAndKeepsEveryCharacter) {
  const std::string name(10000, 'n');
  FavoritesTree tree(Document({Bookmark("1", name + " \U0001F600 مرحبا \"q\" \\", "http://x/?a=1&b=2")}));
  const auto back = FavoritesTree::Parse(tree.ToText());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Items(), tree.Items());
  EXPECT_TRUE(tree.ToText().ends_with("]\n"));
  EXPECT_TRUE(FavoritesTree::Parse("// mine\n[]\n/* the end */"));
  for (const char* damaged : {"[{\"id\":\"1\"", "{\"id\":\"1\"}", "not json", "[] trailing", ""}) {
    EXPECT_FALSE(FavoritesTree::Parse(damaged)) << damaged;
  }
}

TEST(FavoritesTreeTest, DocumentsFromElsewhereAreCheckedWhole) {
  Json::Value numericIds = Document({Bookmark("1", "a", "http://a/")});
  numericIds[0]["id"] = 5;
  numericIds[0]["date"] = 1700000000;
  std::string problem;
  const auto accepted = FavoritesTree::Checked(numericIds, problem);
  ASSERT_TRUE(accepted) << problem;
  EXPECT_EQ(FavoritesTree::Id(accepted->Items()[0]), "5");
  EXPECT_EQ(FavoritesTree::Member(accepted->Items()[0], "date"), "1700000000");

  Json::Value noId = Document({Bookmark("1", "a", "u")});
  noId[0].removeMember("id");
  Json::Value folderInFolder = Document({Folder("1", "f", {Folder("2", "g")})});
  Json::Value bookmarkWithChild = Document({Bookmark("1", "a", "u")});
  bookmarkWithChild[0]["child"] = Json::Value(Json::arrayValue);
  Json::Value objectName = Document({Bookmark("1", "a", "u")});
  objectName[0]["name"] = Json::Value(Json::objectValue);
  Json::Value unknownType = Document({Bookmark("1", "a", "u")});
  unknownType[0]["type"] = "link";
  Json::Value nullItem = Document({Bookmark("1", "a", "u")});
  nullItem.append(Json::Value());
  const Json::Value refused[] = {
      Json::Value("a text"),
      Json::Value(Json::objectValue),
      Document({Json::Value(3)}),
      noId,
      Document({Bookmark("abc", "a", "u")}),
      Document({Bookmark("1.5", "a", "u")}),
      Document({Bookmark("1", "a", "u"), Bookmark("1", "b", "v")}),
      folderInFolder,
      bookmarkWithChild,
      objectName,
      unknownType,
      nullItem,
  };
  for (const Json::Value& document : refused) {
    problem.clear();
    EXPECT_FALSE(FavoritesTree::Checked(document, problem)) << document.toStyledString();
    EXPECT_FALSE(problem.empty());
  }
}

}  // namespace
}  // namespace tarvo::test
