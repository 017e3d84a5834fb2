#include "account/account_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tarvo {
namespace {

class AccountStateTest : public ::testing::Test {
 protected:
  AccountState state;
};

TEST_F(AccountStateTest, WhiteListMatchesTheExactHostOnlyWhileActive) {
  state.SetWhiteList({u"example.com", u"127.0.0.1"});

  state.SetWhiteListActive(false);
  // An inactive list lets every address through, listed or not.
  EXPECT_TRUE(state.IsWhiteListed(u"http://elsewhere.org/"));
  EXPECT_TRUE(state.IsWhiteListed(u""));

  state.SetWhiteListActive(true);
  EXPECT_TRUE(state.IsWhiteListed(u"http://example.com/path?q=1"));
  EXPECT_TRUE(state.IsWhiteListed(u"https://example.com:8443/"));
  EXPECT_TRUE(state.IsWhiteListed(u"http://127.0.0.1:8080/x"));
  // Host equality, not a suffix or prefix match.
  EXPECT_FALSE(state.IsWhiteListed(u"http://www.example.com/"));
  EXPECT_FALSE(state.IsWhiteListed(u"http://example.com.evil.org/"));
  EXPECT_FALSE(state.IsWhiteListed(u"http://elsewhere.org/example.com"));

  state.SetWhiteList({});
  EXPECT_FALSE(state.IsWhiteListed(u"http://example.com/"));
}

TEST_F(AccountStateTest, ConnectionIsReplacedAndReadAsOneChange) {
  EXPECT_FALSE(state.IsConnected());
  state.SetConnection({u"10.0.0.7", u"3128", u"n1", u"token-1", true, false});
  EXPECT_TRUE(state.IsConnected());

  // Readers on other threads (the engine's request handling) see either the old or
  // the new connection, never a token from one with the node of the other.
  std::atomic<bool> stop = false;
  std::atomic<int> torn = 0;
  std::thread reader([&] {
    while (!stop.load()) {
      const auto seen = state.Connection();
      if (seen.nodeId.substr(1) != seen.proxyToken.substr(6)) ++torn;
    }
  });
  for (int i = 0; i < 5000; ++i) {
    const WString serial = AsciiToWide(std::to_string(i));
    state.SetConnection({u"10.0.0.7", u"3128", u"n" + serial, u"token-" + serial, (i % 2) == 0, false});
  }
  stop = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace tarvo
