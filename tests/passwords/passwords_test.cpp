// Saved passwords below the windows: the log-in site of a page address (a mirror
// counts as its site), the rules of offering and filling, and the keeper over a real
// Secret Service (GNOME Keyring on a bus of the test's own).
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

  // The URL model maps a mirror to its site by the mirror's host alone, and leaves
  // every other address as it is; only the mirror's exact origin is the site.
  const LoginSite::SiteMapper mapper = [](WStringView url) {
    if (!url.starts_with(u"http://127.0.0.11") && !url.starts_with(u"https://127.0.0.11")) {
      return LoginSite::Mapping{WString(url), {}};
    }
    return LoginSite::Mapping{u"https://bank.tarvo.test/", u"http://127.0.0.11:8360/"};
  };
  const struct {
    const char16_t* url;
    const char16_t* origin;  // "" for no log-in site
    bool secure;
  } sites[] = {
      {u"http://127.0.0.11:8360/login", u"https://bank.tarvo.test", false},  // the page itself came over http
      {u"http://127.0.0.11:8361/login", u"http://127.0.0.11:8361", false},   // another service of the mirror's host
      {u"https://127.0.0.11:8360/", u"https://127.0.0.11:8360", true},       // another scheme
      {u"http://127.0.0.11/", u"http://127.0.0.11", false},
      {u"https://a.test:8443/x", u"https://a.test:8443", true},
      {u"data:text/html,x", u"", false},
  };
  for (const auto& [url, origin, secure] : sites) {
    const auto site = LoginSite::Of(url, mapper);
    EXPECT_EQ(site ? site->origin : WString(), origin) << WideToUtf8(url);
    EXPECT_EQ(site && site->secure, secure) << WideToUtf8(url);
  }
  const auto internal = [](WStringView) { return LoginSite::Mapping{u"tarvo://centre", u"http://127.0.0.11:8360"}; };
  EXPECT_FALSE(LoginSite::Of(u"http://127.0.0.11:8360/", internal)) << "a site at an internal address keeps nothing";
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

// Saving, updating, choosing, "never", removing, clearing and a desktop without a
// keyring run end to end; here what no window there shows.
TEST(PasswordKeeperTest, ListsWithoutPasswordsRevealsOneAndTakesBackANever) {
  PrivateKeyring keyring;
  ASSERT_TRUE(keyring.running()) << "dbus-daemon and gnome-keyring-daemon are needed";
  KeyringSession session(keyring.address());
  PasswordKeeper keeper(std::make_unique<SecretServiceKeyring>("TarvoBrowser"));
  const auto done = [&](auto call) { return Ask<KeyringResult>(call) == KeyringResult::kDone; };
  ASSERT_TRUE(done([&](auto reply) { keeper.Save({u"https://a.test", u"bob", u"sécond \"pw\"", true}, reply); }));
  ASSERT_TRUE(done([&](auto reply) { keeper.Save({u"https://a.test", u"carol", u"c", true}, reply); }));
  ASSERT_TRUE(done([&](auto reply) { keeper.MarkNever(u"https://n.test", reply); }));
  const auto listing = Ask<PasswordKeeper::Listing>([&](auto reply) { keeper.List(reply); });
  EXPECT_EQ(listing.logins.size(), 2u);
  EXPECT_EQ(listing.neverOrigins, std::vector<WString>{u"https://n.test"});
  for (const SavedLogin& login : listing.logins) EXPECT_TRUE(login.password.empty()) << "a list holds no password";

  auto [revealed, password] = Ask<std::pair<KeyringResult, WString>>([&](auto reply) {
    keeper.Reveal(u"https://a.test", u"bob", [reply](KeyringResult r, const WString& p) { reply({r, p}); });
  });
  EXPECT_EQ(revealed, KeyringResult::kDone);
  EXPECT_EQ(password, u"sécond \"pw\"");

  ASSERT_TRUE(done([&](auto reply) { keeper.UnmarkNever(u"https://n.test", reply); }));
  const auto lookup = Ask<PasswordKeeper::Lookup>([&](auto reply) { keeper.Find(u"https://n.test", reply); });
  EXPECT_EQ(lookup.result, KeyringResult::kDone);
  EXPECT_FALSE(lookup.never);
}

}  // namespace
}  // namespace tarvo::test
