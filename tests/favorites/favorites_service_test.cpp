// The favourites through the command-line tool: a large bookmark file goes in and out
// again. (A user's changes reaching the service and a second profile are run end to
// end, in the favourites end-to-end test.)
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "favorites/favorites_tree.h"
#include "favorites/netscape_bookmark_file.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

// A file of 1,000 bookmarks, half of them in folders, through the command-line tool:
// imported into a new profile, exported, and read back with the same names and
// addresses in the same order. (Deeper folders are flattened as the file reader's own
// test shows.)
TEST(BookmarksCommandTest, AThousandBookmarksGoInAndComeBackOut) {
  TempDir folder;
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  std::vector<std::pair<std::string, std::string>> expected;  // folder name, "name<url"
  int made = 0;
  for (int group = 0; group < 11; ++group) {
    const std::string name = group == 0 ? "" : "Folder " + std::to_string(group) + " & \"co\"";
    if (group > 0) file += "<DT><H3>" + NetscapeBookmarkFile::Escape(name) + "</H3>\n<DL><p>\n";
    for (int i = 0; i < (group == 0 ? 500 : 50); ++i, ++made) {
      const std::string site = "Site " + std::to_string(made) + (made % 7 == 0 ? " & \"friends\" <b>" : "") +
                               (made % 11 == 0 ? " \U0001F600 עברית" : "");
      const std::string url = "https://site" + std::to_string(made) + ".test/p?x=" + std::to_string(made) + "&y=%20";
      file += "<DT><A HREF=\"" + NetscapeBookmarkFile::Escape(url) + "\">" + NetscapeBookmarkFile::Escape(site) + "</A>\n";
      expected.emplace_back(name, site + "<" + url);
    }
    if (group > 0) file += "</DL><p>\n";
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
