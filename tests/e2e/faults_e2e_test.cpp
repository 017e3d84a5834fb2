// The real browser when its profile cannot be saved: the database held by another
// program, made read-only, or on a full disk. Each time the browser opens its pages
// at once, says why changes are not kept, and keeps everything it had saved; once
// the cause has gone, what it does is saved again.
#include <signal.h>

#include <cstdlib>
#include <fstream>

#include "e2e/browser_fixture.h"
#include "support/mounted_folder.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FaultsEndToEndTest : public BrowserFixture {
 protected:
  // Starts the browser on `path` and waits for the page and for `told` in its output.
  std::unique_ptr<ChildProcess> StartTelling(const std::string& path, const std::string& told) {
    auto browser = StartBrowser({"-noupdate", pages_.Url(path)});
    EXPECT_TRUE(WaitFor([&] { return Served(path); }, kStartLimit)) << browser->Log();
    EXPECT_TRUE(WaitFor([&] { return browser->Log().find(told) != std::string::npos; }, 30s)) << browser->Log();
    return browser;
  }

  static bool Run(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }
};

TEST_F(FaultsEndToEndTest, AProfileHeldByAnotherProgramOrReadOnlyBrowsesSaysWhyAndLosesNothing) {
  auto browser = StartBrowser({"-noupdate", pages_.Url("/kept")});
  ASSERT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/kept")); }, kStartLimit)) << browser->Log();
  CloseBrowser(*browser);
  std::error_code noLog;
  const uintmax_t logBytes = fs::file_size(Database().string() + "-wal", noLog);
  EXPECT_TRUE(noLog || logBytes == 0) << "an orderly close leaves the whole run in the data file itself";

  {
    // A database tool left in the middle of a write on the file.
    ChildProcess holder("/usr/bin/sqlite3",
                        {"-cmd", ".timeout 5000", "-cmd", "BEGIN EXCLUSIVE;", "-cmd", "INSERT INTO info (key, value) VALUES ('tool', '1');",
                         Database().string(), ".system sleep 300"},
                        {}, (dir_.path() / "holder.log").string());
    ASSERT_TRUE(WaitFor([&] { return !Execute("INSERT INTO info (key, value) VALUES ('probe', '1')"); }, 10s))
        << holder.Log();
    browser = StartTelling("/while-held", "Another program is using the browser data file");
    holder.Signal(SIGKILL);
    ASSERT_TRUE(holder.WaitForExit(10s).has_value());
    StartAgain({pages_.Url("/after-held")});
    EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/after-held")); }, 30s)) << "saved again once let go";
    CloseBrowser(*browser);
  }

  // Immutable: root, which tests may run as, writes a file without write permission.
  const std::string file = Database().string();
  if (Run("chattr +i '" + file + "'")) {
    browser = StartTelling("/read-only", "may not be written");
    CloseBrowser(*browser);
    Run("chattr -i '" + file + "'");
    EXPECT_FALSE(InHistory(pages_.Url("/read-only")));
  }
  // Read-only media: the whole data folder, with no write-ahead log left beside the
  // file (written back by a tool, or a profile copied without it).
  ASSERT_TRUE(Execute("PRAGMA wal_checkpoint(TRUNCATE)"));
  if (const auto readOnly = test::MountedFolder::ReadOnly(Database().parent_path())) {
    browser = StartTelling("/read-only-media", "may not be written");
    CloseBrowser(*browser);
  }
  EXPECT_FALSE(InHistory(pages_.Url("/read-only-media")));
  for (const char* path : {"/kept", "/after-held"}) {
    EXPECT_TRUE(InHistory(pages_.Url(path))) << path;
  }

  // One damaged page: kept aside as it was, the user told, the rest still saved.
  // Written back from the log first, or the log's newer copy of the page would hide
  // the damage.
  ASSERT_TRUE(Execute("PRAGMA wal_checkpoint(TRUNCATE)"));
  const int page = std::atoi(Scalar("SELECT rootpage FROM sqlite_master WHERE name = 'history'").c_str());
  ASSERT_GT(page, 1);
  {
    std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
    bytes.seekp(static_cast<std::streamoff>(page - 1) * 4096);
    bytes << std::string(4096, '\xa5');
  }
  browser = StartTelling("/damaged", "Part of the browser data file is damaged");
  StartAgain({pages_.Url("/after-damage")});
  EXPECT_TRUE(WaitFor([&] { return Served("/after-damage"); }, 30s)) << "the browser goes on";
  CloseBrowser(*browser);
  // The data file itself is kept aside with the damaged page as it was (its log may lie beside it).
  bool copied = false;
  for (const fs::directory_entry& entry : fs::directory_iterator(Database().parent_path())) {
    const std::string name = entry.path().filename().string(), bytes = ReadFile(entry.path());
    copied = copied || (name.starts_with("kx.dat.damaged-") && !name.ends_with("-wal") && bytes.size() >= page * 4096u &&
                        bytes.substr((page - 1) * 4096u, 4096) == std::string(4096, '\xa5'));
  }
  EXPECT_TRUE(copied);
}

TEST_F(FaultsEndToEndTest, AFullDiskIsToldAndWhatIsVisitedOnceThereIsRoomIsSaved) {
  const auto disk = test::MountedFolder::SmallDisk(dir_.path() / "data", 64);
  if (!disk) GTEST_SKIP() << "a small disk needs mounting a tmpfs, which only root may do";
  auto browser = StartBrowser({"-noupdate", pages_.Url("/before")});
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/before")); }, kStartLimit)) << browser->Log();
  disk->FillUp();
  StartAgain({pages_.Url("/during")});
  EXPECT_TRUE(WaitFor([&] { return Served("/during"); }, 30s));
  EXPECT_TRUE(WaitFor([&] { return browser->Log().find("is full") != std::string::npos; }, 30s)) << browser->Log();
  disk->MakeRoom();
  StartAgain({pages_.Url("/after")});
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/after")); }, 30s)) << "saved again once there is room";
  CloseBrowser(*browser);
  EXPECT_TRUE(InHistory(pages_.Url("/before")));
}

}  // namespace
}  // namespace tarvo::e2e
