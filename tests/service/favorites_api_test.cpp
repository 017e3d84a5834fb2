#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "net/form_body.h"
#include "service/json_text.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class FavoritesApi : public ServiceFixture {
 protected:
  void SetUp() override {
    ServiceFixture::SetUp();
    token_ = LogIn("bob@tarvo.test", "bob-pass").second;
  }

  ServiceReply Send(const std::string& path, const std::string& data) {
    return Post(path, FormBody().Add("token", token_).Add("brand", "TestBrand").Add("data", data));
  }
  Json::Value Document() {
    return Post("app/v1.0/list_user_fav", FormBody().Add("token", token_).Add("brand", "TestBrand")).data()["favor"];
  }

  std::string token_;
};

TEST_F(FavoritesApi, AddUpdateDeleteRoundTrip) {
  const ServiceReply added =
      Send("app/v1.0/add_fav_item",
           R"({"id":"42","type":"url","folder":"","name":"News","url":"http://news.tarvo.test/","date":"5"})");
  ASSERT_EQ(added.code(), 200) << added.message();
  const Json::Value stored = added.data()[0];
  EXPECT_EQ(stored["id"].asString(), "4") << "the service numbers items after the seeded defaults (1 to 3)";
  EXPECT_EQ(stored["date"].asString(), "5");

  const ServiceReply folder = Send("app/v1.0/add_fav_item", R"({"type":"folder","name":"Reading"})");
  const std::string folderId = folder.data()[0]["id"].asString();
  const ServiceReply inFolder = Send(
      "app/v1.0/add_fav_item", R"({"type":"url","folder":")" + folderId + R"(","name":"A","url":"http://a.tarvo.test/"})");
  EXPECT_EQ(inFolder.data()[0]["folder"].asString(), folderId);
  // Sent unencoded, as some browser builds do: the ampersands stay in the address.
  const ServiceReply orphan = PostRaw("app/v1.0/add_fav_item", "token=" + token_ + "&brand=TestBrand&data=" +
                                      R"({"type":"url","folder":"999","name":"B","url":"http://b.tarvo.test/?a=1&b=2&c"})");
  EXPECT_EQ(orphan.data()[0]["url"].asString(), "http://b.tarvo.test/?a=1&b=2&c");
  EXPECT_EQ(orphan.data()[0]["folder"].asString(), "") << "a missing folder puts the bookmark at the top level";

  Json::Value renamed = stored;
  renamed["name"] = "Renamed";
  ASSERT_EQ(Send("app/v1.0/update_fav_item", WriteCompactJson(renamed)).code(), 200);
  Json::Value document = Document();
  ASSERT_EQ(document.size(), 5u);
  EXPECT_EQ(document[4]["name"].asString(), "Renamed") << "an updated item moves to the end of its level";
  EXPECT_EQ(document[2]["child"][0]["name"].asString(), "A");

  Json::Value folderRenamed = folder.data()[0];
  folderRenamed["name"] = "Later";
  ASSERT_EQ(Send("app/v1.0/update_fav_item", WriteCompactJson(folderRenamed)).code(), 200);
  document = Document();
  EXPECT_EQ(document[4]["name"].asString(), "Later");
  EXPECT_EQ(document[4]["child"].size(), 1u) << "renaming a folder keeps its bookmarks";

  const std::string orphanId = orphan.data()[0]["id"].asString();
  const ServiceReply deleted =
      Send("app/v1.0/del_user_fav", "[" + folderId + ",1," + orphanId + ",77,18446744073709551615]");
  ASSERT_EQ(deleted.code(), 200);
  EXPECT_EQ(deleted.data()["deleted"].size(), 4u) << "the folder, its bookmark, items 1 and B; the others are unknown";
  EXPECT_EQ(Document().size(), 2u);
  // The highest id went too: it is not given again.
  EXPECT_EQ(Send("app/v1.0/add_fav_item", R"({"type":"url","name":"y","url":"http://y/"})").data()[0]["id"].asString(),
            "8");

  Json::Value gone = stored;
  gone["id"] = "1";
  EXPECT_EQ(Send("app/v1.0/update_fav_item", WriteCompactJson(gone)).code(), 404);
  Json::Value changedType = stored;
  changedType["type"] = "folder";
  changedType.removeMember("url");
  EXPECT_EQ(Send("app/v1.0/update_fav_item", WriteCompactJson(changedType)).code(), 404);
}

TEST_F(FavoritesApi, BadItemsAndTokensChangeNothing) {
  const auto before = WriteCompactJson(Document());
  for (const auto& [path, data] : {std::pair{"add_fav_item", "not json"},
                                   {"add_fav_item", R"({"type":"url","name":"no address"})"},
                                   {"add_fav_item", R"({"type":"link","url":"http://x/"})"},
                                   {"add_fav_item", R"({"type":"url","url":"http://x/","name":5})"},
                                   {"add_fav_item", R"({"type":"folder","name":"f","child":[{"type":"folder","name":"n"}]})"},
                                   {"del_user_fav", "1,2"}, {"del_user_fav", "[{}]"}}) {
    EXPECT_EQ(Send("app/v1.0/" + std::string(path), data).code(), 400) << data;
  }
  const std::string item = R"({"type":"url","url":"http://x/"})";
  EXPECT_EQ(Post("app/v1.0/add_fav_item", FormBody().Add("token", "stale").Add("brand", "TestBrand").Add("data", item))
                .code(),
            401);
  EXPECT_EQ(Post("app/v1.0/list_user_fav", FormBody().Add("token", "stale").Add("brand", "TestBrand")).code(), 401);
  EXPECT_EQ(WriteCompactJson(Document()), before);
}

TEST_F(FavoritesApi, ConcurrentAddsOnOneAccountAreAllKept) {
  constexpr int kClients = 4;
  constexpr int kEach = 8;
  std::vector<std::thread> clients;
  for (int client = 0; client < kClients; ++client) {
    clients.emplace_back([this, client] {
      for (int i = 0; i < kEach; ++i) {
        const std::string name = std::to_string(client) + "-" + std::to_string(i);
        EXPECT_EQ(Send("app/v1.0/add_fav_item", R"({"type":"url","name":")" + name + R"(","url":"http://c/"})").code(),
                  200);
      }
    });
  }
  for (std::thread& client : clients) client.join();
  EXPECT_EQ(Document().size(), 2u + kClients * kEach);
}

}  // namespace
}  // namespace tarvo::service::test
