// The download list: how a download starts (questions, dialog), how reports move it
// (requests applied, completion only from the driver, the rename), what the buttons
// and the clearing remove, and what a restart reads back.
#include "downloads/download_manager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "downloads/i_download_desktop.h"
#include "downloads/i_download_driver.h"
#include "downloads/i_download_prompts.h"
#include "store/download_records.h"
#include "store/test_database.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// Answers the questions as told and counts them.
struct ScriptedPrompts : IDownloadPrompts {
  bool ConfirmReplace(const DownloadRecord&) override {
    ++replaceAsked;
    return replace;
  }
  void TellAlreadyDownloading(const DownloadRecord&) override { ++toldRunning; }
  WString ChooseTarget(const WString&) override {
    ++dialogs;
    return target;
  }
  bool replace = false;
  WString target;
  int replaceAsked = 0;
  int toldRunning = 0;
  int dialogs = 0;
};

struct RecordingDriver : IDownloadDriver {
  void OnStateRequested(int64_t id) override { requested.push_back(id); }
  std::vector<int64_t> requested;
};

struct RecordingDesktop : IDownloadDesktop {
  bool ShowInFolder(const WString& path) override {
    shown.push_back(path);
    return true;
  }
  bool Open(const WString& path) override {
    opened.push_back(path);
    return true;
  }
  std::vector<WString> shown;
  std::vector<WString> opened;
};

constexpr char16_t kUrl[] = u"http://127.0.0.1:9/report.bin";

class DownloadManagerTest : public ::testing::Test {
 protected:
  WString PathIn(const std::string& name) const { return Utf8ToWide((store_.folder().path() / name).string()); }
  static void Write(const WString& path, const std::string& content) {
    std::ofstream(WideToUtf8(path), std::ios::binary) << content;
  }
  static bool Exists(const WString& path) { return fs::exists(WideToUtf8(path)); }
  // Starts a download of `url` saved as `name`; returns the working path.
  WString Start(int64_t id, const WString& url, const std::string& name) {
    prompts_.target = PathIn(name);
    return manager_.BeginDownload(id, url, u"suggested.bin", prompts_, &driver_);
  }
  DownloadAction Report(int64_t id, int64_t received, int64_t total, bool complete = false, bool ended = false) {
    const std::optional<DownloadRecord> record = manager_.FindById(id);
    return manager_.ApplyReport({id, record ? record->url : kUrl, 100, received, total, complete, ended});
  }
  DownloadRecord Only() {
    EXPECT_EQ(manager_.Records().size(), 1U);
    return manager_.Records().at(0);
  }

  test::TestDatabase store_;
  DownloadManager manager_{store_.db()};
  ScriptedPrompts prompts_;
  RecordingDriver driver_;
};

TEST_F(DownloadManagerTest, CancelledDialogLeavesNothing) {
  EXPECT_TRUE(manager_.BeginDownload(1, kUrl, u"report.bin", prompts_, &driver_).empty());
  EXPECT_EQ(prompts_.dialogs, 1);
  EXPECT_TRUE(manager_.Records().empty());
  EXPECT_EQ(store_.Scalar("select count(*) from download"), "0");
}

TEST_F(DownloadManagerTest, AnEarlierDownloadOfTheUrlDecidesWhetherTheNewOneStarts) {
  struct Case {
    const char* name;
    int earlierState;
    bool replace;     // the answer to the overwrite question
    bool starts;
    int replaceAsked;
    int toldRunning;
  };
  for (const Case& c : {Case{"complete, kept", DownloadState::kComplete, false, false, 1, 0},
                        Case{"complete, replaced", DownloadState::kComplete, true, true, 1, 0},
                        Case{"downloading", DownloadState::kDownloading, true, false, 0, 1},
                        Case{"paused", DownloadState::kPaused, true, false, 0, 1},
                        Case{"resuming", DownloadState::kResumeRequested, true, false, 0, 1},
                        Case{"cancelled", DownloadState::kCancelled, false, true, 0, 0}}) {
    SCOPED_TRACE(c.name);
    test::TestDatabase store;
    DownloadManager manager(store.db());
    ScriptedPrompts prompts;
    prompts.target = Utf8ToWide((store.folder().path() / "first.bin").string());
    ASSERT_FALSE(manager.BeginDownload(1, kUrl, u"a", prompts, nullptr).empty());
    if (c.earlierState == DownloadState::kComplete) {
      manager.ApplyReport({1, kUrl, 0, 5, 5, true, false});
    } else if (c.earlierState == DownloadState::kCancelled) {
      manager.RequestCancel(1);
    } else if (c.earlierState != DownloadState::kDownloading) {
      manager.TogglePause(1);
      if (c.earlierState == DownloadState::kResumeRequested) manager.TogglePause(1);
    }
    ASSERT_EQ(manager.Records().at(0).state, c.earlierState);
    prompts.replace = c.replace;
    prompts.dialogs = 0;
    prompts.target = Utf8ToWide((store.folder().path() / "second.bin").string());
    const WString working = manager.BeginDownload(2, kUrl, u"a", prompts, nullptr);
    EXPECT_EQ(!working.empty(), c.starts);
    EXPECT_EQ(prompts.replaceAsked, c.replaceAsked);
    EXPECT_EQ(prompts.toldRunning, c.toldRunning);
    EXPECT_EQ(prompts.dialogs, c.starts ? 1 : 0);
    ASSERT_EQ(manager.Records().size(), 1U);
    EXPECT_EQ(manager.Records().at(0).id, c.starts ? 2 : 1);
    EXPECT_EQ(store.Scalar("select count(*) from download"), "1");
  }
}

// Pausing and continuing are run end to end; a cancel reaches the driver at once
// and the engine at its next report, and is no failure.
TEST_F(DownloadManagerTest, ACancelReachesTheDriverAtOnceAndTheEngineAtItsNextReport) {
  EXPECT_EQ(Start(7, kUrl, "report.bin"), PathIn("report.bin.tmp"));
  EXPECT_EQ(Only().finalPath, PathIn("report.bin"));
  EXPECT_EQ(Report(7, 10, 100), DownloadAction::kResume);
  EXPECT_EQ(manager_.RequestCancel(7), 0);
  EXPECT_EQ(manager_.RequestCancel(99), -1);
  EXPECT_EQ(driver_.requested, std::vector<int64_t>{7});
  EXPECT_EQ(Report(7, 14, 100), DownloadAction::kCancel);
  EXPECT_EQ(Report(7, 14, 100, false, true), DownloadAction::kNone);
  EXPECT_EQ(Only().state, DownloadState::kCancelled);
  EXPECT_EQ(Only().problem, DownloadRecord::Problem::kNone);
}

TEST_F(DownloadManagerTest, CompletionComesFromTheDriverNotFromTheByteCounts) {
  // All bytes of the announced length, but the engine still writes: not complete.
  const WString working = Start(1, kUrl, "report.bin");
  Write(working, "12345");
  Report(1, 5, 5);
  EXPECT_EQ(Only().state, DownloadState::kDownloading);
  EXPECT_TRUE(Exists(working));
  // No length announced: complete once the engine says so, under the chosen name.
  Report(1, 5, 0, true);
  EXPECT_EQ(Only().state, DownloadState::kComplete);
  EXPECT_FALSE(Exists(working));
  EXPECT_TRUE(Exists(PathIn("report.bin")));
  EXPECT_EQ(Only().workingPath, PathIn("report.bin"));
  EXPECT_EQ(store_.Scalar("select filepath || '|' || status || '|' || received from download"),
            WideToUtf8(PathIn("report.bin")) + "|1|5");

  // A server that announced more than it sent: the engine ends it unfinished.
  manager_.RemoveRecord(1);
  Start(2, kUrl, "short.bin");
  Report(2, 40, 100);
  Report(2, 40, 100, false, true);
  EXPECT_EQ(Only().state, DownloadState::kCancelled);
  EXPECT_EQ(Only().problem, DownloadRecord::Problem::kFailed);
}

TEST_F(DownloadManagerTest, AFailedRenameIsReportedAndSurvivesARestart) {
  const WString working = Start(1, kUrl, "taken");
  Write(working, "data");
  // The chosen name is a folder now: the working file cannot take it.
  fs::create_directories(WideToUtf8(PathIn("taken")) + "/inside");
  Report(1, 4, 4, true);
  EXPECT_EQ(Only().state, DownloadState::kComplete);
  EXPECT_EQ(Only().problem, DownloadRecord::Problem::kRenameFailed);
  EXPECT_EQ(Only().workingPath, working);
  EXPECT_TRUE(Exists(working));

  DownloadManager restarted(store_.db());
  ASSERT_EQ(restarted.Records().size(), 1U);
  EXPECT_EQ(restarted.Records()[0].problem, DownloadRecord::Problem::kRenameFailed);
  EXPECT_EQ(restarted.Records()[0].finalPath, PathIn("taken"));
}

TEST_F(DownloadManagerTest, ARestartReadsTheListBackInOrderWithStoredIds) {
  for (int i = 0; i < 3; ++i) Start(i + 1, kUrl + Utf8ToWide(std::to_string(i)), "file" + std::to_string(i));
  manager_.TogglePause(2);
  Report(3, 9, 10);
  DownloadManager restarted(store_.db());
  const std::vector<DownloadRecord> records = restarted.Records();
  ASSERT_EQ(records.size(), 3U);
  // Oldest first, as the list keeps them; the newest row gets the highest id.
  EXPECT_EQ(records[2].id, DownloadManager::kStoredIdBase);
  EXPECT_EQ(records[0].id, DownloadManager::kStoredIdBase - 2);
  EXPECT_EQ(records[1].state, DownloadState::kPaused);
  EXPECT_EQ(records[2].received, 9);
  EXPECT_EQ(records[2].finalPath, PathIn("file2"));
  // Running ones are taken up at start, paused ones wait.
  EXPECT_EQ(restarted.InterruptedRecords().size(), 2U);
}

TEST_F(DownloadManagerTest, APrivateWindowsDownloadIsTheUsersFileButNoRecord) {
  // An ordinary download of the URL first: the private one neither replaces nor
  // touches its row.
  Start(1, kUrl, "kept.bin");
  prompts_.target = PathIn("private.bin");
  const WString working = manager_.BeginDownload(2, kUrl, u"suggested.bin", prompts_, &driver_, true);
  ASSERT_FALSE(working.empty());
  Write(working, "secret");
  Report(2, 6, 6, true);
  EXPECT_TRUE(Exists(PathIn("private.bin")));
  ASSERT_EQ(manager_.Records().size(), 2U);
  EXPECT_EQ(manager_.FindById(2)->state, DownloadState::kComplete);
  EXPECT_EQ(store_.Scalar("select group_concat(filepath) from download"), WideToUtf8(PathIn("kept.bin.tmp")));
  // One more still running when the last private window closes: its driver cancels
  // it; the list forgets both, the finished file stays.
  prompts_.target = PathIn("running.bin");
  ASSERT_FALSE(manager_.BeginDownload(3, kUrl + WString(u"?2"), u"s", prompts_, &driver_, true).empty());
  manager_.ForgetUnrecorded();
  EXPECT_EQ(Only().id, 1);
  EXPECT_EQ(driver_.requested, std::vector<int64_t>{3});
  EXPECT_TRUE(Exists(PathIn("private.bin")));
  EXPECT_EQ(store_.Scalar("select count(*) from download"), "1");
}

TEST_F(DownloadManagerTest, ClearingKeepsWhatHasNotCompletedAndDeletesOnlyEndedFiles) {
  const char* names[] = {"running", "paused", "cancelled", "complete"};
  std::vector<WString> files;
  for (int i = 0; i < 4; ++i) {
    files.push_back(Start(i + 1, kUrl + Utf8ToWide(std::to_string(i)), names[i]));
    Write(files.back(), "x");
  }
  manager_.TogglePause(2);
  manager_.RequestCancel(3);
  Report(4, 1, 1, true);
  files[3] = PathIn("complete");

  manager_.ClearFinished();
  EXPECT_EQ(manager_.Records().size(), 3U);
  EXPECT_TRUE(Exists(files[3])) << "clearing the list keeps the files";

  Report(4, 1, 1);  // nothing: the record is gone
  manager_.ClearStopped(true);
  ASSERT_EQ(manager_.Records().size(), 2U);
  EXPECT_EQ(manager_.Records()[0].fileName, u"running");
  EXPECT_EQ(manager_.Records()[1].fileName, u"paused");
  EXPECT_TRUE(Exists(files[0]));
  EXPECT_TRUE(Exists(files[1]));
  EXPECT_FALSE(Exists(files[2]));
  EXPECT_EQ(store_.Scalar("select count(*) from download"), "2");
}

// "Clear temporary files" after a restart: only the working file of a download
// that ended unfinished goes; a complete one stays whatever its name, also when it
// ends in ".tmp" or could not take its chosen name.
TEST_F(DownloadManagerTest, TemporaryFilesAfterARestartNeverIncludeACompleteDownload) {
  struct Case {
    const char* chosen;
    const char* written;  // the file the earlier run left
    int state;
    bool deleted;
    DownloadRecord::Problem problem;
  };
  using P = DownloadRecord::Problem;
  const Case cases[] = {
      {"notes.tmp", "notes.tmp", DownloadState::kComplete, false, P::kNone},
      {"data.zip", "data.zip.tmp", DownloadState::kComplete, false, P::kRenameFailed},
      {"log.tmp", "log.tmp.tmp", DownloadState::kComplete, false, P::kRenameFailed},
      {"part.iso", "part.iso.tmp", DownloadState::kCancelled, true, P::kNone},
      {"run.tmp", "run.tmp.tmp", DownloadState::kPaused, false, P::kNone},
  };
  for (const Case& c : cases) {
    Write(PathIn(c.written), "bytes");
    ASSERT_EQ(DownloadRecords(store_.db()).SaveDownload({kUrl + Utf8ToWide(c.chosen), PathIn(c.written),
                                                         Utf8ToWide(c.chosen), 5, 5, c.state, 0}),
              0);
  }
  DownloadManager restarted(store_.db());
  restarted.DeleteLeftovers();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    EXPECT_EQ(Exists(PathIn(c.written)), !c.deleted);
    const std::vector<DownloadRecord> records = restarted.Records();
    const auto record = std::find_if(records.begin(), records.end(),
                                     [&](const DownloadRecord& r) { return r.workingPath == PathIn(c.written); });
    ASSERT_NE(record, records.end());
    EXPECT_EQ(record->finalPath, PathIn(c.chosen));
    EXPECT_EQ(record->problem, c.problem);
  }
}

// Deleting an existing file is run end to end; a missing one is told.
TEST_F(DownloadManagerTest, FileButtonsActOnTheFinalFileAndTellOfMissingOnes) {
  RecordingDesktop desktop;
  manager_.SetDesktop(&desktop);
  Start(1, kUrl, "gone.bin");
  Write(PathIn("gone.bin.tmp"), "x");
  Report(1, 1, 1, true);
  WString path;
  EXPECT_TRUE(manager_.OpenFile(1, path));
  EXPECT_EQ(desktop.opened, std::vector<WString>{PathIn("gone.bin")});
  fs::remove(WideToUtf8(PathIn("gone.bin")));
  EXPECT_FALSE(manager_.ShowInFolder(1, path));
  EXPECT_EQ(path, PathIn("gone.bin"));
  EXPECT_TRUE(desktop.shown.empty());
  EXPECT_FALSE(manager_.DeleteFileOf(1, path));
  EXPECT_TRUE(manager_.Records().empty()) << "deleting a missing file still removes the entry";
}

}  // namespace
}  // namespace tarvo
