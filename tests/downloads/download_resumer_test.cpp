// Downloads of an earlier run taken up against a loopback server (Range, If-Range,
// validators, servers that drop or lie), with pause, continue, cancel and exit.
#include "account/account_state.h"
#include "downloads/download_resumer.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "downloads/download_manager.h"
#include "downloads/save_as_prompts.h"
#include "downloads/validator_probe.h"
#include "store/test_database.h"
#include "support/range_file_server.h"

namespace tarvo {
namespace {

// No VPN: the transfers go the system's way.
VpnRoute Direct() {
  static const AccountState* offline = new AccountState();
  return VpnRoute(*offline);
}

namespace fs = std::filesystem;
using test::RangeFileServer;
using test::SaveAs;
using namespace std::chrono_literals;

constexpr uint64_t kSize = 3 * 1024 * 1024;
constexpr uint64_t kHeld = 1024 * 1024;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 30s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

class DownloadResumerTest : public ::testing::Test {
 protected:
  std::string Target() const { return (store_.folder().path() / "big.bin").string(); }
  std::string Working() const { return Target() + ".tmp"; }

  // An earlier run left the download `path` in `state` with `held` bytes of the
  // file and `validator` known (and the engine's `total` and `type` when given);
  // returns the manager of the next start.
  std::unique_ptr<DownloadManager> EarlierRun(const std::string& path, int state, uint64_t held,
                                              const WString& validator, int64_t total = 0, const WString& type = {}) {
    {
      DownloadManager earlier(store_.db());
      SaveAs prompts(Utf8ToWide(Target()));
      const WString url = Utf8ToWide(server_.Url(path));
      EXPECT_FALSE(earlier.BeginDownload(1, url, u"big.bin", prompts, nullptr).empty());
      if (total > 0) earlier.ApplyReport({1, url, 0, static_cast<int64_t>(held), total, false, false});
      if (state == DownloadState::kPaused) earlier.TogglePause(1);
      earlier.Validators().Set(url, validator);
      earlier.Validators().SetContentType(url, type);
    }
    std::ofstream out(Working(), std::ios::binary);
    for (uint64_t i = 0; i < held; ++i) out.put(RangeFileServer::ByteAt(i));
    return std::make_unique<DownloadManager>(store_.db());
  }
  static DownloadRecord Only(DownloadManager& manager) { return manager.Records().at(0); }
  static bool Ended(DownloadManager& manager) { return !DownloadState::IsRunning(Only(manager).state); }
  // Takes up the interrupted downloads and waits until the one there has ended.
  static void ResumeToTheEnd(DownloadManager& manager) {
    DownloadResumer resumer(manager, Direct());
    resumer.ResumeInterrupted();
    ASSERT_TRUE(WaitFor([&] { return Ended(manager); }));
  }

  test::TestDatabase store_;
  RangeFileServer server_;
};

TEST_F(DownloadResumerTest, TakesUpWhereTheFileStoppedOnlyWhileTheValidatorHolds) {
  struct Case {
    const char* name;
    WString storedValidator;
    bool serverRanges;
    bool expectRange;  // the first request asked for the rest
    int requests;
  };
  for (const Case& c : {Case{"same-file", u"\"v1\"", true, true, 1},
                        Case{"changed-file", u"\"v0\"", true, true, 1},
                        Case{"no-validator-known", u"", true, false, 1},
                        Case{"server-without-ranges", u"\"v1\"", false, true, 1}}) {
    SCOPED_TRACE(c.name);
    const std::string path = std::string("/") + c.name;
    server_.Serve(path, {kSize, "\"v1\"", "", c.serverRanges});
    fs::remove(Target());
    auto manager = EarlierRun(path, DownloadState::kDownloading, kHeld, c.storedValidator);
    ResumeToTheEnd(*manager);
    EXPECT_EQ(Only(*manager).state, DownloadState::kComplete);
    EXPECT_TRUE(RangeFileServer::HoldsPattern(Target(), kSize));
    EXPECT_FALSE(fs::exists(Working()));
    const auto requests = server_.RequestsFor(path);
    ASSERT_EQ(static_cast<int>(requests.size()), c.requests);
    EXPECT_EQ(requests[0].range, c.expectRange ? "bytes=" + std::to_string(kHeld) + "-" : "");
    EXPECT_EQ(requests[0].ifRange, WideToUtf8(c.storedValidator));
    store_.db().Execute("delete from download;");
  }
}

TEST_F(DownloadResumerTest, DroppedConnectionsAreAskedAgainAndLyingLengthsNeverComplete) {
  RangeFileServer::File dropping{kSize, "\"v1\""};
  dropping.dropFirstAfter = 512 * 1024;
  server_.Serve("/dropping", dropping);
  auto manager = EarlierRun("/dropping", DownloadState::kDownloading, kHeld, u"\"v1\"");
  ResumeToTheEnd(*manager);
  EXPECT_EQ(Only(*manager).state, DownloadState::kComplete);
  EXPECT_TRUE(RangeFileServer::HoldsPattern(Target(), kSize));
  const auto requests = server_.RequestsFor("/dropping");
  ASSERT_EQ(requests.size(), 2U);
  EXPECT_EQ(requests[1].range, "bytes=" + std::to_string(kHeld + 512 * 1024) + "-");

  // Announces 1 MiB more than it sends: the file stays under its working name.
  store_.db().Execute("delete from download;");
  fs::remove(Target());
  RangeFileServer::File lying{kSize};
  lying.length = RangeFileServer::Length::kMore;
  server_.Serve("/lying", lying);
  manager = EarlierRun("/lying", DownloadState::kDownloading, 0, u"");
  ResumeToTheEnd(*manager);
  EXPECT_EQ(Only(*manager).state, DownloadState::kCancelled);
  EXPECT_EQ(Only(*manager).problem, DownloadRecord::Problem::kFailed);
  EXPECT_FALSE(fs::exists(Target()));
}

// A resumed download takes only the file it knows: an answer of another type or
// length leaves the bytes held as they were and the download paused and failed,
// for the user to try again; a part of a changed file (a server that ignores
// If-Range) is not spliced on, the whole file is asked for instead.
TEST_F(DownloadResumerTest, AnAnswerThatIsNotTheKnownFileKeepsTheHeldBytesForARetry) {
  const std::string before = "Tue, 01 Oct 2024 10:00:00 GMT";
  RangeFileServer::File ignoring{kSize, "", "Wed, 02 Oct 2024 10:00:00 GMT"};
  ignoring.ignoresIfRange = true;
  struct Case {
    const char* name;
    WString validator;
    bool completes;
    int requests;
  };
  for (const Case& c : {Case{"login-page", u"", false, 1}, Case{"login-page-for-a-range", u"\"v1\"", false, 1},
                        Case{"another-size", u"\"v1\"", false, 1},
                        Case{"ignores-if-range", Utf8ToWide(before), true, 2}}) {
    SCOPED_TRACE(c.name);
    const std::string path = std::string("/") + c.name;
    if (path.starts_with("/login-page")) server_.ServePage(path, "<html>Please log in</html>");
    if (path == "/another-size") server_.Serve(path, {2 * kSize, "\"v1\""});
    if (path == "/ignores-if-range") server_.Serve(path, ignoring);
    fs::remove(Target());
    auto manager = EarlierRun(path, DownloadState::kDownloading, kHeld, c.validator, kSize, u"application/octet-stream");
    DownloadResumer resumer(*manager, Direct());
    resumer.ResumeInterrupted();
    ASSERT_TRUE(WaitFor([&] { return resumer.RunningCount() == 0 && Only(*manager).state != DownloadState::kDownloading; }));
    EXPECT_EQ(static_cast<int>(server_.RequestsFor(path).size()), c.requests);
    if (c.completes) {
      EXPECT_EQ(Only(*manager).state, DownloadState::kComplete);
      EXPECT_TRUE(RangeFileServer::HoldsPattern(Target(), kSize));
      EXPECT_EQ(server_.RequestsFor(path).back().range, "") << "the whole file again, not a part of another";
    } else {
      EXPECT_EQ(Only(*manager).state, DownloadState::kPaused);
      EXPECT_EQ(Only(*manager).problem, DownloadRecord::Problem::kFailed);
      EXPECT_TRUE(RangeFileServer::HoldsPattern(Working(), kHeld)) << "the bytes held are kept as they were";
      EXPECT_FALSE(fs::exists(Target()));
    }
    if (path == "/login-page") {
      // Once the server gives the file again, "continue" finishes it.
      server_.Serve(path, {kSize, "\"v1\""});
      manager->TogglePause(Only(*manager).id);
      ASSERT_TRUE(WaitFor([&] { return Ended(*manager); }));
      EXPECT_EQ(Only(*manager).state, DownloadState::kComplete);
      EXPECT_TRUE(RangeFileServer::HoldsPattern(Target(), kSize));
    }
    store_.db().Execute("delete from download;");
  }
}

TEST_F(DownloadResumerTest, PausedOnesWaitForContinueAndPauseCancelAndExitApplyAtOnce) {
  RangeFileServer::File slow{kSize, "\"v1\""};
  slow.bytesPerSecond = 512 * 1024;
  server_.Serve("/slow", slow);
  auto manager = EarlierRun("/slow", DownloadState::kPaused, kHeld, u"\"v1\"");
  DownloadResumer resumer(*manager, Direct());
  resumer.ResumeInterrupted();
  const int64_t id = Only(*manager).id;
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(server_.RequestsFor("/slow").empty()) << "a paused download waits for the user";

  manager->TogglePause(id);  // continue
  ASSERT_TRUE(WaitFor([&] { return Only(*manager).received > static_cast<int64_t>(kHeld); }));
  manager->TogglePause(id);  // pause
  ASSERT_TRUE(WaitFor([&] { return resumer.RunningCount() == 0; }));
  EXPECT_EQ(Only(*manager).state, DownloadState::kPaused);
  const auto pausedAt = fs::file_size(Working());
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(fs::file_size(Working()), pausedAt) << "no bytes arrive while paused";

  manager->TogglePause(id);  // continue, then the browser ends
  ASSERT_TRUE(WaitFor([&] { return fs::file_size(Working()) > pausedAt; }));
  resumer.StopAll();
  EXPECT_TRUE(DownloadState::IsRunning(Only(*manager).state)) << "the next start takes it up again";
  const auto requests = server_.RequestsFor("/slow");
  ASSERT_EQ(requests.size(), 2U);
  EXPECT_EQ(requests[1].range, "bytes=" + std::to_string(pausedAt) + "-");
  EXPECT_TRUE(RangeFileServer::HoldsPattern(Working(), fs::file_size(Working())));

  DownloadManager restarted(store_.db());
  DownloadResumer next(restarted, Direct());
  next.ResumeInterrupted();
  ASSERT_EQ(next.RunningCount(), 1U);
  restarted.RequestCancel(Only(restarted).id);
  ASSERT_TRUE(WaitFor([&] { return next.RunningCount() == 0; }));
  EXPECT_EQ(Only(restarted).state, DownloadState::kCancelled);
  EXPECT_EQ(Only(restarted).problem, DownloadRecord::Problem::kNone);
  EXPECT_FALSE(fs::exists(Working())) << "a cancelled download leaves no file";
}

// The validator learnt for a download the engine started, kept for a restart, is run
// end to end; here a weak ETag, which promises no identical bytes (the date validates
// instead), and a file larger than any text reply, of which only the head is read.
TEST_F(DownloadResumerTest, TheValidatorProbeTakesTheDateForAWeakTagAndReadsOnlyTheHead) {
  const std::string date = "Tue, 01 Oct 2024 10:00:00 GMT";
  server_.Serve("/weak", {kSize, "W/\"weak\"", date});
  server_.Serve("/large", {uint64_t{20} << 30, "\"large\""});
  EXPECT_EQ(WideToUtf8(ValidatorProbe::Fetch(Utf8ToWide(server_.Url("/weak")), {})), date);
  EXPECT_EQ(WideToUtf8(ValidatorProbe::Fetch(Utf8ToWide(server_.Url("/large")), {})), "\"large\"");
  EXPECT_EQ(server_.RequestsFor("/large").at(0).range, "bytes=0-0");
}

}  // namespace
}  // namespace tarvo
