// What the browser syncs from the service: VPN nodes and connections, the protected-
// site list and the user's favourites.
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "loopback_probe.h"
#include "net/form_body.h"
#include "net/statement_text.h"
#include "net/trusted_keys.h"
#include "service/json_text.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class VpnApi : public ServiceFixture {
 protected:
  ServiceReply UserNodes(const std::string& id, const std::string& token) {
    return Post("app/v1.2/user_node_list", FormBody().Add("id", id).Add("token", token).Add("language", "china"));
  }
  ServiceReply Connect(const std::string& id, const std::string& token, const std::string& node) {
    return Post("app/v1.0/connection_vpn_node", FormBody().Add("id", id).Add("token", token).Add("node_id", node));
  }
  ServiceReply Cancel(const std::string& id, const std::string& token, const std::string& proxyToken) {
    return Post("app/v1.0/cancel_connection",
                FormBody().Add("id", id).Add("token", token).Add("proxy_token", proxyToken));
  }
  ServiceReply AnonymousNodes(const std::string& brand, const std::string& language) {
    return Post("app/v1.1/no_login_user_node_list", FormBody().Add("brand", brand).Add("language", language));
  }
  ServiceReply ConnectAnonymous(const std::string& brand, const std::string& node) {
    return Post("app/v1.0/no_login_connection_vpn_node", FormBody().Add("brand", brand).Add("node_id", node));
  }
};

TEST_F(VpnApi, AnonymousListCarriesCipheredProxyAddressesAndLocalisedAreas) {
  const ServiceReply chinese = AnonymousNodes("TestBrand", "china");
  ASSERT_EQ(chinese.code(), 200);
  ASSERT_EQ(chinese.data().size(), 2u) << "only nodes offered to anonymous users";
  const Json::Value& node = chinese.data()[0];
  EXPECT_EQ(ServiceReply::ReadInt(node, "id"), 7);
  EXPECT_EQ(ServiceReply::ReadInt(node, "country_id"), 2);
  EXPECT_EQ(ServiceReply::ReadString(node, "country"), "美国");
  EXPECT_EQ(Decipher(node["area"]), "弗吉尼亚");
  // The node's proxy runs here, so the list announces the proxy, not the seeded host.
  EXPECT_EQ(Decipher(node["ip"]), "127.0.0.1");
  EXPECT_EQ(ServiceReply::ReadInt(node, "port"), service_->ProxyOf(7)->port());
  EXPECT_EQ(ServiceReply::ReadInt(chinese.data()[1], "status"), 0);

  EXPECT_EQ(Decipher(AnonymousNodes("TestBrand", "en").data()[0]["area"]), "Virginia");
  EXPECT_EQ(AnonymousNodes("ClosedBrand", "en").code(), 403);
  EXPECT_EQ(AnonymousNodes("NoSuchBrand", "en").code(), 404);
  EXPECT_EQ(AnonymousNodes("", "en").code(), 400);
}

TEST_F(VpnApi, UserListNeedsVpnRights) {
  const auto [alice, aliceToken] = LogIn("alice@tarvo.test", "alice&pass=1");
  const ServiceReply nodes = UserNodes(alice, aliceToken);
  ASSERT_EQ(nodes.code(), 200);
  ASSERT_EQ(nodes.data().size(), 3u);
  EXPECT_EQ(ServiceReply::ReadInt(nodes.data()[1], "id"), 8);
  EXPECT_EQ(Decipher(nodes.data()[1]["area"]), "Tokyo");

  const auto [bob, bobToken] = LogIn("bob@tarvo.test", "bob-pass");
  EXPECT_EQ(UserNodes(bob, bobToken).code(), 403);
  EXPECT_EQ(Connect(bob, bobToken, "8").code(), 403);
  EXPECT_EQ(UserNodes(alice, "wrong").code(), 401);
  // Browsers leave the token out when their stored login has lapsed.
  EXPECT_EQ(Post("app/v1.2/user_node_list", FormBody().Add("id", alice).Add("language", "en")).code(), 401);
}

TEST_F(VpnApi, ConnectAndCancelCheckNodeAndOwnerAndTimeIsChargedUntilNoneIsLeft) {
  const auto [alice, token] = LogIn("alice@tarvo.test", "alice&pass=1");  // 100 s of connection time
  const ServiceReply connected = Connect(alice, token, "8");
  ASSERT_EQ(connected.code(), 200);
  const std::string proxyToken = ServiceReply::ReadString(connected.data(), "proxy_token");
  EXPECT_EQ(proxyToken.size(), 48u);
  EXPECT_EQ(Connect(alice, token, "99").code(), 404);
  EXPECT_EQ(Connect(alice, token, "9").code(), 503);
  EXPECT_EQ(Connect(alice, token, "x").code(), 400);

  // Browsers cancel also when nothing is open, with an empty proxy token.
  EXPECT_EQ(Cancel(alice, token, "").code(), 200);
  const auto [carol, carolToken] = LogIn("carol@tarvo.test", "carol-pass");
  EXPECT_EQ(Connect(carol, carolToken, "8").code(), 421);
  EXPECT_EQ(Cancel(carol, carolToken, proxyToken).code(), 404);
  EXPECT_EQ(Post("app/v1.0/no_login_cancel_connection",
                 FormBody().Add("brand", "TestBrand").Add("proxy_token", proxyToken))
                .code(),
            404);
  EXPECT_EQ(Cancel(alice, "bad", proxyToken).code(), 401);
  EXPECT_EQ(Cancel(alice, token, proxyToken).code(), 200);

  const std::string first = ServiceReply::ReadString(Connect(alice, token, "7").data(), "proxy_token");
  AdvanceClock(60);
  ASSERT_EQ(Cancel(alice, token, first).code(), 200);
  EXPECT_EQ(Cancel(alice, token, first).code(), 200) << "cancelling twice is harmless";
  // 40 s are left: a connection left open runs out, and is charged at the next try.
  ASSERT_EQ(Connect(alice, token, "7").code(), 200);
  AdvanceClock(45);
  EXPECT_EQ(Connect(alice, token, "7").code(), 421);
}

TEST_F(VpnApi, AnonymousConnections) {
  const ServiceReply connected = ConnectAnonymous("TestBrand", "7");
  ASSERT_EQ(connected.code(), 200);
  EXPECT_EQ(ConnectAnonymous("TestBrand", "8").code(), 404) << "node not offered to anonymous users";
  EXPECT_EQ(ConnectAnonymous("TestBrand", "9").code(), 503);
  EXPECT_EQ(ConnectAnonymous("StingyBrand", "7").code(), 421);
  EXPECT_EQ(ConnectAnonymous("ClosedBrand", "7").code(), 403);
  EXPECT_EQ(ConnectAnonymous("TestBrand", "").code(), 400);
  const auto cancel = [this](const std::string& proxyToken) {
    return Post("app/v1.0/no_login_cancel_connection",
                FormBody().Add("brand", "TestBrand").Add("proxy_token", proxyToken))
        .code();
  };
  EXPECT_EQ(cancel(ServiceReply::ReadString(connected.data(), "proxy_token")), 200);
  EXPECT_EQ(cancel(""), 200);
  EXPECT_EQ(cancel("unknown"), 404);
}

TEST_F(VpnApi, WhiteListDomainsAreCiphered) {
  const ServiceReply reply = Post("app/v1.0/list_web_url", FormBody().Add("brand", "TestBrand"));
  ASSERT_EQ(reply.code(), 200);
  ASSERT_EQ(reply.data().size(), 2u);
  EXPECT_EQ(Decipher(reply.data()[0]["domain"]), "www.tarvo.test");
  EXPECT_EQ(Decipher(reply.data()[1]["domain"]), "例子.tarvo.test");
  EXPECT_EQ(Post("app/v1.0/list_web_url", FormBody().Add("brand", "ClosedBrand")).data().size(), 0u);
  EXPECT_EQ(Post("app/v1.0/list_web_url", FormBody().Add("brand", "NoSuchBrand")).code(), 404);
}

class DomainListApi : public ServiceFixture {
 protected:
  ServiceReply DomainList(const std::string& latestTime) {
    // The browser's own form: fixed parameters spliced in as they stand.
    return PostRaw("app/v1.0/domain_list",
                   "latest_time=" + latestTime + "&platform=3&client_version=0&brand=TestBrand");
  }
};

TEST_F(DomainListApi, FullListCarriesEveryMemberTheBrowserReads) {
  const ServiceReply reply = DomainList("0");
  ASSERT_EQ(reply.code(), 200);
  EXPECT_EQ(ServiceReply::ReadInt(reply.data(), "max_time"), kStartTime);
  const Json::Value& list = reply.data()["domain_list"];
  ASSERT_EQ(list.size(), 2u);
  const Json::Value& bank = list[0];
  for (const auto& [member, value] : {std::pair{"id", 1}, {"source_id", 11}, {"source_status", 1}, {"target_id", 21},
                                      {"target_status", 1}, {"isauth", 1}, {"issign", 1}, {"isensure", 0}, {"action", 1}}) {
    EXPECT_EQ(ServiceReply::ReadInt(bank, member), value) << member;
  }
  EXPECT_EQ(ServiceReply::ReadString(bank, "signgrade"), "一级");
  EXPECT_EQ(Decipher(bank["source_url"]), "http://bank.tarvo.test/");
  EXPECT_EQ(Decipher(bank["target_url"]), "http://127.0.0.21:" + std::to_string(service_->port()) + "/");
  ASSERT_EQ(bank["authicon"].size(), 3u);
  EXPECT_EQ(bank["authicon"][2].asString(), "http://i/3.png");
  // The seed's own icon file is served by the service, under its file name only.
  const std::string base = "http://127.0.0.1:" + std::to_string(service_->port()) + "/";
  EXPECT_EQ(bank["authicon"][1].asString(), base + "icons/ca.png");
  std::ifstream icon(std::filesystem::path(TestData("seed.json")).parent_path() / "icons" / "ca.png", std::ios::binary);
  const std::string iconBytes((std::istreambuf_iterator<char>(icon)), std::istreambuf_iterator<char>());
  const FetchResult served = Fetch(base + "icons/ca.png");
  EXPECT_EQ(served.status, 200);
  EXPECT_EQ(served.body, iconBytes);
  for (const char* elsewhere : {"icons/", "icons/seed.json", "icons/../seed.json", "icons/mirror.html"}) {
    EXPECT_EQ(Fetch(base + elsewhere).status, 404) << elsewhere;
  }
  EXPECT_EQ(Decipher(list[1]["target_url"]), "http://192.0.2.5/shop/");
  EXPECT_EQ(ServiceReply::ReadInt(list[1], "target_status"), 0);
}

TEST_F(DomainListApi, LaterSyncsGetInsertsUpdatesAndDeletions) {
  const int64_t firstSync = ServiceReply::ReadInt(DomainList("0").data(), "max_time");
  EXPECT_EQ(DomainList(std::to_string(firstSync)).data()["domain_list"].size(), 0u);

  std::string seed = SeedText();
  // Site 1 changes its grade, site 2 goes away, site 3 is new.
  seed.replace(seed.find("\"Grade A\""), 9, "\"Grade AA\"");
  const size_t shop = seed.find("    {\"id\": 2, \"source_url\"");
  const size_t shopEnd = seed.find('}', shop) + 1;
  seed.replace(shop, shopEnd - shop,
               "    {\"id\": 3, \"source_url\": \"http://pay.tarvo.test/\", \"target_url\": \"http://192.0.2.9/\"}");
  AdvanceClock(10);
  Reseed(seed, DefaultOptions());

  const ServiceReply changes = DomainList(std::to_string(firstSync));
  ASSERT_EQ(changes.code(), 200);
  EXPECT_EQ(ServiceReply::ReadInt(changes.data(), "max_time"), kStartTime + 10);
  const Json::Value& list = changes.data()["domain_list"];
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(ServiceReply::ReadString(list[0], "signgrade_en"), "Grade AA");
  EXPECT_EQ(ServiceReply::ReadInt(list[1], "id"), 2);
  const int actions[] = {2, 3, 1};  // an update, a deletion, an insert
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ServiceReply::ReadInt(list[i], "action"), actions[i]) << i;

  // A full download still lists only live sites, all as inserts.
  const ServiceReply fullReply = DomainList("0");
  const Json::Value& full = fullReply.data()["domain_list"];
  ASSERT_EQ(full.size(), 2u);
  for (const Json::Value& site : full) EXPECT_EQ(ServiceReply::ReadInt(site, "action"), 1);

  // The same seed again changes nothing.
  Reseed(seed, DefaultOptions());
  EXPECT_EQ(DomainList(std::to_string(kStartTime + 10)).data()["domain_list"].size(), 0u);
}

TEST_F(DomainListApi, ListsAreDatedAndSignedForBrowsersOldAndNew) {
  const ServiceReply full = DomainList("0");
  EXPECT_EQ(ServiceReply::ReadInt(full.data(), "latest_time"), 0);
  EXPECT_EQ(ServiceReply::ReadInt(full.data(), "issued_at"), kStartTime);
  EXPECT_EQ(ServiceReply::ReadString(full.data(), "signature2").size(), 128u);
  EXPECT_EQ(ServiceReply::ReadString(full.data(), "signature").size(), 128u) << "for browsers from before";
  // The whole list is kept as made, with its date; a list of changes is made, and
  // dated, when asked for.
  AdvanceClock(30);
  EXPECT_EQ(ServiceReply::ReadInt(DomainList("0").data(), "issued_at"), kStartTime);
  const ServiceReply changes = DomainList(std::to_string(kStartTime));
  EXPECT_EQ(ServiceReply::ReadInt(changes.data(), "latest_time"), kStartTime);
  EXPECT_EQ(ServiceReply::ReadInt(changes.data(), "issued_at"), kStartTime + 30);
  EXPECT_NE(ServiceReply::ReadString(changes.data(), "signature2"), ServiceReply::ReadString(full.data(), "signature2"));
}

TEST_F(DomainListApi, AnnouncementsAreDatedByTheirReleaseAndSignedForBrowsersOldAndNew) {
  const auto announce = [this] { return Post("app/v1.0/version", FormBody().Add("brand", "TestBrand")).data(); };
  const TrustedKeys brand = TrustedKeys::Parse(signingKey_.PublicKeyHex());
  const auto verifies = [&](const Json::Value& data) {
    const std::string version = data["version"].asString();
    const std::string url = data["url"].asString();
    const std::string sha = data["sha256"].asString();
    const uint64_t size = data["size"].asUInt64();
    return brand.Verifies(StatementText::VersionAnnouncement2("TestBrand", version, url, size, sha,
                                                              data["issued_at"].asInt64()),
                          data["signature2"].asString()) &&
           brand.Verifies(StatementText::VersionAnnouncement("TestBrand", version, url, size, sha),
                          data["signature"].asString());
  };
  const Json::Value first = announce();
  EXPECT_EQ(first["issued_at"].asInt64(), kStartTime);
  EXPECT_TRUE(verifies(first));
  // Seeding the same release again keeps its date; a new release has its own.
  AdvanceClock(50);
  Reseed(SeedText(), DefaultOptions());
  EXPECT_EQ(announce()["issued_at"].asInt64(), kStartTime);
  std::string seed = SeedText();
  seed.replace(seed.find("\"version\": \"5.5.9.0\""), 20, "\"version\": \"5.5.9.1\"");
  AdvanceClock(50);
  Reseed(seed, DefaultOptions());
  const Json::Value second = announce();
  EXPECT_EQ(second["version"].asString(), "5.5.9.1");
  EXPECT_EQ(second["issued_at"].asInt64(), kStartTime + 100);
  EXPECT_TRUE(verifies(second));
}

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
