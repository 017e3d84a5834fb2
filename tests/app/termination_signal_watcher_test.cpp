// SIGTERM and SIGINT become a call on the GUI thread instead of ending the process.
#include "app/termination_signal_watcher.h"

#include <QTest>
#include <QThread>
#include <csignal>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

// Signals arrive on the GUI thread in order; the previous actions come back with the
// watcher gone.
TEST(TerminationSignalWatcherTest, SignalsArriveOnTheGuiThreadInOrderWhileItLives) {
  struct sigaction before {}, after {};
  sigaction(SIGTERM, nullptr, &before);
  {
    std::vector<int> received;
    QThread* handledOn = nullptr;
    TerminationSignalWatcher watcher([&](int signalNumber) {
      received.push_back(signalNumber);
      handledOn = QThread::currentThread();
    });
    ASSERT_TRUE(watcher.active());
    std::thread([] { kill(getpid(), SIGTERM); }).join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
    raise(SIGINT);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 5000));
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
    EXPECT_EQ(handledOn, QThread::currentThread());
  }
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace tarvo
