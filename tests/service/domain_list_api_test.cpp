#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "loopback_probe.h"
#include "service_fixture.h"

namespace tarvo::service::test {
namespace {

class DomainListApi : public ServiceFixture {
 protected:
  ServiceReply DomainList(const std::string& latestTime) {
    // The browser's own form: fixed parameters spliced in as they stand.
    return PostRaw("app/v1.0/domain_list",
                   "latest_time=" + latestTime + "&platform=3&client_version=0&brand=TestBrand");
  }

  // Restarts the service on the same data file with another seed.
  void Reseed(const std::string& seedText) {
    const std::string original = TestData("seed.json");
    std::string text = seedText;
    const auto path = dir_.WriteFile("reseed/seed.json", text);
    std::filesystem::copy(std::filesystem::path(original).parent_path() / "pages", dir_.path() / "reseed" / "pages",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
    for (const char* folder : {"installer", "icons"}) {
      std::filesystem::copy(std::filesystem::path(original).parent_path() / folder, dir_.path() / "reseed" / folder,
                            std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
    }
    service_->Stop();
    service_.reset();
    ServiceOptions options = DefaultOptions();
    options.seedPath = path.string();
    StartService(options);
  }

  static std::string SeedText() {
    std::ifstream file(TestData("seed.json"));
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
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
  Reseed(seed);

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
  Reseed(seed);
  EXPECT_EQ(DomainList(std::to_string(kStartTime + 10)).data()["domain_list"].size(), 0u);
}

}  // namespace
}  // namespace tarvo::service::test
