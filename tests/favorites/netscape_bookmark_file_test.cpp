// Bookmark files as other browsers write them: any depth flattened into two levels with
// the path in the folder's name, a toolbar folder taken as the bar itself, entities
// decoded, and what we write read back exactly.
#include "favorites/netscape_bookmark_file.h"

#include <gtest/gtest.h>

#include "favorites_fixture.h"

namespace tarvo::test {
namespace {

// "name<url" for a bookmark, "[folder: children]" for a folder.
std::string Outline(const std::vector<Json::Value>& items) {
  std::string out;
  for (const Json::Value& item : items) {
    if (FavoritesTree::IsFolder(item)) {
      out += "[" + FavoritesTree::Name(item) + ":";
      for (const Json::Value& child : item["child"]) out += " " + FavoritesTree::Name(child) + "<" + FavoritesTree::Url(child);
      out += "]";
    } else {
      out += FavoritesTree::Name(item) + "<" + FavoritesTree::Url(item);
    }
    out += "\n";
  }
  return out;
}

TEST(NetscapeBookmarkFileTest, DeepFoldersAreFlattenedWithTheirPath) {
  const std::string file = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE><H1>Bookmarks</H1>
<DL><p>
  <DT><H3 ADD_DATE="1" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks bar</H3>
  <DL><p>
    <DT><A HREF="http://a.test/?x=1&amp;y=2" ADD_DATE="1600000000" ICON="data:image/png;base64,AAAA">A &amp; B &lt;i&gt; &#x1F600; &#233;</A>
    <DT><H3>Work</H3>
    <DL><p>
      <DT><A HREF='http://w.test/'>W</A>
      <DT><H3>Deep</H3>
      <DL><p><DT><a href=http://deep.test/>D</a></DL><p>
      <DT><A HREF="http://w2.test/">W2</A>
    </DL><p>
  </DL><p>
  <DT><H3>Only folders</H3>
  <DL><p>
    <DT><H3>Inner</H3>
    <DL><p><DT><A HREF="http://x.test/">X</A><DD>a description</DL><p>
  </DL><p>
  <DT><H3>Empty</H3>
  <DL><p></DL><p>
  <DT><A HREF="">no address</A>
</DL><p>)";
  std::string problem;
  const auto items = NetscapeBookmarkFile::Parse(file, problem);
  ASSERT_TRUE(items) << problem;
  EXPECT_EQ(Outline(*items),
            "A & B <i> \U0001F600 \u00e9<http://a.test/?x=1&y=2\n"
            "[Work: W<http://w.test/ W2<http://w2.test/]\n"
            "[Work / Deep: D<http://deep.test/]\n"
            "[Only folders / Inner: X<http://x.test/]\n"
            "[Empty:]\n");
  EXPECT_EQ(FavoritesTree::Member((*items)[0], "date"), "1600000000");
}

TEST(NetscapeBookmarkFileTest, WhatIsWrittenReadsBackExactly) {
  const std::vector<std::string> names = {"quotes \"'\" & <tags> &amp;", std::string(10000, 'L'),
                                          "\U0001F600\U0001F44D\U0001F3FD emoji", "مرحبا بالعالم", "  spaced  ",
                                          "line\nbreak"};
  std::vector<Json::Value> children;
  Json::Value top(Json::arrayValue);
  int id = 1;
  for (const std::string& name : names) {
    const std::string url = "http://x.test/?q=" + std::to_string(id) + "&a=\"b\"<c>";
    top.append(Bookmark(std::to_string(id++), name, url));
    children.push_back(Bookmark(std::to_string(id++), name, url + "#in", "100"));
  }
  top.append(Folder("100", "A / B & \"C\"", children));
  const std::string file = NetscapeBookmarkFile::Write(FavoritesTree(top));
  std::string problem;
  const auto items = NetscapeBookmarkFile::Parse(file, problem);
  ASSERT_TRUE(items) << problem;
  ASSERT_EQ(items->size(), top.size());
  for (Json::ArrayIndex i = 0; i < top.size(); ++i) {
    EXPECT_EQ(FavoritesTree::Name((*items)[i]), FavoritesTree::Name(top[i]));
    EXPECT_EQ(FavoritesTree::Url((*items)[i]), FavoritesTree::Url(top[i]));
    EXPECT_EQ(FavoritesTree::Member((*items)[i], "date"), "1700000000");
  }
  EXPECT_EQ(Outline({items->back()}), Outline({top[top.size() - 1]}));
}

TEST(NetscapeBookmarkFileTest, OtherFilesAreRefused) {
  const std::string refused[] = {"", "plain text, no list", "{\"roots\": {\"bookmark_bar\": []}}",
                                 std::string("\x89PNG\r\n\x1a\n\0\0\0", 12), "<html><body><p>a page</p></body></html>"};
  for (const std::string& text : refused) {
    std::string problem;
    EXPECT_FALSE(NetscapeBookmarkFile::Parse(text, problem));
    EXPECT_FALSE(problem.empty());
  }
  // Malformed UTF-8 becomes U+FFFD instead of breaking the document's JSON.
  std::string problem;
  const auto items = NetscapeBookmarkFile::Parse("<DL><DT><A HREF=\"http://b.test/\">bad \xff\xfe byte</A></DL>", problem);
  ASSERT_TRUE(items);
  EXPECT_EQ(FavoritesTree::Name(items->at(0)), "bad \uFFFD\uFFFD byte");
}

}  // namespace
}  // namespace tarvo::test
