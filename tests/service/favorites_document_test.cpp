#include "service/favorites_document.h"

#include <gtest/gtest.h>

#include "service/json_text.h"

namespace tarvo::service {
namespace {

Json::Value Item(const std::string& json) { return ParseJson(json).value(); }

TEST(FavoritesDocument, SeedNumbersItemsAndFillsFolderAndDate) {
  FavoritesDocument document;
  std::string error;
  ASSERT_TRUE(FavoritesDocument::FromSeed(
      Item(R"([{"type":"folder","name":"F","child":[{"type":"url","url":"u1"},{"type":"url","url":"u2"}]},
               {"type":"url","url":"u3","date":"7"}])"),
      100, document, error))
      << error;
  const Json::Value& items = document.items();
  EXPECT_EQ(items[0]["id"].asString(), "1");
  EXPECT_EQ(items[0]["child"][1]["id"].asString(), "3");
  EXPECT_EQ(items[0]["child"][1]["folder"].asString(), "1");
  EXPECT_EQ(items[0]["date"].asString(), "100");
  EXPECT_EQ(items[1]["date"].asString(), "7");
  EXPECT_EQ(document.LargestId(), 4);

  EXPECT_FALSE(FavoritesDocument::FromSeed(Item(R"({"type":"url"})"), 0, document, error));
  EXPECT_FALSE(FavoritesDocument::FromSeed(Item(R"([{"type":"url","url":"x","id":3}])"), 0, document, error));
  EXPECT_NE(error.find("\"id\""), std::string::npos);
}

TEST(FavoritesDocument, RemovingAFolderTakesItsBookmarksAndAddsNoMembers) {
  FavoritesDocument document = FavoritesDocument::FromText(
      R"([{"id":"1","type":"url","url":"a"},{"id":"2","type":"folder","child":[{"id":"3","type":"url","url":"b"}]},
          {"id":"4","type":"folder","child":[{"id":"5","type":"url","url":"c"}]}])");
  const std::vector<std::string> removed = document.Remove({"2", "5", "9"});
  EXPECT_EQ(removed, (std::vector<std::string>{"2", "3", "5"}));
  EXPECT_EQ(document.ToText(), R"([{"id":"1","type":"url","url":"a"},{"child":[],"id":"4","type":"folder"}])");
}

TEST(FavoritesDocument, UpdateWithoutIdMatchesOnTypeFolderNameAndUrl) {
  FavoritesDocument document = FavoritesDocument::FromText(
      R"([{"id":"1","type":"url","folder":"","name":"n","url":"a","date":"1"},{"id":"2","type":"url","url":"b"}])");
  EXPECT_TRUE(document.Update(Item(R"({"type":"url","folder":"","name":"n","url":"a","date":"9"})")));
  EXPECT_EQ(document.items()[1]["id"].asString(), "1");
  EXPECT_EQ(document.items()[1]["date"].asString(), "9");
  EXPECT_FALSE(document.Update(Item(R"({"type":"url","folder":"","name":"other","url":"a"})")));
}

TEST(FavoritesDocument, BrokenStoredTextGivesAnEmptyDocument) {
  EXPECT_EQ(FavoritesDocument::FromText("{broken").items().size(), 0u);
  EXPECT_EQ(FavoritesDocument::FromText(R"({"not":"an array"})").items().size(), 0u);
}

}  // namespace
}  // namespace tarvo::service
