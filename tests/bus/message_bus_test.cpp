// The message bus: its queues and strings, the channel table, and the poller and typed
// channels over it (poll order, posts from handlers, payloads nobody handles).
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "bus/bus_channels.h"
#include "bus/bus_poller.h"
#include "bus/bus_string.h"
#include "bus/channel_table.h"
#include "bus/message_bus.h"

namespace tarvo {
namespace {

// What a message that carries nothing posts: 0 would read as an empty channel.
constexpr uintptr_t kSignalWord = 1;
class MessageBusTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(bus_.Initialise(), 0); }
  MessageBus bus_;
};

TEST_F(MessageBusTest, EachKeyIsFirstInFirstOutAndNothingPassesBeforeInitialise) {
  MessageBus uninitialised;
  EXPECT_EQ(uninitialised.Post(u"test/signal", kSignalWord), -1);
  EXPECT_EQ(uninitialised.Pop(u"test/signal"), 0u);
  for (uintptr_t i = 1; i <= 3; ++i) ASSERT_EQ(bus_.Post(u"test/title", i), 0);
  EXPECT_EQ(bus_.Pop(u"test/title"), 1u);
  EXPECT_EQ(bus_.Pop(u"test/title"), 2u);
  ASSERT_EQ(bus_.Post(u"test/title", 4), 0);
  EXPECT_EQ(bus_.Pop(u"test/title"), 3u);
  EXPECT_EQ(bus_.Pop(u"test/title"), 4u);
  EXPECT_EQ(bus_.Pop(u"test/title"), 0u);
  EXPECT_EQ(bus_.Pop(u"never/posted"), 0u);
  // Keys are case-sensitive.
  ASSERT_EQ(bus_.Post(u"MainWnd/Logout", 9), 0);
  EXPECT_EQ(bus_.Pop(u"MAINWND/LOGOUT"), 0u);
  EXPECT_EQ(bus_.Pop(u"MainWnd/Logout"), 9u);
}

// Four producers post 100,000 numbered messages each while one consumer drains; the
// consumer must see every message once, each producer's in its posting order.
TEST_F(MessageBusTest, ConcurrentProducersLoseNothingAndKeepTheirOrder) {
  constexpr int kProducers = 4;
  constexpr uintptr_t kPosts = 100000;
  const WString shared = u"test/loading";
  std::atomic<int> failures = 0;
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      // Two producers share a key, two post to their own (created concurrently).
      const WString key = p < 2 ? shared : u"producer/" + AsciiToWide(std::to_string(p));
      for (uintptr_t i = 1; i <= kPosts; ++i) failures += bus_.Post(key, (static_cast<uintptr_t>(p) << 32) | i) != 0;
    });
  }
  std::vector<uintptr_t> next(kProducers, 1);
  uintptr_t received = 0;
  const WString keys[] = {shared, u"producer/2", u"producer/3"};
  while (received < kProducers * kPosts) {
    for (const WString& key : keys) {
      while (const uintptr_t payload = bus_.Pop(key)) {
        const auto producer = static_cast<size_t>(payload >> 32);
        ASSERT_LT(producer, next.size());
        ASSERT_EQ(payload & 0xFFFFFFFFu, next[producer]) << "producer " << producer;
        ++next[producer];
        ++received;
      }
    }
  }
  for (auto& producer : producers) producer.join();
  EXPECT_EQ(failures, 0);
  for (const WString& key : keys) EXPECT_EQ(bus_.Pop(key), 0u);
}

// Many threads create distinct channels at once while others post to existing ones:
// lookups during growth must never miss or corrupt a channel, and growth keeps the
// queued messages and the chains of colliding keys.
TEST_F(MessageBusTest, ChannelCreationDuringLookupsIsSafe) {
  constexpr int kCreators = 3;
  constexpr int kKeysEach = 200;
  std::atomic<bool> stop = false;
  std::atomic<int> failures = 0;
  ASSERT_EQ(bus_.Post(u"steady", 1), 0);
  std::thread steady([&] {
    uintptr_t posted = 0;
    while (!stop) {
      failures += bus_.Post(u"steady", 2) != 0;
      ++posted;
    }
  });
  std::vector<std::thread> creators;
  for (int c = 0; c < kCreators; ++c) {
    creators.emplace_back([&, c] {
      for (int k = 0; k < kKeysEach; ++k) {
        failures += bus_.Post(u"key/" + AsciiToWide(std::to_string(c * kKeysEach + k)), k + 1) != 0;
      }
    });
  }
  for (auto& creator : creators) creator.join();
  stop = true;
  steady.join();
  EXPECT_EQ(failures, 0);
  for (int key = 0; key < kCreators * kKeysEach; ++key) {
    EXPECT_EQ(bus_.Pop(u"key/" + AsciiToWide(std::to_string(key))), static_cast<uintptr_t>(key % kKeysEach + 1));
  }
  EXPECT_EQ(bus_.Pop(u"steady"), 1u);
  EXPECT_GE(bus_.BucketCount(), 1021u);
}

TEST(BusStringTest, HoldsCountsTextAndTerminatorInOneBlock) {
  // A null source is empty, without a block for text; embedded zero units are kept.
  const struct {
    BusString* string;
    WStringView text;
    uint32_t capacity;
  } cases[] = {{BusString::Create(u"http://x.example/路径"), u"http://x.example/路径", 20},
               {BusString::Create(static_cast<const char16_t*>(nullptr)), u"", 0},
               {BusString::Create(WStringView(u"a\0b", 3)), WStringView(u"a\0b", 3), 4}};
  for (const auto& c : cases) {
    ASSERT_NE(c.string, nullptr);
    EXPECT_EQ(c.string->length, c.text.size());
    EXPECT_EQ(c.string->capacity, c.capacity);
    EXPECT_EQ(c.string->View(), c.text);
    EXPECT_EQ(c.string->Units()[c.string->length], u'\0');
    BusString::Free(c.string);
  }
}

TEST(ChannelTableTest, KeysCompareByLengthFirstThenUnitsAndCollidingKeysStayDistinct) {
  EXPECT_LT(ChannelTable::CompareKeys(u"zz", u"aaa"), 0);
  EXPECT_GT(ChannelTable::CompareKeys(u"b", u"a"), 0);
  EXPECT_LT(ChannelTable::CompareKeys(u"A", u"a"), 0);
  EXPECT_GT(ChannelTable::CompareKeys(u"\xFFFF", u"a"), 0) << "units compare unsigned";
  EXPECT_EQ(ChannelTable::CompareKeys(u"same", u"same"), 0);

  ChannelTable table;
  // "ab" and "ba" have the same sum, so they share a bucket at every size.
  BusChannel* ab = table.Insert(u"ab");
  BusChannel* ba = table.Insert(u"ba");
  EXPECT_NE(ab, ba);
  EXPECT_EQ(table.Find(u"ab"), ab);
  EXPECT_EQ(table.Find(u"ba"), ba);
  EXPECT_EQ(table.Insert(u"ab"), ab) << "a present key keeps its channel";
  EXPECT_EQ(table.Size(), 2u);
  EXPECT_EQ(table.Find(u"aab"), nullptr);
}

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
