// The background service loop: order of steps, rounds, failures and a prompt stop.
#include "app/service_loop.h"

#include <QTest>
#include <atomic>
#include <stdexcept>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 10000); }

TEST(ServiceLoopTest, RunsStepsInOrderRoundAfterRoundAndSurvivesAFailingStep) {
  std::mutex mutex;
  std::string trace;
  auto record = [&](char c) {
    std::lock_guard<std::mutex> lock(mutex);
    trace += c;
  };
  ServiceLoop loop({{"a", [&] { record('a'); }},
                    {"fails", [&] {
                       record('x');
                       throw std::runtime_error("service unreachable");
                     }},
                    {"b", [&] { record('b'); }}},
                   10ms);
  loop.Start();
  ASSERT_TRUE(WaitUntil([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return trace.size() >= 9;
  }));
  loop.Stop();
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(trace.substr(0, 9), "axbaxbaxb");
}

TEST(ServiceLoopTest, StopEndsTheWaitAtOnceInsteadOfAfterThePeriod) {
  std::atomic<int> rounds = 0;
  ServiceLoop loop({{"count", [&] { ++rounds; }}}, 1h);
  loop.Start();
  ASSERT_TRUE(WaitUntil([&] { return rounds == 1; }));
  const auto before = std::chrono::steady_clock::now();
  loop.Stop();
  // An hour-long wait cut short: generous bound, the point is "not the period".
  EXPECT_LT(std::chrono::steady_clock::now() - before, 30s);
  EXPECT_EQ(rounds, 1);
  loop.Stop();  // a second stop is harmless
}

TEST(ServiceLoopTest, StepsAfterAStopRequestAreSkippedAndALongStepCanSeeIt) {
  std::atomic<bool> sawStop = false;
  std::atomic<bool> laterStepRan = false;
  std::atomic<bool> inside = false;
  ServiceLoop* self = nullptr;
  ServiceLoop loop({{"long", [&] {
                      inside = true;
                      while (!self->stopping()) std::this_thread::sleep_for(1ms);
                      sawStop = true;
                    }},
                    {"later", [&] { laterStepRan = true; }}},
                   1h);
  self = &loop;
  loop.Start();
  ASSERT_TRUE(WaitUntil([&] { return inside.load(); }));
  loop.Stop();
  EXPECT_TRUE(sawStop);
  EXPECT_FALSE(laterStepRan);
}

}  // namespace
}  // namespace tarvo
