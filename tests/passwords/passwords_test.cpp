// Saved passwords below the windows: the log-in site of a page address (a mirror
// counts as its site), the rules of offering and filling, and the keeper over a real
// Secret Service (GNOME Keyring on a bus of the test's own) and over none.
#include <future>

#include <gtest/gtest.h>

#include "passwords/keyring_session.h"
#include "passwords/login_policy.h"
#include "passwords/login_site.h"
#include "passwords/password_keeper.h"
#include "passwords/secret_service_keyring.h"
#include "support/private_keyring.h"

namespace tarvo::test {
namespace {

using namespace std::chrono_literals;

TEST(LoginSiteTest, OriginsAndSitesOfPageAddresses) {
  const struct {
    const char16_t* url;
    const char16_t* origin;
  } origins[] = {
      {u"https://Example.COM/login?x=1", u"https://example.com"},
      {u"HTTP://example.com:80/", u"http://example.com"},
      {u"https://example.com:443#top", u"https://example.com"},
      {u"http://example.com:8080/a", u"http://example.com:8080"},
      {u"http://127.0.0.1:008080", u"http://127.0.0.1:8080"},
      {u"http://[::1]:99/", u"http://[::1]:99"},
      {u"http://user:pw@evil.test@bank.test/", u""},
      {u"ftp://example.com/", u""},
      {u"about:blank", u""},
      {u"http:///path", u""},
      {u"http://example.com:8o/", u""},
  };
  for (const auto& [url, origin] : origins) EXPECT_EQ(LoginSite::OriginOf(url), origin) << WideToUtf8(url);

  // The URL model maps a mirror to its site and leaves every other address as it is.
  const LoginSite::SiteMapper mapper = [](WStringView url) {
    return url.starts_with(u"http://127.0.0.11:8360") ? WString(u"https://bank.tarvo.test/") : WString(url);
  };
  const auto mirror = LoginSite::Of(u"http://127.0.0.11:8360/login", mapper);
  ASSERT_TRUE(mirror.has_value());
  EXPECT_EQ(mirror->origin, u"https://bank.tarvo.test");
  EXPECT_FALSE(mirror->secure) << "the page itself came over http";
  const auto secure = LoginSite::Of(u"https://a.test:8443/x", mapper);
  ASSERT_TRUE(secure.has_value());
  EXPECT_EQ(secure->origin, u"https://a.test:8443");
  EXPECT_TRUE(secure->secure);
  EXPECT_FALSE(LoginSite::Of(u"data:text/html,x", mapper).has_value());
  EXPECT_FALSE(LoginSite::Of(u"http://127.0.0.11:8360/", [](WStringView) { return WString(u"tarvo://centre"); }))
      << "a site at an internal address keeps nothing";
}

TEST(LoginPolicyTest, WhatIsOfferedAndWhatMayBeFilled) {
  const std::vector<SavedLogin> saved = {{u"https://a.test", u"bob", u"old", true},
                                         {u"https://a.test", u"", u"pin", false}};
  const struct {
    const char16_t* username;
    const char16_t* password;
    bool visible;
    bool never;
    LoginOffer offer;
  } offers[] = {
      {u"carol", u"new", true, false, LoginOffer::kSave},  {u"bob", u"new", true, false, LoginOffer::kUpdate},
      {u"bob", u"old", true, false, LoginOffer::kNone},    {u"", u"pin", true, false, LoginOffer::kNone},
      {u"carol", u"", true, false, LoginOffer::kNone},     {u"carol", u"new", false, false, LoginOffer::kNone},
      {u"carol", u"new", true, true, LoginOffer::kNone},
  };
  for (const auto& [username, password, visible, never, offer] : offers) {
    EXPECT_EQ(LoginPolicy::OfferFor(username, password, visible, saved, never), offer)
        << WideToUtf8(username) << " " << WideToUtf8(password);
  }
  EXPECT_EQ(LoginPolicy::Fillable({u"https://a.test", true}, saved).size(), 2u);
  const auto insecure = LoginPolicy::Fillable({u"https://a.test", false}, saved);
  ASSERT_EQ(insecure.size(), 1u) << "an http page (a mirror of the site) gets nothing taken on https";
  EXPECT_EQ(insecure[0].username, u"");
  EXPECT_TRUE(LoginPolicy::Fillable({u"https://b.test", true}, saved).empty());
}

// The keeper's answer to one call, waited for.
template <class Answer, class Call>
Answer Ask(Call call) {
  auto promise = std::make_shared<std::promise<Answer>>();
  auto answer = promise->get_future();
  call([promise](Answer value) { promise->set_value(std::move(value)); });
  EXPECT_EQ(answer.wait_for(30s), std::future_status::ready);
  return answer.get();
}

TEST(PasswordKeeperTest, KeepsLogInsInTheDesktopKeyringAndSaysWhenThereIsNone) {
  {
    KeyringSession nowhere("unix:path=/nonexistent/tarvo-bus");
    PasswordKeeper keeper(std::make_unique<SecretServiceKeyring>("TarvoBrowser"));
    EXPECT_EQ(Ask<KeyringResult>([&](auto done) { keeper.Save({u"https://a.test", u"bob", u"pw", true}, done); }),
              KeyringResult::kUnavailable);
    EXPECT_EQ(Ask<PasswordKeeper::Lookup>([&](auto done) { keeper.Find(u"https://a.test", done); }).result,
              KeyringResult::kUnavailable);
  }

  PrivateKeyring keyring;
  ASSERT_TRUE(keyring.running()) << "dbus-daemon and gnome-keyring-daemon are needed";
  KeyringSession session(keyring.address());
  PasswordKeeper keeper(std::make_unique<SecretServiceKeyring>("TarvoBrowser"));
  auto save = [&](SavedLogin login) {
    return Ask<KeyringResult>([&](auto done) { keeper.Save(login, done); });
  };
  auto find = [&](const WString& origin) {
    return Ask<PasswordKeeper::Lookup>([&](auto done) { keeper.Find(origin, done); });
  };
  ASSERT_EQ(save({u"https://a.test", u"bob", u"first", false}), KeyringResult::kDone);
  ASSERT_EQ(save({u"https://a.test", u"bob", u"sécond \"pw\"", true}), KeyringResult::kDone);
  ASSERT_EQ(save({u"https://a.test", u"carol", u"c", true}), KeyringResult::kDone);
  ASSERT_EQ(save({u"https://b.test:8443", u"bob", u"b", true}), KeyringResult::kDone);

  PasswordKeeper::Lookup a = find(u"https://a.test");
  ASSERT_EQ(a.result, KeyringResult::kDone);
  std::sort(a.logins.begin(), a.logins.end(), [](auto& x, auto& y) { return x.username < y.username; });
  ASSERT_EQ(a.logins.size(), 2u) << "one item per origin and user name, whichever page it came from";
  EXPECT_EQ(a.logins[0], (SavedLogin{u"https://a.test", u"bob", u"sécond \"pw\"", true}));
  EXPECT_FALSE(a.never);

  ASSERT_EQ(Ask<KeyringResult>([&](auto done) { keeper.MarkNever(u"https://n.test", done); }), KeyringResult::kDone);
  EXPECT_TRUE(find(u"https://n.test").never);
  ASSERT_EQ(Ask<KeyringResult>([&](auto done) { keeper.UnmarkNever(u"https://n.test", done); }), KeyringResult::kDone);
  EXPECT_FALSE(find(u"https://n.test").never);
  ASSERT_EQ(Ask<KeyringResult>([&](auto done) { keeper.MarkNever(u"https://n.test", done); }), KeyringResult::kDone);
  const auto listing = Ask<PasswordKeeper::Listing>([&](auto done) { keeper.List(done); });
  EXPECT_EQ(listing.logins.size(), 3u);
  EXPECT_EQ(listing.neverOrigins, std::vector<WString>{u"https://n.test"});
  for (const SavedLogin& login : listing.logins) EXPECT_TRUE(login.password.empty()) << "a list holds no password";

  auto [revealed, password] = Ask<std::pair<KeyringResult, WString>>([&](auto done) {
    keeper.Reveal(u"https://a.test", u"carol", [done](KeyringResult r, const WString& p) { done({r, p}); });
  });
  EXPECT_EQ(revealed, KeyringResult::kDone);
  EXPECT_EQ(password, u"c");

  ASSERT_EQ(Ask<KeyringResult>([&](auto done) { keeper.Remove(u"https://a.test", u"carol", done); }),
            KeyringResult::kDone);
  EXPECT_EQ(find(u"https://a.test").logins.size(), 1u);
  EXPECT_EQ(keeper.RemoveAllNow(30s), KeyringResult::kDone);
  const auto empty = Ask<PasswordKeeper::Listing>([&](auto done) { keeper.List(done); });
  EXPECT_TRUE(empty.logins.empty() && empty.neverOrigins.empty());
}

}  // namespace
}  // namespace tarvo::test
