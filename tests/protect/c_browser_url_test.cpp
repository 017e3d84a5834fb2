#include "protect/c_browser_url.h"

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "protect/protected_sites.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::ProtectedSites;

class CBrowserUrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://");
    sites_.Add({"1", "https://portal.example.cn/", "http://127.0.0.1:9001/"});
    sites_.Add({"2", "tarvo://usercenter", "http://127.0.0.1:9002/"});
    // A type-2 bank host whose site is protected by an internal-scheme address too.
    sites_.Add({"3", "tarvo://www.icbc.com.cn", "http://127.0.0.1:9003/"});
  }

  test::TestDatabase store_;
  DomainList list_{store_.db()};
  ProtectedSites sites_{store_.db()};
  CBrowserUrl router_{list_, store_.db()};
};

TEST_F(CBrowserUrlTest, MapsSitesToMirrorsAndMirrorsToSites) {
  const UrlMapping site = router_.MapUrl(u"https://portal.example.cn/");
  EXPECT_TRUE(site.mapped);
  EXPECT_EQ(site.source, u"https://portal.example.cn/");
  EXPECT_EQ(site.target, u"http://127.0.0.1:9001/");
  const UrlMapping mirror = router_.MapUrl(u"http://127.0.0.1:9001/login");
  EXPECT_TRUE(mirror.mapped);
  EXPECT_EQ(mirror.source, u"https://portal.example.cn/");
  EXPECT_EQ(mirror.target, u"http://127.0.0.1:9001/login");
  const UrlMapping plain = router_.MapUrl(u"https://example.org/");
  EXPECT_FALSE(plain.mapped);
  EXPECT_EQ(plain.source, u"https://example.org/");
  EXPECT_EQ(plain.target, u"https://example.org/");
}

TEST_F(CBrowserUrlTest, TargetsAreLookedUpBeforeSources) {
  // The address is the source of one row and the target of another: the target
  // lookup wins, so the address is shown as the other row's site.
  sites_.Add({"4", "https://a.example.cn/", "https://b.example.cn/"});
  sites_.Add({"5", "https://b.example.cn/", "http://127.0.0.1:9005/"});
  const UrlMapping mapping = router_.MapUrl(u"https://b.example.cn/");
  EXPECT_TRUE(mapping.mapped);
  EXPECT_EQ(mapping.source, u"https://a.example.cn/");
  EXPECT_EQ(mapping.target, u"https://b.example.cn/");
}

TEST_F(CBrowserUrlTest, DisabledListMapsNothing) {
  list_.SetDomainListEnabled(false);
  EXPECT_FALSE(router_.MapUrl(u"https://portal.example.cn/").mapped);
  EXPECT_EQ(router_.GetEngineType(u"https://portal.example.cn/"), 1);
  store_.db().Execute("delete from info where key='domainlist_enable'");
  EXPECT_FALSE(router_.MapUrl(u"https://portal.example.cn/").mapped);
}

TEST_F(CBrowserUrlTest, EngineChoice) {
  EXPECT_EQ(router_.GetEngineType(u"https://example.org/"), 1);
  EXPECT_EQ(router_.GetEngineType(u"https://www.icbc.com.cn/index.html"), 2);  // seeded bank host
  EXPECT_EQ(router_.GetEngineType(u"https://portal.example.cn/"), 2);         // protected site
  EXPECT_EQ(router_.GetEngineType(u"tarvo://usercenter"), 1);                 // internal-scheme site
  // Internal-scheme source wins even though the mirror's shown host is type 2.
  EXPECT_TRUE(router_.IsIeDomain(u"tarvo://www.icbc.com.cn"));
  EXPECT_EQ(router_.GetEngineType(u"tarvo://www.icbc.com.cn"), 1);
  EXPECT_EQ(router_.GetEngineType(u"http://127.0.0.1:9003/"), 1);
}

TEST_F(CBrowserUrlTest, IeDomainIsTheExactHostOfANonEmptyUrl) {
  EXPECT_TRUE(router_.IsIeDomain(u"https://www.icbc.com.cn:443/x"));
  EXPECT_FALSE(router_.IsIeDomain(u"https://icbc.com.cn.example.org/"));
  EXPECT_FALSE(router_.IsIeDomain(u""));
}

TEST_F(CBrowserUrlTest, PageUrlCarriesShownAndLoadedAddress) {
  const PageUrl page = router_.MakePageUrl(u"tarvo://usercenter");
  EXPECT_EQ(page.url, u"tarvo://usercenter");
  EXPECT_EQ(page.realUrl, u"http://127.0.0.1:9002/");
  EXPECT_TRUE(page.mapped);
  EXPECT_EQ(page.historyId, 0);
}

}  // namespace
}  // namespace tarvo
