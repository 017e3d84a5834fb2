// The favourites against the reference service (a process on loopback) and the
// command-line tool: names and addresses with the form's reserved characters arrive
// intact, a user's changes reach the service and a second profile of the same user
// receives them at its next sync, and a large bookmark file goes in and out again.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "favorites/favorites_store.h"
#include "favorites/favorites_sync.h"
#include "favorites/netscape_bookmark_file.h"
#include "favorites_fixture.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "support/service_process.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/test_database.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

class FavoritesServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ServiceProcess::Program().empty()) GTEST_SKIP() << "tarvo-service is not built";
    service_ = std::make_unique<ServiceProcess>(ServiceProcess::Program(),
                                                std::string(std::getenv("TARVO_TEST_DATA")) + "/service/seed.json",
                                                (folder_.path() / "service.db").string());
    ASSERT_FALSE(service_->baseUrl().empty());
    service_->UseInThisProcess();
    SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TestBrand");
  }
  void TearDown() override { SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u""); }

  // Logs alice in through the service; the account state then holds her id and token.
  std::unique_ptr<LoggedIn> LogIn() {
    ServiceReply reply;
    const FormBody form = FormBody().Add("username", u"alice@tarvo.test").Add("password", u"alice&pass=1").Add("type", "PC");
    if (CallService(u"app/v1.0/login", form, reply) != 0 || !reply.succeeded()) return nullptr;
    return std::make_unique<LoggedIn>(std::to_string(ServiceReply::ReadInt(reply.data(), "id")),
                                      ServiceReply::ReadString(reply.data(), "token"));
  }
  // The user's favourites as the service lists them.
  Json::Value Listed() {
    return FavoritesSync(scratchStore_, scratch_.db()).SyncUserFavorites() == 0 ? scratchStore_.Document().Items()
                                                                                 : Json::Value();
  }

  TempDir folder_;
  std::unique_ptr<ServiceProcess> service_;
  TestDatabase scratch_;
  FavoritesStore scratchStore_{scratch_.db()};
};

TEST_F(FavoritesServiceTest, AUsersChangesReachTheServiceAndASecondProfile) {
  TestDatabase firstProfile;
  FavoritesStore first(firstProfile.db());
  ASSERT_EQ(FavoritesSync(first, firstProfile.db()).LoadDefaultFavoritesOnce(), 0);
  EXPECT_EQ(first.Document().CountAll(), 3u);  // the brand's defaults, nobody logged in

  const auto alice = LogIn();
  ASSERT_NE(alice, nullptr);
  ASSERT_EQ(FavoritesSync(first, firstProfile.db()).SyncUserFavorites(), 0);
  const Json::Value::ArrayIndex before = Listed().size();
  const std::string name = "R&D = 100% + more; x=y&z";
  const std::string url = "http://x.test/?a=1&b=2+3%20&c=%26";
  Json::Value bookmark = first.NewBookmark(u"", Utf8ToWide(name), Utf8ToWide(url));
  ASSERT_EQ(first.AddItem(bookmark), 0);
  Json::Value folder = first.NewFolder(u"Folder \U0001F600");
  ASSERT_EQ(first.AddItem(folder), 0);
  ASSERT_EQ(first.MoveBookmark(FavoritesTree::Id(bookmark), FavoritesTree::Id(folder), Utf8ToWide(name + " moved")), 0);
  Json::Value renamed = first.FindById(FavoritesTree::Id(folder));
  renamed["name"] = "Renamed \"folder\"";
  ASSERT_EQ(first.UpdateItem(renamed), 0);

  const Json::Value listed = Listed();
  ASSERT_EQ(listed.size(), before + 1) << listed.toStyledString();
  const Json::Value& added = listed[before];  // a changed item moves to the end
  EXPECT_EQ(FavoritesTree::Name(added), "Renamed \"folder\"");
  ASSERT_EQ(added["child"].size(), 1u);
  EXPECT_EQ(FavoritesTree::Name(added["child"][0]), name + " moved");
  EXPECT_EQ(FavoritesTree::Url(added["child"][0]), url);

  // A second profile of the same user receives it at its next sync; a deletion there
  // reaches the first at its next sync too.
  TestDatabase secondProfile;
  FavoritesStore second(secondProfile.db());
  ASSERT_EQ(FavoritesSync(second, secondProfile.db()).SyncUserFavorites(), 0);
  EXPECT_EQ(second.Document().Items(), first.Document().Items());
  ASSERT_EQ(second.DeleteFolder(FavoritesTree::Id(added)), 0);
  ASSERT_EQ(FavoritesSync(first, firstProfile.db()).SyncUserFavorites(), 0);
  EXPECT_EQ(first.Document().Items().size(), before);
  EXPECT_EQ(Listed().size(), before);
}

// A file of 1,000 bookmarks in three levels of folders through the command-line tool:
// imported into a new profile, exported, and read back with the same names and
// addresses in the same order.
TEST(BookmarksCommandTest, AThousandBookmarksGoInAndComeBackOut) {
  TempDir folder;
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  std::vector<std::pair<std::string, std::string>> expected;  // folder name, "name<url"
  int made = 0;
  const auto add = [&](const std::string& path, const std::string& indent, int count = 50) {
    for (int i = 0; i < count; ++i, ++made) {
      const std::string name = "Site " + std::to_string(made) + (made % 7 == 0 ? " & \"friends\" <b>" : "") +
                               (made % 11 == 0 ? " \U0001F600 עברית" : "");
      const std::string url = "https://site" + std::to_string(made) + ".test/p?x=" + std::to_string(made) + "&y=%20";
      file += indent + "<DT><A HREF=\"" + NetscapeBookmarkFile::Escape(url) + "\">" + NetscapeBookmarkFile::Escape(name) + "</A>\n";
      expected.emplace_back(path, name + "<" + url);
    }
  };
  add("", "  ", 250);
  for (int a = 0; a < 3; ++a) {
    const std::string level1 = "Level1-" + std::to_string(a);
    file += "  <DT><H3>" + level1 + "</H3>\n  <DL><p>\n";
    add(level1, "    ");
    for (int b = 0; b < 2; ++b) {
      const std::string level2 = level1 + " / Level2-" + std::to_string(b);
      file += "    <DT><H3>Level2-" + std::to_string(b) + "</H3>\n    <DL><p>\n";
      add(level2, "      ");
      const std::string level3 = level2 + " / Level3";
      file += "      <DT><H3>Level3</H3>\n      <DL><p>\n";
      add(level3, "        ");
      file += "      </DL><p>\n    </DL><p>\n";
    }
    file += "  </DL><p>\n";
  }
  file += "</DL><p>\n";
  ASSERT_EQ(made, 1000);
  const auto input = folder.WriteFile("in.html", file);
  const std::string profile = (folder.path() / "new" / "kx.dat").string();
  const std::string cli = (std::filesystem::current_path() / "tarvo-cli").string();
  ASSERT_EQ(std::system((cli + " bookmarks import " + input.string() + " --profile " + profile + " > /dev/null").c_str()), 0);
  const std::string output = (folder.path() / "out.html").string();
  ASSERT_EQ(std::system((cli + " bookmarks export " + output + " --profile " + profile + " > /dev/null").c_str()), 0);

  std::ifstream in(output);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string problem;
  const auto items = NetscapeBookmarkFile::Parse(written, problem);
  ASSERT_TRUE(items) << problem;
  std::vector<std::pair<std::string, std::string>> read;
  for (const Json::Value& item : *items) {
    if (!FavoritesTree::IsFolder(item)) read.emplace_back("", FavoritesTree::Name(item) + "<" + FavoritesTree::Url(item));
    for (const Json::Value& child : item["child"]) {
      read.emplace_back(FavoritesTree::Name(item), FavoritesTree::Name(child) + "<" + FavoritesTree::Url(child));
    }
  }
  EXPECT_EQ(read, expected);

  // Not a bookmark file: a clear message, the profile unchanged.
  const auto notHtml = folder.WriteFile("notes.txt", "just some notes\n");
  EXPECT_NE(std::system((cli + " bookmarks import " + notHtml.string() + " --profile " + profile + " 2> /dev/null").c_str()), 0);
  ASSERT_EQ(std::system((cli + " bookmarks export " + output + " --profile " + profile + " > /dev/null").c_str()), 0);
  std::ifstream again(output);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>()), written);
}

}  // namespace
}  // namespace tarvo::test
