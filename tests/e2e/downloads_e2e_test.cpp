// Downloads with the real browser, as a user does them: a click on a link or a typed
// address, the save dialog, the download list's pause and continue, a server that
// drops the connection, a restart in the middle of a paused download, deleting a
// file, clearing the list, the address bar after a download, a full disk.
#include <signal.h>

#include <thread>

#include "e2e/browser_fixture.h"
#include "support/mounted_folder.h"
#include "support/range_file_server.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::RangeFileServer;

constexpr uint64_t kSize = 50 * 1024 * 1024;
// The save dialog's title in either shipped language (a new user gets the desktop's,
// or the first).
constexpr const char* kSaveDialog = "^(Save As|另存为)$";

class DownloadsEndToEndTest : public BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    fs::create_directories(Saved());
  }
  fs::path Saved() const { return dir_.path() / "saved"; }
  // A page of two links, each filling half of it: `upper` above, `lower` below.
  void ServeLinkPage(const std::string& page, const std::string& upper, const std::string& lower = "/none") {
    const std::string style = "' style='display:block;width:100vw;height:50vh;font-size:40px'>";
    files_.ServePage(page, "<!doctype html><html><body style='margin:0'><a href='" + upper + style + upper +
                               "</a><a href='" + lower + style + lower + "</a></body></html>");
  }
  // Waits for the main window, clicks a link of the page (the upper one, or the
  // lower), answers the save dialog with `name` in the saved folder.
  void DownloadFromPage(ChildProcess& browser, const std::string& name, bool lower = false) {
    SaveAs(browser, name, [&](const Window& main) {
      ClickAt(main.x + main.width / 2, main.y + main.height * (lower ? 80 : 35) / 100);
    });
  }
  // The same, the file's address typed into the address bar.
  void DownloadTyped(ChildProcess& browser, const std::string& name, const std::string& url) {
    SaveAs(browser, name, [&](const Window&) { TypeIntoAddressBar(browser, url); });
  }
  // Waits for the main window, does `start` until the save dialog shows, answers it
  // with `name` in the saved folder.
  void SaveAs(ChildProcess& browser, const std::string& name, const std::function<void(const Window&)>& start) {
    std::optional<Window> main = AwaitMainWindow(browser);
    ASSERT_TRUE(main.has_value()) << browser.Log();
    ASSERT_TRUE(ActUntilShown(
        [&] {
          if (const std::optional<Window> now = MainWindow(browser)) main = now;
          start(*main);
        },
        kSaveDialog, 10s))
        << "no save dialog" << (Screenshot("downloads_no_dialog"), "");
    const std::string path = (Saved() / name).string();
    ASSERT_EQ(std::system(("xdotool sleep 0.3 key ctrl+a type --delay 5 '" + path + "'").c_str()), 0);
    ASSERT_EQ(std::system("xdotool sleep 0.2 key Return"), 0);
  }
  // The download list: the one a new download opened, or the toolbar's.
  std::optional<Window> DownloadList(ChildProcess& browser) {
    if (std::optional<Window> list = WindowNamed("^download_dialog$")) return list;
    return ActUntilShown(
        [&] {
          if (const std::optional<Window> main = MainWindow(browser)) ClickAt(main->x + main->width - 58, main->y + 66);
        },
        "^download_dialog$", 3s, 20s);
  }
  // Clicks a point of the first row of the download list.
  void ClickFirstRow(ChildProcess& browser, int x, int y) {
    const std::optional<Window> list = DownloadList(browser);
    ASSERT_TRUE(list.has_value());
    std::this_thread::sleep_for(300ms);
    ClickAt(list->x + x, list->y + y);
  }
  void CloseList() {
    if (WindowNamed("^download_dialog$")) std::system("xdotool key Escape");
    WaitFor([] { return !WindowNamed("^download_dialog$").has_value(); }, 5s);
  }
  // The Range headers of the requests for `path`, "-" for none.
  std::string Ranges(const std::string& path) const {
    std::string ranges;
    for (const auto& request : files_.RequestsFor(path)) ranges += (request.range.empty() ? "-" : request.range) + " ";
    return ranges;
  }
  std::string Status(const std::string& name) const {
    return Scalar("select status from download where filename='" + name + "'");
  }
  uint64_t SizeOf(const fs::path& path) const {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : size;
  }

  // Positions in the list (400 × 480): a running row's pause button, an ended row's
  // delete button, the clear button.
  static constexpr int kPauseX = 110, kPauseY = 175;
  static constexpr int kDeleteX = 328, kDeleteY = 153;
  static constexpr int kClearX = 261, kClearY = 454;

  RangeFileServer files_;
};

TEST_F(DownloadsEndToEndTest, ALinkIsSavedPausedContinuedDroppedResumedAfterARestartDeletedAndCleared) {
  ServeLinkPage("/links", "/big.bin", "/drop.bin");
  RangeFileServer::File big{kSize, "\"big-1\""};
  big.bytesPerSecond = 6 * 1024 * 1024;
  big.fileName = "big.bin";
  files_.Serve("/big.bin", big);
  auto browser = StartBrowser({files_.Url("/links")});
  DownloadFromPage(*browser, "chosen.bin");
  const fs::path partial = Saved() / "chosen.bin.tmp.download";
  ASSERT_TRUE(WaitFor([&] { return SizeOf(partial) > 0; }, 30s)) << browser->Log();

  ClickFirstRow(*browser, kPauseX, kPauseY);
  ASSERT_TRUE(WaitFor([&] { return Status("chosen.bin") == "2"; }, 10s));
  std::this_thread::sleep_for(1s);
  const uint64_t paused = SizeOf(partial);
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(SizeOf(partial), paused) << "bytes arrived while paused";
  EXPECT_LT(paused, kSize);

  ClickFirstRow(*browser, kPauseX, kPauseY);
  ASSERT_TRUE(WaitFor([&] { return Status("chosen.bin") == "1"; }, 60s)) << browser->Log();
  EXPECT_TRUE(RangeFileServer::HoldsPattern((Saved() / "chosen.bin").string(), kSize));
  EXPECT_FALSE(fs::exists(Saved() / "chosen.bin.tmp"));
  EXPECT_EQ(Scalar("select count(*) from download"), "1");
  // The page stays where it was: the file's address is no visit.
  EXPECT_TRUE(InHistory(files_.Url("/links")));
  EXPECT_FALSE(InHistory(files_.Url("/big.bin")));
  CloseList();

  // The server gives up half-way; the engine asks for the rest.
  RangeFileServer::File dropping{kSize / 5, "\"drop-1\""};
  dropping.dropFirstAfter = kSize / 10;
  dropping.fileName = "drop.bin";
  files_.Serve("/drop.bin", dropping);
  DownloadFromPage(*browser, "dropped.bin", true);
  ASSERT_TRUE(WaitFor([&] { return !Status("dropped.bin").empty() && Status("dropped.bin") != "0"; }, 60s))
      << Ranges("/drop.bin") << " requested, status '" << Status("dropped.bin") << "', "
      << SizeOf(Saved() / "dropped.bin.tmp.download") << " bytes";
  EXPECT_EQ(Status("dropped.bin"), "1");
  EXPECT_TRUE(RangeFileServer::HoldsPattern((Saved() / "dropped.bin").string(), kSize / 5));
  const auto dropped = files_.RequestsFor("/drop.bin");
  ASSERT_GE(dropped.size(), 2U);
  EXPECT_EQ(dropped.back().range, "bytes=" + std::to_string(kSize / 10) + "-");
  CloseList();

  // Paused, then the browser closed: the bytes so far survive the engine's shut-down
  // under the working name, and the next run asks for the rest with a range request.
  RangeFileServer::File resume{kSize, "\"resume-1\""};
  resume.bytesPerSecond = 4 * 1024 * 1024;
  resume.fileName = "resume.bin";
  files_.Serve("/resume.bin", resume);
  DownloadTyped(*browser, "resumed.bin", files_.Url("/resume.bin"));
  ASSERT_TRUE(WaitFor([&] { return SizeOf(Saved() / "resumed.bin.tmp.download") > 1024 * 1024; }, 30s));
  ClickFirstRow(*browser, kPauseX, kPauseY);
  ASSERT_TRUE(WaitFor([&] { return Status("resumed.bin") == "2"; }, 10s));
  CloseList();
  CloseBrowser(*browser);
  const fs::path working = Saved() / "resumed.bin.tmp";
  const uint64_t held = SizeOf(working);
  ASSERT_GT(held, 0U);
  EXPECT_TRUE(RangeFileServer::HoldsPattern(working.string(), held));
  EXPECT_EQ(Status("resumed.bin"), "2");
  EXPECT_EQ(Scalar("select value from info where key = 'download_validator " + files_.Url("/resume.bin") + "'"),
            "\"resume-1\"");
  browser = StartBrowser({files_.Url("/links")});
  ASSERT_TRUE(AwaitMainWindow(*browser).has_value());
  std::this_thread::sleep_for(2s);  // the window settles at its working size
  ClickFirstRow(*browser, kPauseX, kPauseY);  // continue
  ASSERT_TRUE(WaitFor([&] { return Status("resumed.bin") == "1"; }, 60s)) << browser->Log();
  EXPECT_TRUE(RangeFileServer::HoldsPattern((Saved() / "resumed.bin").string(), kSize));
  const auto resumed = files_.RequestsFor("/resume.bin");
  ASSERT_GE(resumed.size(), 2U);
  EXPECT_EQ(resumed.back().range, "bytes=" + std::to_string(held) + "-") << Ranges("/resume.bin");
  EXPECT_EQ(resumed.back().ifRange, "\"resume-1\"");
  CloseList();

  // Delete file (the newest row), then clear the list: the other files stay.
  ClickFirstRow(*browser, kDeleteX, kDeleteY);
  ASSERT_TRUE(WaitFor([&] { return !fs::exists(Saved() / "resumed.bin"); }, 10s));
  EXPECT_EQ(Scalar("select count(*) from download"), "2");
  ClickFirstRow(*browser, kClearX, kClearY);
  ASSERT_TRUE(WaitFor([&] { return Scalar("select count(*) from download") == "0"; }, 10s));
  EXPECT_TRUE(fs::exists(Saved() / "chosen.bin") && fs::exists(Saved() / "dropped.bin"));
  CloseList();
  CloseBrowser(*browser);
}

// A typed address or a clicked link that turns out to be a file: the page stays, and
// so must the address bar, which shows the page's address again, not the file's.
// One row per engine and way.
TEST_F(DownloadsEndToEndTest, TheAddressBarShowsThePagesAddressAfterADownload) {
  struct Row {
    const char* engine;  // the engine that shows the page and meets the file
    const char* way;     // "typed" or "link"
    std::function<std::string(const std::string& path)> url;  // the address of a path there
  };
  const auto loopback = [this](const std::string& path) { return files_.Url(path); };
  // The compatibility engine shows the pages of "localhost", as it would a bank's,
  // in the data a first start made.
  const auto compat = [this](const std::string& path) {
    std::string url = files_.Url(path);
    return url.replace(url.find("127.0.0.1"), 9, "localhost");
  };
  FirstStart();
  ASSERT_TRUE(Execute("INSERT INTO domain_type (domain, type) VALUES ('localhost', 2)"));
  const std::vector<Row> rows = {{"chromium", "typed", loopback},
                                 {"chromium", "link", loopback},
                                 {"compat", "typed", compat},
                                 {"compat", "link", compat}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.engine) + ", " + row.way);
    const std::string name = std::string(row.engine) + "-" + row.way + ".bin";
    ServeLinkPage("/typed-page", "/none");
    ServeLinkPage("/link-page", "/" + name);
    RangeFileServer::File file{8 * 1024 * 1024, "\"" + name + "\""};
    file.fileName = name;
    files_.Serve("/" + name, file);
    const std::string way = row.way;
    const std::string page = row.url(way == "typed" ? "/typed-page" : "/link-page");
    auto browser = StartBrowser({page});
    if (way == "typed") {
      DownloadTyped(*browser, name, row.url("/" + name));
    } else {
      DownloadFromPage(*browser, name);
    }
    ASSERT_TRUE(WaitFor([&] { return Status(name) == "1"; }, 60s)) << browser->Log();
    CloseList();
    EXPECT_EQ(AddressBarText(*browser), page);
    CloseBrowser(*browser);
  }
}

TEST_F(DownloadsEndToEndTest, ADownloadOntoAFullDiskFailsVisiblyAndSucceedsOnceThereIsRoom) {
  const auto disk = test::MountedFolder::SmallDisk(Saved(), 8);
  if (!disk) GTEST_SKIP() << "a small disk needs mounting a tmpfs, which only root may do";
  ServeLinkPage("/links", "/first.bin", "/second.bin");
  for (const char* name : {"first.bin", "second.bin"}) {
    RangeFileServer::File file{4 * 1024 * 1024, std::string("\"") + name + "\""};
    file.fileName = name;
    files_.Serve(std::string("/") + name, file);
  }
  auto browser = StartBrowser({files_.Url("/links")});
  disk->FillUp();
  DownloadFromPage(*browser, "first.bin");
  ASSERT_TRUE(WaitFor([&] { return Status("first.bin") == "-1"; }, 60s))
      << "status '" << Status("first.bin") << "'" << browser->Log();
  ASSERT_TRUE(DownloadList(*browser).has_value());
  CloseList();

  disk->MakeRoom();
  DownloadFromPage(*browser, "second.bin", true);
  ASSERT_TRUE(WaitFor([&] { return Status("second.bin") == "1"; }, 60s)) << browser->Log();
  EXPECT_TRUE(RangeFileServer::HoldsPattern((Saved() / "second.bin").string(), 4 * 1024 * 1024));
  EXPECT_EQ(Status("first.bin"), "-1") << "the failed download stays listed";
  CloseList();
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
