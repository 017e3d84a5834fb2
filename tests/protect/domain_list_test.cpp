#include "protect/domain_list.h"

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "protect/protected_sites.h"
#include "store/info_records.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::ProtectedSites;

class DomainListTest : public ::testing::Test {
 protected:
  void SetUp() override { SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://"); }

  test::TestDatabase store_;
  DomainList list_{store_.db()};
  ProtectedSites sites_{store_.db()};
};

TEST_F(DomainListTest, EnabledOnlyWhenTheValueIsReadableAndNotZero) {
  EXPECT_TRUE(list_.IsDomainListEnabled());  // seeded "1"
  EXPECT_EQ(list_.SetDomainListEnabled(false), 0);
  EXPECT_FALSE(list_.IsDomainListEnabled());
  store_.db().Execute("delete from info where key='domainlist_enable'");
  EXPECT_FALSE(list_.IsDomainListEnabled());
  EXPECT_EQ(list_.SetDomainListEnabled(true), 0);  // a missing row is created
  EXPECT_TRUE(list_.IsDomainListEnabled());
}

// An exact address maps both ways, as the protected site's start in the end-to-end
// run does; any other address of the host maps to the other side's address.
TEST_F(DomainListTest, FallsBackToTheHost) {
  ASSERT_EQ(sites_.Add({"1", "https://bank.example.cn/", "http://127.0.0.1:9001/"}), 0);
  WString found;
  EXPECT_TRUE(list_.MapSourceToTarget(u"https://bank.example.cn/accounts?id=1", found));
  EXPECT_EQ(found, u"http://127.0.0.1:9001/");
  EXPECT_TRUE(list_.MapTargetToSource(u"http://127.0.0.1:9001/deep/page", found));
  EXPECT_EQ(found, u"https://bank.example.cn/");
  found = u"untouched";
  EXPECT_FALSE(list_.MapSourceToTarget(u"https://other.example.cn/", found));
  EXPECT_FALSE(list_.MapSourceToTarget(u"", found));
  EXPECT_FALSE(list_.MapSourceToTarget(u"http://:80/", found));  // empty host
  EXPECT_EQ(found, u"untouched");
  // Without the table every lookup fails quietly.
  store_.db().Execute("drop table domainlist");
  DomainRecord record;
  EXPECT_FALSE(list_.MapSourceToTarget(u"https://bank.example.cn/", found));
  EXPECT_FALSE(list_.MapTargetToSource(u"http://127.0.0.1:9001/", found));
  EXPECT_FALSE(list_.GetProtectRecord(u"https://bank.example.cn/", u"http://127.0.0.1:9001/", record));
}

TEST_F(DomainListTest, LowerTtlWinsAndOnlyActiveRowsCount) {
  ASSERT_EQ(sites_.Add({"1", "https://bank.example.cn/", "http://10.0.0.1/", "64"}), 0);
  ASSERT_EQ(sites_.Add({"2", "https://bank.example.cn/", "http://10.0.0.2/", "32"}), 0);
  ASSERT_EQ(sites_.Add({"3", "https://bank.example.cn/", "http://10.0.0.3/", "1", "0"}), 0);  // inactive
  WString found;
  ASSERT_TRUE(list_.MapSourceToTarget(u"https://bank.example.cn/", found));
  EXPECT_EQ(found, u"http://10.0.0.2/");
  // A mirror that did not answer (ttl 0) sorts first.
  ASSERT_EQ(sites_.Add({"4", "https://bank.example.cn/", "http://10.0.0.4/", "0"}), 0);
  ASSERT_TRUE(list_.MapSourceToTarget(u"https://bank.example.cn/", found));
  EXPECT_EQ(found, u"http://10.0.0.4/");
  EXPECT_FALSE(list_.MapTargetToSource(u"http://10.0.0.3/", found));
}

TEST_F(DomainListTest, AddressesAreStoredOnlyAsCipherText) {
  ASSERT_EQ(sites_.Add({"1", "https://bank.example.cn/", "http://127.0.0.1:9001/"}), 0);
  EXPECT_EQ(store_.db().Query("select 1 from domainlist where source_url like '%bank%' or source_domain like "
                              "'%bank%' or target_url like '%127.0.0.1%'"),
            0);
  // A quote in an address is just another byte of the lookup.
  WString found;
  EXPECT_FALSE(list_.MapSourceToTarget(u"https://x' OR '1'='1/", found));
}

TEST_F(DomainListTest, ProtectRecordForAPairOfAddresses) {
  ASSERT_EQ(sites_.Add({"9", "tarvo://usercenter", "http://127.0.0.1:9002/uc", "5", "1",
                        "http://i.example/a.png,http://i.example/b.png,http://i.example/c.png"}),
            0);
  DomainRecord record;
  ASSERT_TRUE(list_.GetProtectRecord(u"tarvo://usercenter/profile", u"http://127.0.0.1:9002/other", record));
  EXPECT_EQ(WideToUtf8(record.id + u"|" + record.sourceId + u"|" + record.sourceUrl + u"|" + record.targetUrl + u"|" +
                       record.sourceDomain + u"|" + record.targetDomain + u"|" + record.targetStatus + u"|" +
                       record.isAuth + record.isGuar + u"|" + record.signCode + u"|" + record.guarDataEn),
            "9|s9|tarvo://usercenter|http://127.0.0.1:9002/uc|usercenter|127.0.0.1|1|10|C-9|g en");
  EXPECT_EQ(record.authIconUrls,
            (std::vector<WString>{u"http://i.example/a.png", u"http://i.example/b.png", u"http://i.example/c.png"}));
  EXPECT_FALSE(list_.GetProtectRecord(u"tarvo://usercenter", u"http://127.0.0.2/", record));
}

}  // namespace
}  // namespace tarvo
