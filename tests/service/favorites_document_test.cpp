#include "service/favorites_document.h"

#include <gtest/gtest.h>

#include "service/json_text.h"

namespace tarvo::service {
namespace {

Json::Value Item(const std::string& json) { return ParseJson(json).value(); }

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
