// SIGTERM and SIGINT become a call on the GUI thread instead of ending the process.
#include "app/termination_signal_watcher.h"

#include <QTest>
#include <QThread>
#include <csignal>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(TerminationSignalWatcherTest, SignalsArriveOnTheGuiThreadInOrder) {
  std::vector<int> received;
  QThread* handledOn = nullptr;
  TerminationSignalWatcher watcher([&](int signalNumber) {
    received.push_back(signalNumber);
    handledOn = QThread::currentThread();
  });
  ASSERT_TRUE(watcher.active());
  std::thread sender([] {
    kill(getpid(), SIGTERM);
  });
  sender.join();
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
  raise(SIGINT);
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 5000));
  EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
  EXPECT_EQ(handledOn, QThread::currentThread());
}

TEST(TerminationSignalWatcherTest, PreviousActionsComeBackWhenTheWatcherGoes) {
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  {
    TerminationSignalWatcher watcher([](int) {});
    struct sigaction during {};
    sigaction(SIGTERM, nullptr, &during);
    EXPECT_NE(during.sa_handler, before.sa_handler);
  }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace tarvo
