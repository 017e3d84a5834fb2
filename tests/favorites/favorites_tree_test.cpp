// The document's rules: ids, the two levels, where an added or changed item goes, and
// what a document from elsewhere must look like before it replaces the user's.
#include "favorites/favorites_tree.h"

#include <gtest/gtest.h>

#include "favorites_fixture.h"

namespace tarvo::test {
namespace {

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
