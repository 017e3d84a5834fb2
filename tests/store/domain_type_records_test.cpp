#include "store/domain_type_records.h"

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>

#include "store/seed_hosts.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::TestDatabase;

TEST(DomainTypeRecords, SeededBankHostsAreTypeTwoAndOthersTypeOne) {
  TestDatabase store;
  DomainTypeRecords types(store.db());
  EXPECT_EQ(types.GetDomainType(u"www.icbc.com.cn"), 2);
  EXPECT_EQ(types.GetDomainType(u"cc.cmbchina.com"), 2);
  EXPECT_EQ(types.GetDomainType(u"ipcrs.pbccrc.org.cn"), 2);
  EXPECT_EQ(types.GetDomainType(u"www.example.com"), 1);
  EXPECT_EQ(types.GetDomainType(u""), 1);
  // Exact host only: neither a parent domain nor a different case matches.
  EXPECT_EQ(types.GetDomainType(u"icbc.com.cn.evil.example"), 1);
  EXPECT_EQ(types.GetDomainType(u"WWW.ICBC.COM.CN"), 1);
  EXPECT_EQ(types.GetDomainType(u"' or '1'='1"), 1);
  store.db().Execute("drop table domain_type");
  EXPECT_EQ(types.GetDomainType(u"www.icbc.com.cn"), 1);
}

TEST(DomainTypeRecords, SeedListsAreDistinctLowerCaseHostNames) {
  std::set<std::string_view> all;
  for (const auto& list : {std::span<const std::string_view>(kLargeBankHosts),
                           std::span<const std::string_view>(kMerchantsBankHosts),
                           std::span<const std::string_view>(kBankServiceHosts)}) {
    for (const std::string_view host : list) {
      EXPECT_TRUE(all.insert(host).second) << host;
      EXPECT_EQ(host.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.-"), std::string_view::npos) << host;
      EXPECT_NE(host.find('.'), std::string_view::npos) << host;
    }
  }
  EXPECT_EQ(all.size(), 361u);
  EXPECT_FALSE(all.contains(kRetiredTestHost));
}

}  // namespace
}  // namespace tarvo
