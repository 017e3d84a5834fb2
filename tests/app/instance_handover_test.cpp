// The single-instance hand-over between a running browser and later processes. A
// second start handing over runs end to end in the browser's own test.
#include "app/instance_handover.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QTest>
#include <QThread>
#include <atomic>
#include <latch>
#include <thread>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvo {
namespace {

using Urls = std::vector<WString>;

class InstanceHandoverTest : public testing::Test {
 protected:
  std::string Root() const { return dir_.path().string() + "/"; }
  QString Name() const { return InstanceHandover::ServerName(Root()); }

  // Sends from another thread (the client blocks) while this thread runs the
  // primary's event loop; the client's verdict.
  bool SendWhileServing(const Urls& urls, int timeoutMs = 10000, bool newWindow = false) {
    std::atomic<int> verdict = -1;
    std::thread client([&] { verdict = InstanceHandover::SendUrls(Name(), urls, timeoutMs, newWindow) ? 1 : 0; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return verdict != -1; }, timeoutMs + 5000));
    client.join();
    return verdict == 1;
  }

  test::TempDir dir_;
};

// Addresses arriving before the window exists (no receiver yet) are kept, in order.
TEST_F(InstanceHandoverTest, LaterProcessesHandTheirAddressesToThePrimaryInOrderEvenBeforeItsWindow) {
  InstanceHandover primary(Root());
  ASSERT_EQ(primary.Claim({}), InstanceHandover::Role::kPrimary);
  ASSERT_TRUE(SendWhileServing({u"http://first.test/"}));
  ASSERT_TRUE(SendWhileServing({u"http://second.test/"}));
  std::vector<Urls> received;
  std::vector<bool> windows;
  primary.SetReceiver([&](Urls urls, bool newWindow) {
    received.push_back(std::move(urls));
    windows.push_back(newWindow);
  });
  const Urls urls = {u"http://127.0.0.1/a?q=\"quoted\"&x='1'", u"\u4e2d\u6587.example/\u00e9", u"-url", u""};
  EXPECT_TRUE(SendWhileServing(urls));
  EXPECT_TRUE(SendWhileServing({}, 10000, true));
  EXPECT_EQ(received, (std::vector<Urls>{{u"http://first.test/"}, {u"http://second.test/"}, urls, {}}));
  EXPECT_EQ(windows, (std::vector<bool>{false, false, false, true})) << "only the last asked for a window";
}

TEST_F(InstanceHandoverTest, SocketLeftByACrashedProcessIsReplaced) {
  // A socket file that nobody listens on any more, as a crash leaves it.
  const QByteArray path = QDir(QDir::tempPath()).absoluteFilePath(Name()).toLocal8Bit();
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
  unlink(path.constData());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
  ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));

  InstanceHandover primary(Root());
  ASSERT_EQ(primary.Claim({}), InstanceHandover::Role::kPrimary);
  Urls received;
  primary.SetReceiver([&](Urls urls, bool) { received = std::move(urls); });
  EXPECT_TRUE(SendWhileServing({u"http://after.crash/"}));
  EXPECT_EQ(received, Urls{u"http://after.crash/"});
}

TEST_F(InstanceHandoverTest, GarbageOrSilentPeersGetNoAnswerAndDoNotStopTheServer) {
  InstanceHandover primary(Root());
  ASSERT_EQ(primary.Claim({}), InstanceHandover::Role::kPrimary);
  int deliveries = 0;
  primary.SetReceiver([&](Urls, bool) { ++deliveries; });

  for (const QByteArray& garbage : {QByteArray("not json at all\n"), QByteArray("{\"urls\":\"x\"}\n"),
                                    QByteArray("[1,2,3]\n"), QByteArray("\0\xff\xfe\n", 4)}) {
    QLocalSocket peer;
    peer.connectToServer(Name());
    ASSERT_TRUE(peer.waitForConnected(5000));
    peer.write(garbage);
    peer.flush();
    // The primary drops the peer without the acknowledgement.
    EXPECT_TRUE(QTest::qWaitFor([&] { return peer.state() == QLocalSocket::UnconnectedState; }, 5000))
        << garbage.constData();
    EXPECT_FALSE(peer.readAll().contains("ok"));
  }
  QLocalSocket silent;
  silent.connectToServer(Name());
  ASSERT_TRUE(silent.waitForConnected(5000));
  EXPECT_TRUE(SendWhileServing({u"http://still.served/"}));
  EXPECT_EQ(deliveries, 1);
  // The silent peer is dropped after a while rather than held for ever.
  EXPECT_TRUE(QTest::qWaitFor([&] { return silent.state() == QLocalSocket::UnconnectedState; }, 10000));
}

TEST_F(InstanceHandoverTest, OfTwoContendersStartingTogetherOnlyOneBecomesPrimary) {
  std::latch ready(2);
  std::latch claimed(2);
  std::atomic<int> primaries = 0;
  std::atomic<int> refused = 0;
  auto contender = [&] {
    // Each claims on its own thread; the winner serves nobody (no event loop), so
    // the loser gives up after its patience instead of starting a second browser.
    InstanceHandover handover(Root());
    ready.arrive_and_wait();
    const auto role = handover.Claim({u"http://race.test/"}, 1500);
    primaries += role == InstanceHandover::Role::kPrimary ? 1 : 0;
    refused += role == InstanceHandover::Role::kNoAnswer ? 1 : 0;
    claimed.arrive_and_wait();
  };
  // QThreads: the winner's server needs a Qt-aware thread for its socket notifier.
  std::unique_ptr<QThread> first(QThread::create(contender));
  std::unique_ptr<QThread> second(QThread::create(contender));
  first->start();
  second->start();
  ASSERT_TRUE(first->wait(15000));
  ASSERT_TRUE(second->wait(15000));
  EXPECT_EQ(primaries, 1);
  EXPECT_EQ(refused, 1);
}

TEST_F(InstanceHandoverTest, WhileThePrimaryClosesALaterProcessWaitsAndThenStartsOnItsOwn) {
  auto primary = std::make_unique<InstanceHandover>(Root());
  ASSERT_EQ(primary->Claim({}), InstanceHandover::Role::kPrimary);
  primary->StopServing();

  std::atomic<int> role = -1;
  std::unique_ptr<QThread> later(QThread::create([&] {
    InstanceHandover second(Root());
    role = static_cast<int>(second.Claim({u"http://after.close/"}, 15000));
  }));
  later->start();
  // Closing takes a while (the engine flushes); the later process must not give up
  // nor hand its addresses to a browser that no longer serves them.
  QTest::qWait(500);
  EXPECT_EQ(role, -1);
  primary.reset();
  ASSERT_TRUE(later->wait(20000));
  EXPECT_EQ(role, static_cast<int>(InstanceHandover::Role::kPrimary));
}

TEST_F(InstanceHandoverTest, RootWithoutLockFileStartsWithoutServing) {
  InstanceHandover primary(Root() + "missing/");
  EXPECT_EQ(primary.Claim({}, 500), InstanceHandover::Role::kPrimary);
  EXPECT_FALSE(InstanceHandover::SendUrls(InstanceHandover::ServerName(Root() + "missing/"), {}, 500));
}

}  // namespace
}  // namespace tarvo
