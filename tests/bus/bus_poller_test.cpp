// The poller and the typed channels over the bus: poll order, posting order, a pass
// over some channels, posts from handlers, and ownership of payloads that nobody handles.
#include "bus/bus_poller.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "bus/bus_channels.h"
#include "bus/message_bus.h"

namespace tarvo {
namespace {

using namespace BusChannels;

// Counts its destructions, so a test can tell a payload was freed.
struct Counted {
  explicit Counted(int* destroyed) : destroyed(destroyed) {}
  ~Counted() { ++*destroyed; }
  int* destroyed;
};

class BusPollerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(MessageBus::Instance().Initialise(), 0); }
  void Record(const SignalChannel& channel) {
    poller_.On(channel, [this, &channel] { seen_.push_back(WString(channel.Key())); });
  }
  BusPoller poller_;
  std::vector<WString> seen_;
};

TEST_F(BusPollerTest, ChannelsAreDrainedInPollOrderAndEachInPostingOrder) {
  Record(kProtectShowFindDialog);
  Record(kLogout);
  poller_.On(kWindowOpenUrl, [this](UrlChannel::Owned url) { seen_.push_back(WString(url->View())); });
  kProtectShowFindDialog.Post();
  kLogout.Post();
  kLogout.Post();
  ASSERT_TRUE(PostUrl(kWindowOpenUrl, u"http://a.test/"));
  EXPECT_EQ(poller_.Drain(), 4);
  const std::vector<WString> expected = {u"http://a.test/", kLogout.Key().data(), kLogout.Key().data(),
                                         kProtectShowFindDialog.Key().data()};
  EXPECT_EQ(seen_, expected);
  EXPECT_EQ(poller_.Drain(), 0);

  // A pass over some channels leaves the others waiting.
  kLogout.Post();
  kProtectShowFindDialog.Post();
  const std::array<WStringView, 1> only = {kProtectShowFindDialog.Key()};
  EXPECT_EQ(poller_.Drain(only), 1);
  EXPECT_EQ(seen_.back(), WString(kProtectShowFindDialog.Key()));
  EXPECT_EQ(poller_.Drain(), 1);
  EXPECT_EQ(seen_.back(), WString(kLogout.Key()));
}

TEST_F(BusPollerTest, AMessagePostedByAHandlerWaitsOnlyWhenItsChannelCameEarlier) {
  Record(kReflashFavoriteBar);
  Record(kLogout);
  poller_.On(kShowRenameWnd, [this](FavoriteIdChannel::Owned id) {
    EXPECT_EQ(*id, 42);
    seen_.push_back(u"rename");
    kReflashFavoriteBar.Post();  // earlier in the order: the next drain
    kLogout.Post();           // later: this drain
  });
  ASSERT_TRUE(kShowRenameWnd.Post(std::make_unique<int64_t>(42)));
  EXPECT_EQ(poller_.Drain(), 2);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[1], WString(kLogout.Key()));
  EXPECT_EQ(poller_.Drain(), 1);
  EXPECT_EQ(seen_.back(), WString(kReflashFavoriteBar.Key()));
}

TEST_F(BusPollerTest, ADroppedChannelIsEmptiedAndItsPayloadsFreed) {
  int destroyed = 0;
  const TypedChannel<Counted> channel{kTabOpenAllUrl.Key().data()};
  poller_.Drop(channel);
  ASSERT_TRUE(channel.Post(std::make_unique<Counted>(&destroyed)));
  ASSERT_TRUE(channel.Post(std::make_unique<Counted>(&destroyed)));
  EXPECT_EQ(poller_.Drain(), 2);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(MessageBus::Instance().Pop(channel.Key()), 0u);
  // A channel the poller was never told of stays as it is.
  kProtectShowDialog.Post();
  EXPECT_EQ(poller_.Drain(), 0);
  EXPECT_TRUE(kProtectShowDialog.Take());
}

}  // namespace
}  // namespace tarvo
