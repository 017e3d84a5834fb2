#include "protect/c_browser_url.h"

#include <gtest/gtest.h>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "protect/protected_sites.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

using test::ProtectedSites;

constexpr int kChromium = AddressRoute::kChromium;
constexpr int kCompat = AddressRoute::kCompatibility;

class CBrowserUrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRegistry::Instance().Set(SettingsKeys::kUserCentre, u"tarvo://");
    SettingsRegistry::Instance().Set(SettingsKeys::kNewPage, u"http://start.test/");
    sites_.Add({"1", "https://portal.example.cn/", "http://127.0.0.1:9001/"});
    sites_.Add({"2", "tarvo://usercenter", "http://127.0.0.1:9002/"});
    // A type-2 bank host whose site is protected by an internal-scheme address too.
    sites_.Add({"3", "tarvo://www.icbc.com.cn", "http://127.0.0.1:9003/"});
    // An address that is the target of one row and the source of another.
    sites_.Add({"4", "https://a.example.cn/", "https://b.example.cn/"});
    sites_.Add({"5", "https://b.example.cn/", "http://127.0.0.1:9005/"});
  }

  test::TestDatabase store_;
  DomainList list_{store_.db()};
  ProtectedSites sites_{store_.db()};
  CBrowserUrl router_{list_, store_.db()};
};

enum class Via { kAsItStands, kTyped, kTypedOnPortal };

struct RouteCase {
  Via via;
  const char16_t* address;
  const char16_t* shown;
  const char16_t* loaded;
  bool mapped;
  int engine;
};

// One row per rule: the mapping in both directions, the engine choice, the typed
// text's completion and a page following a protected site.
constexpr RouteCase kRoutes[] = {
    {Via::kAsItStands, u"https://portal.example.cn/", u"https://portal.example.cn/", u"http://127.0.0.1:9001/", true, kCompat},
    {Via::kAsItStands, u"http://127.0.0.1:9001/login", u"https://portal.example.cn/", u"http://127.0.0.1:9001/login", true, kCompat},
    {Via::kAsItStands, u"https://example.org/", u"https://example.org/", u"https://example.org/", false, kChromium},
    {Via::kAsItStands, u"https://b.example.cn/", u"https://a.example.cn/", u"https://b.example.cn/", true, kCompat},  // target first
    {Via::kAsItStands, u"https://www.ccb.com:443/x", u"https://www.ccb.com:443/x", u"https://www.ccb.com:443/x", false, kCompat},  // seeded bank host
    // A bank host of a protected site is mapped by its host: its mirror, in the compatibility engine.
    {Via::kAsItStands, u"https://www.icbc.com.cn/index.html", u"https://www.icbc.com.cn/index.html", u"http://127.0.0.1:9003/", true, kCompat},
    {Via::kAsItStands, u"https://icbc.com.cn.example.org/", u"https://icbc.com.cn.example.org/", u"https://icbc.com.cn.example.org/", false, kChromium},
    {Via::kAsItStands, u"tarvo://usercenter", u"tarvo://usercenter", u"http://127.0.0.1:9002/", true, kChromium},
    // The internal-scheme site wins over its type-2 host, from either end.
    {Via::kAsItStands, u"tarvo://www.icbc.com.cn", u"tarvo://www.icbc.com.cn", u"http://127.0.0.1:9003/", true, kChromium},
    {Via::kAsItStands, u"http://127.0.0.1:9003/", u"tarvo://www.icbc.com.cn", u"http://127.0.0.1:9003/", true, kChromium},
    {Via::kAsItStands, u"", u"", u"", false, kChromium},
    {Via::kTyped, u"", u"http://start.test/", u"http://start.test/", false, kChromium},
    {Via::kTyped, u"  \t \u3000", u"http://start.test/", u"http://start.test/", false, kChromium},
    {Via::kTyped, u"  example.test/a b  ", u"http://example.test/a b", u"http://example.test/a b", false, kChromium},
    {Via::kTyped, u"HTTP://Example.TEST/Path", u"http://Example.TEST/Path", u"http://Example.TEST/Path", false, kChromium},
    {Via::kTyped, u"Https://x.test/", u"https://x.test/", u"https://x.test/", false, kChromium},
    {Via::kTyped, u"FILE:///tmp/A.html", u"file:///tmp/A.html", u"file:///tmp/A.html", false, kChromium},
    // Other schemes and host:port texts get "http://" in front, as they always have.
    {Via::kTyped, u"About:Blank", u"http://About:Blank", u"http://About:Blank", false, kChromium},
    {Via::kTyped, u"LOCALHOST:8080/X", u"http://LOCALHOST:8080/X", u"http://LOCALHOST:8080/X", false, kChromium},
    {Via::kTyped, u"ftp://127.0.0.1/file", u"http://ftp://127.0.0.1/file", u"http://ftp://127.0.0.1/file", false, kChromium},
    {Via::kTyped, u"www.ccb.com", u"http://www.ccb.com", u"http://www.ccb.com", false, kCompat},
    {Via::kTyped, u" https://portal.example.cn/", u"https://portal.example.cn/", u"http://127.0.0.1:9001/", true, kCompat},
    // A page on the portal keeps every address of the portal's origin on its mirror.
    {Via::kTypedOnPortal, u"https://portal.example.cn/deep/page?x=1", u"https://portal.example.cn/deep/page?x=1", u"http://127.0.0.1:9001/deep/page?x=1", true, kCompat},
    {Via::kTypedOnPortal, u"example.org/", u"http://example.org/", u"http://example.org/", false, kChromium},
};

TEST_F(CBrowserUrlTest, RoutesAnswerShownAndLoadedAddressAndEngineTogether) {
  const UrlMapping portal{u"https://portal.example.cn", u"http://127.0.0.1:9001", true};
  for (const RouteCase& row : kRoutes) {
    const AddressRoute route = row.via == Via::kAsItStands ? router_.Route(row.address)
                               : row.via == Via::kTyped    ? router_.RouteTyped(row.address)
                                                           : router_.RouteTyped(row.address, portal);
    const std::string name = WideToUtf8(row.address);
    EXPECT_EQ(route.shown, row.shown) << name;
    EXPECT_EQ(route.loaded, row.loaded) << name;
    EXPECT_EQ(route.mapped, row.mapped) << name;
    EXPECT_EQ(route.engine, row.engine) << name;
  }
}

TEST_F(CBrowserUrlTest, DisabledListMapsNothing) {
  list_.SetDomainListEnabled(false);
  const AddressRoute route = router_.Route(u"https://portal.example.cn/");
  EXPECT_FALSE(route.mapped);
  EXPECT_EQ(route.loaded, u"https://portal.example.cn/");
  EXPECT_EQ(route.engine, kChromium);
}

}  // namespace
}  // namespace tarvo
