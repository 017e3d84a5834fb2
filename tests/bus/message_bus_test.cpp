#include "bus/message_bus.h"

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "bus/bus_keys.h"

namespace tarvo {
namespace {

// What a message that carries nothing posts: 0 would read as an empty channel.
constexpr uintptr_t kSignalWord = 1;

class MessageBusTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(bus_.Initialise(), 0); }
  MessageBus bus_;
};

TEST(MessageBusUninitialisedTest, PostFailsAndPopIsEmptyBeforeInitialise) {
  MessageBus bus;
  EXPECT_EQ(bus.Post(BusKeys::kLogout, kSignalWord), -1);
  EXPECT_EQ(bus.Pop(BusKeys::kLogout), 0u);
  EXPECT_EQ(bus.BucketCount(), 0u);
}

TEST_F(MessageBusTest, EachKeyIsFirstInFirstOut) {
  for (uintptr_t i = 1; i <= 3; ++i) ASSERT_EQ(bus_.Post(BusKeys::kPageSetTitle, i), 0);
  EXPECT_EQ(bus_.Pop(BusKeys::kPageSetTitle), 1u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPageSetTitle), 2u);
  ASSERT_EQ(bus_.Post(BusKeys::kPageSetTitle, 4), 0);
  EXPECT_EQ(bus_.Pop(BusKeys::kPageSetTitle), 3u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPageSetTitle), 4u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPageSetTitle), 0u);
  EXPECT_EQ(bus_.Pop(u"never/posted"), 0u);
  // Keys are case-sensitive.
  ASSERT_EQ(bus_.Post(u"MainWnd/Logout", 9), 0);
  EXPECT_EQ(bus_.Pop(u"MAINWND/LOGOUT"), 0u);
  EXPECT_EQ(bus_.Pop(u"MainWnd/Logout"), 9u);
}

TEST_F(MessageBusTest, GrowthAtTheTenthKeyKeepsQueuedMessages) {
  for (int key = 0; key < 9; ++key) ASSERT_EQ(bus_.Post(BusKeys::kPollOrder[key], 100 + key), 0);
  EXPECT_EQ(bus_.BucketCount(), 13u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPollOrder[0]), 100u);
  ASSERT_EQ(bus_.Post(BusKeys::kPollOrder[1], 201), 0);
  ASSERT_EQ(bus_.Post(BusKeys::kPollOrder[9], 109), 0);  // (9 + 1) / 13 > 0.7
  EXPECT_EQ(bus_.BucketCount(), 29u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPollOrder[0]), 0u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPollOrder[1]), 101u);
  EXPECT_EQ(bus_.Pop(BusKeys::kPollOrder[1]), 201u);
  for (int key = 2; key <= 9; ++key) {
    EXPECT_EQ(bus_.Pop(BusKeys::kPollOrder[key]), static_cast<uintptr_t>(100 + key));
    EXPECT_EQ(bus_.Pop(BusKeys::kPollOrder[key]), 0u);
  }
}

// Four producers post 100,000 numbered messages each while one consumer drains; the
// consumer must see every message once, each producer's in its posting order.
TEST_F(MessageBusTest, ConcurrentProducersLoseNothingAndKeepTheirOrder) {
  constexpr int kProducers = 4;
  constexpr uintptr_t kPosts = 100000;
  const WString shared = BusKeys::kPageIsLoading;
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
// lookups during growth must never miss or corrupt a channel.
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

}  // namespace
}  // namespace tarvo
