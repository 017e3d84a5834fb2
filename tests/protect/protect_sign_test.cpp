// What the certification window takes from a domain list row, and its authority
// icons: names that never leave the cache folder, fetches from loopback that are
// bounded in size, and the later of two fetches of one name winning.
#include <algorithm>
#include <filesystem>
#include <future>

#include <gtest/gtest.h>

#include "account/account_state.h"
#include "support/loopback_http_server.h"
#include "protect/authority_icon_cache.h"
#include "protect/protect_sign_details.h"
#include "protect/qr_reader.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// No VPN; the state outlives the detached fetches.
VpnRoute Direct() {
  static const AccountState* offline = new AccountState();
  return VpnRoute(*offline);
}
using Tab = ProtectSignDetails::Tab;

DomainRecord Record(const char16_t* auth, const char16_t* sign, const char16_t* guar, size_t icons = 0) {
  DomainRecord record;
  record.isAuth = auth;
  record.isSign = sign;
  record.isGuar = guar;
  record.signGrade = u"一级";
  record.signGradeEn = u"Grade A";
  record.signCode = u"TB-1";
  record.signDesc = u"描述";
  record.signDescEn = u"";
  record.guarData = u"保障";
  record.guarDataEn = u"Guaranteed";
  for (size_t i = 0; i < icons; ++i) record.authIconUrls.push_back(u"http://ca.test/" + Utf8ToWide(std::to_string(i)));
  return record;
}

TEST(ProtectSignDetailsTest, FlagsFirstTabLanguageAndIcons) {
  struct Case {
    DomainRecord record;
    bool chinese;
    bool auth, sign, guar;
    Tab first;
    size_t icons;
  };
  const Case cases[] = {
      {Record(u"1", u"1", u"1", 2), true, true, true, true, ProtectSignDetails::kAuthorityTab, 2},
      {Record(u"0", u"2", u"1"), false, false, false, true, ProtectSignDetails::kGuaranteeTab, 0},
      {Record(u"0", u"1", u"0", 12), false, false, true, false, ProtectSignDetails::kSignatureTab, 10},
      {Record(u"", u" 1", u"true"), false, false, false, false, ProtectSignDetails::kAuthorityTab, 0},
  };
  for (const Case& c : cases) {
    const ProtectSignDetails details = ProtectSignDetails::FromRecord(c.record, c.chinese);
    EXPECT_EQ(details.hasAuthority, c.auth);
    EXPECT_EQ(details.hasSignature, c.sign);
    EXPECT_EQ(details.hasGuarantee, c.guar);
    EXPECT_EQ(details.FirstTab(), c.first);
    ASSERT_EQ(details.iconUrls.size(), c.icons);
    EXPECT_TRUE(std::equal(details.iconUrls.begin(), details.iconUrls.end(), c.record.authIconUrls.begin()));
    EXPECT_EQ(details.code, u"TB-1");
    EXPECT_EQ(details.grade, c.chinese ? u"一级" : u"Grade A");
    EXPECT_EQ(details.description, c.chinese ? u"描述" : u"");  // an empty text stays empty
    EXPECT_EQ(details.guarantee, c.chinese ? u"保障" : u"Guaranteed");
  }
}

TEST(AuthorityIconCacheTest, NamesStayInsideTheCacheFolder) {
  const AuthorityIconCache cache(u"/cache/", Direct());
  EXPECT_EQ(cache.PathFor(u"http://ca.test/icons/a.png", 0), u"/cache/ca.test_sign00");
  EXPECT_EQ(cache.PathFor(u"https://ca.test:8443/b", 10), u"/cache/ca.test_sign10");
  EXPECT_EQ(cache.PathFor(u"http://a/../../etc/passwd", 7), u"/cache/a_sign07");
  const WString refused[] = {
      u"http://../x.png", u"http://..%2F..%2Fetc/x", u"http://a..b/x", u"http://.hidden/x",
      WString(u"http://a\0b/x", 12), u"http://a\\..\\b/x", u"http:///x.png", u"ftp://ca.test/x",
      u"file:///etc/passwd", u"", u"javascript:alert(1)"};
  for (const WString& url : refused) EXPECT_EQ(cache.PathFor(url, 0), u"") << WideToUtf8(url);
  EXPECT_EQ(cache.PathFor(u"http://ca.test/x", 100), u"");
  EXPECT_EQ(AuthorityIconCache(u"", Direct()).PathFor(u"http://ca.test/x", 0), u"");
}

TEST(AuthorityIconCacheTest, FetchesAreBoundedAndTheLaterRequestWins) {
  const std::string icon = test::ReadWholeFile(std::string(std::getenv("TARVO_SOURCE_DIR")) +
                                               "/service/seed/icons/authority.png");
  ASSERT_FALSE(icon.empty());
  test::LoopbackHttpServer server([&](const test::ReceivedRequest& request) {
    if (request.target == "/icon.png") return test::LoopbackHttpServer::Ok(icon);
    if (request.target == "/slow.png") {
      test::ScriptedReply slow = test::LoopbackHttpServer::Ok(icon);
      slow.delayMs = 300;
      return slow;
    }
    if (request.target == "/huge.png") {
      test::ScriptedReply huge{"HTTP/1.1 200 OK\r\nContent-Length: 10485760\r\n\r\n", ""};
      huge.generatedBytes = 10 * 1024 * 1024;
      return huge;
    }
    return test::ScriptedReply{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", ""};
  });
  test::TempDir dir;
  const AuthorityIconCache cache(Utf8ToWide(dir.path().string() + "/"), Direct());
  const fs::path file = dir.path() / "127.0.0.1_sign00";

  EXPECT_TRUE(cache.Fetch(server.WideUrl("/icon.png"), 0));
  EXPECT_EQ(test::ReadWholeFile(file.string()), icon);
  EXPECT_FALSE(cache.Fetch(server.WideUrl("/huge.png"), 1));
  EXPECT_FALSE(cache.Fetch(server.WideUrl("/missing.png"), 2));

  // The older request answers last; the newer one's icon stays.
  auto older = std::make_shared<std::promise<void>>();
  ASSERT_TRUE(cache.FetchAsync(server.WideUrl("/slow.png"), 0, [older](const WString&, const WString&) {
    older->set_value();
  }));
  const auto slowAsked = [&server] {
    for (const auto& request : server.Requests()) if (request.target == "/slow.png") return true;
    return false;
  };
  while (!slowAsked()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(cache.Fetch(server.WideUrl("/icon.png"), 0));
  // The slow answer arrives well within the wait, and is dropped: never "done".
  EXPECT_EQ(older->get_future().wait_for(std::chrono::milliseconds(1500)), std::future_status::timeout);
  EXPECT_EQ(test::ReadWholeFile(file.string()), icon);
  // Nothing else was left: no partial download, no oversized icon.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"127.0.0.1_sign00"});
}

}  // namespace
}  // namespace tarvo
