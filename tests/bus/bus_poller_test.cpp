// The poller and the typed channels over the bus: poll order (the order handlers were
// installed in), posting order, a pass over some channels, posts from handlers, and
// ownership of payloads that nobody handles.
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

// Channels of the test's own, so the order is the one the test installs.
constexpr SignalChannel kAlpha{u"test/alpha"};
constexpr SignalChannel kBeta{u"test/beta"};
constexpr SignalChannel kUnhandled{u"test/unhandled"};
constexpr TypedChannel<int64_t> kNumber{u"test/number"};
constexpr UrlChannel kUrl{u"test/url"};

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

TEST_F(BusPollerTest, ChannelsAreDrainedInInstallationOrderAndEachInPostingOrder) {
  poller_.On(kUrl, [this](UrlChannel::Owned url) { seen_.push_back(WString(url->View())); });
  Record(kBeta);
  Record(kAlpha);
  Record(kBeta);  // a handler replaced keeps its channel's place
  kAlpha.Post();
  kBeta.Post();
  kBeta.Post();
  ASSERT_TRUE(PostUrl(kUrl, u"http://a.test/"));
  EXPECT_EQ(poller_.Drain(), 4);
  const std::vector<WString> expected = {u"http://a.test/", kBeta.Key().data(), kBeta.Key().data(),
                                         kAlpha.Key().data()};
  EXPECT_EQ(seen_, expected);
  EXPECT_EQ(poller_.Drain(), 0);

  // A pass over some channels leaves the others waiting.
  kBeta.Post();
  kAlpha.Post();
  const std::array<WStringView, 1> only = {kAlpha.Key()};
  EXPECT_EQ(poller_.Drain(only), 1);
  EXPECT_EQ(seen_.back(), WString(kAlpha.Key()));
  EXPECT_EQ(poller_.Drain(), 1);
  EXPECT_EQ(seen_.back(), WString(kBeta.Key()));
}

TEST_F(BusPollerTest, AMessagePostedByAHandlerWaitsOnlyWhenItsChannelCameEarlier) {
  Record(kAlpha);
  poller_.On(kNumber, [this](TypedChannel<int64_t>::Owned id) {
    EXPECT_EQ(*id, 42);
    seen_.push_back(u"number");
    kAlpha.Post();  // earlier in the order: the next drain
    kBeta.Post();   // later: this drain
  });
  Record(kBeta);
  ASSERT_TRUE(kNumber.Post(std::make_unique<int64_t>(42)));
  EXPECT_EQ(poller_.Drain(), 2);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[1], WString(kBeta.Key()));
  EXPECT_EQ(poller_.Drain(), 1);
  EXPECT_EQ(seen_.back(), WString(kAlpha.Key()));
}

TEST_F(BusPollerTest, ADroppedChannelIsEmptiedAndItsPayloadsFreed) {
  int destroyed = 0;
  const TypedChannel<Counted> channel{u"test/dropped"};
  poller_.Drop(channel);
  ASSERT_TRUE(channel.Post(std::make_unique<Counted>(&destroyed)));
  ASSERT_TRUE(channel.Post(std::make_unique<Counted>(&destroyed)));
  EXPECT_EQ(poller_.Drain(), 2);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(MessageBus::Instance().Pop(channel.Key()), 0u);
  // A channel the poller was never told of stays as it is.
  kUnhandled.Post();
  EXPECT_EQ(poller_.Drain(), 0);
  EXPECT_TRUE(kUnhandled.Take());
}

}  // namespace
}  // namespace tarvo
