// Post+pop pairs through the message bus next to the simplest alternative: one
// std::mutex around a map of std::deque queues keyed by the same UTF-16 strings.
#include <benchmark/benchmark.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <string>
#include "bus/message_bus.h"

namespace {

using tarvo::WString;
using tarvo::WStringView;

class BaselineQueue {
 public:
  void Post(WStringView key, uintptr_t payload) {
    std::lock_guard lock(mutex_);
    queues_[WString(key)].push_back(payload);
  }
  uintptr_t Pop(WStringView key) {
    std::lock_guard lock(mutex_);
    auto found = queues_.find(WString(key));
    if (found == queues_.end() || found->second.empty()) {
      return 0;
    }
    const uintptr_t payload = found->second.front();
    found->second.pop_front();
    return payload;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<WString, std::deque<uintptr_t>> queues_;
};

// The page reports' keys, the busiest of the running browser.
constexpr WStringView kSetTitle = u"mainwnd/page/set_title";
constexpr WStringView kIsLoading = u"mainwnd/page/isloading";
constexpr WStringView kSetIconUrl = u"mainwnd/page/set_icon_url";
constexpr WStringView kTempRedirect = u"mainwnd/page/temp_redirect";
// About as many other channels as the running browser has.
constexpr int kOtherChannels = 22;

// Registers the browser's number of keys first, as the running browser has them.
template <typename Queue>
void Warm(Queue& queue) {
  for (int i = 0; i < kOtherChannels; ++i) {
    const WString key = u"bench/channel/" + tarvo::Utf8ToWide(std::to_string(i));
    queue.Post(key, 1);
    queue.Pop(key);
  }
  for (const WStringView key : {kSetTitle, kIsLoading, kSetIconUrl, kTempRedirect}) {
    queue.Post(key, 1);
    queue.Pop(key);
  }
}

template <typename Queue>
void SingleThread(benchmark::State& state, Queue& queue) {
  Warm(queue);
  const WStringView key = kSetTitle;
  for (auto _ : state) {
    queue.Post(key, 7);
    benchmark::DoNotOptimize(queue.Pop(key));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_BusSingleThread(benchmark::State& state) {
  tarvo::MessageBus bus;
  bus.Initialise();
  SingleThread(state, bus);
}
void BM_BaselineSingleThread(benchmark::State& state) {
  BaselineQueue queue;
  SingleThread(state, queue);
}

// Four producers on four different keys, one consumer draining them in turn; the
// figure is delivered messages per second.
template <typename Queue>
void FourProducers(benchmark::State& state, Queue& queue) {
  Warm(queue);
  constexpr int kProducers = 4;
  constexpr uintptr_t kPostsEach = 50000;
  const WStringView keys[kProducers] = {kIsLoading, kSetTitle, kSetIconUrl, kTempRedirect};
  for (auto _ : state) {
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
      producers.emplace_back([&, p] {
        for (uintptr_t i = 1; i <= kPostsEach; ++i) {
          queue.Post(keys[p], i);
        }
      });
    }
    uintptr_t received = 0;
    while (received < kProducers * kPostsEach) {
      for (const WStringView key : keys) {
        while (queue.Pop(key) != 0) {
          ++received;
        }
      }
    }
    for (auto& producer : producers) {
      producer.join();
    }
  }
  state.SetItemsProcessed(state.iterations() * kProducers * kPostsEach);
}

void BM_BusFourProducers(benchmark::State& state) {
  tarvo::MessageBus bus;
  bus.Initialise();
  FourProducers(state, bus);
}
void BM_BaselineFourProducers(benchmark::State& state) {
  BaselineQueue queue;
  FourProducers(state, queue);
}

BENCHMARK(BM_BusSingleThread);
BENCHMARK(BM_BaselineSingleThread);
BENCHMARK(BM_BusFourProducers)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineFourProducers)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
