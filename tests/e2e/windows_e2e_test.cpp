// Several main windows in the one running browser, as a user meets them: Ctrl+N, a
// later start with "-newwindow" (the desktop entry's action) and one with a plain
// address, then the windows closed one by one with their close buttons until the
// browser ends in order. A private window (Ctrl+Shift+N) beside an ordinary one keeps
// its cookies to itself, in both engines, and leaves nothing in the data folder.
#include <csignal>
#include <thread>

#include "e2e/browser_fixture.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class WindowsEndToEndTest : public BrowserFixture {
 protected:
  // The top main window (the one opened last), once the browser shows one: a window
  // can be missing from a listing for a moment while another opens or closes.
  bool TopWindow(ChildProcess& browser, Window& top) const {
    return WaitFor(
        [&] {
          const auto windows = MainWindows(browser);
          if (!windows.empty()) top = windows.back();
          return !windows.empty();
        },
        30s);
  }
  bool WindowCountIs(ChildProcess& browser, size_t count) {
    return WaitFor([&] { return MainWindows(browser).size() == count; }, 30s);
  }
  // Types `url` into the address bar of `window` until the page server sees `path`
  // asked for more than `served` times; the Cookie header of that request.
  std::optional<std::string> Visit(const Window& window, const std::string& url, const std::string& path) {
    const size_t served = pages_.RequestsFor(path).size();
    if (!TypeUntil(window, url, [&] { return pages_.RequestsFor(path).size() > served; })) return std::nullopt;
    return pages_.RequestsFor(path).back().cookie;
  }
  // Every file under the data folder with its size: what browsing wrote there.
  std::map<std::string, uintmax_t> DataFiles() const {
    std::map<std::string, uintmax_t> files;
    const fs::path root = Database().parent_path();
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
      const std::string name = fs::relative(it->path(), root).string();
      // The ordinary profile's network state (which servers speak what) is written
      // about a minute after its first request, whatever the windows do then; its
      // disk cache's index is rewritten some time after its own loads (seen 4 s
      // quiet and then written on a busy machine). A private page in that cache
      // would still show: as an entry file of its own.
      if (name == "Cookie/Network Persistent State" || it->path().filename() == "the-real-index") continue;
      if (it->is_regular_file(error)) files[name] = it->file_size(error);
    }
    return files;
  }
  std::string Rows(const std::string& table) const { return Scalar("select count(*) from " + table); }
};

TEST_F(WindowsEndToEndTest, APrivateWindowKeepsItsCookiesToItselfAndNewWindowsOpenAndCloseOneByOne) {
  // A first run leaves the ordinary profile a cookie on disk.
  {
    auto first = StartBrowser({"-noupdate", pages_.Url("/set-cookie")});
    ASSERT_TRUE(WaitFor([&] { return ShownInHistory("/set-cookie"); }, kStartLimit)) << first->Log();
    CloseBrowser(*first);
  }
  auto browser = StartBrowser({"-noupdate", pages_.Url("/normal")});
  ASSERT_TRUE(WaitFor([&] { return Served("/normal") && MainWindows(*browser).size() == 1; }, kStartLimit))
      << browser->Log();
  Window normal;
  ASSERT_TRUE(TopWindow(*browser, normal));
  // "localhost" belongs to the compatibility engine from now on.
  ASSERT_TRUE(Execute("insert into domain_type (domain, type) values ('localhost', 2)"));
  const std::string rowsBefore = Rows("history") + " " + Rows("searchtext") + " " + Rows("download");
  // The start's own writes (engine state, the session, the service's lists) settle.
  std::map<std::string, uintmax_t> before = DataFiles();
  ASSERT_TRUE(WaitFor(
      [&] {
        std::this_thread::sleep_for(4s);
        const auto now = DataFiles();
        return std::exchange(before, now) == now;
      },
      90s));

  ASSERT_TRUE(OpenWindowWithKey(*browser, normal, "ctrl+shift+n")) << "Ctrl+Shift+N opened no window";
  Window privateWindow;
  ASSERT_TRUE(TopWindow(*browser, privateWindow));
  const auto set = Visit(privateWindow, pages_.Url("/set-private-cookie"), "/set-private-cookie");
  ASSERT_TRUE(set.has_value()) << browser->Log();
  EXPECT_EQ(set->find("e2e_kept"), std::string::npos) << "the ordinary profile's cookie leaked in: " << *set;
  const auto sent = Visit(privateWindow, pages_.Url("/private-check"), "/private-check");
  ASSERT_TRUE(sent.has_value());
  EXPECT_NE(sent->find("e2e_private=private-1"), std::string::npos) << *sent;
  // A compatibility tab of the window keeps its cookie in memory: sent again, never
  // written to the jar file.
  const std::string compat = "http://localhost:" + std::to_string(pages_.port());
  ASSERT_TRUE(Visit(privateWindow, compat + "/set-private-cookie", "/set-private-cookie").has_value());
  const auto compatSent = Visit(privateWindow, compat + "/compat-check", "/compat-check");
  ASSERT_TRUE(compatSent.has_value());
  EXPECT_NE(compatSent->find("e2e_private=private-1"), std::string::npos) << *compatSent;

  // Nothing of it reached the data folder: no file grew or appeared, no row.
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(DataFiles(), before);
  EXPECT_EQ(Rows("history") + " " + Rows("searchtext") + " " + Rows("download"), rowsBefore);
  const std::string session = ReadFile(Database().parent_path() / "session.json");
  EXPECT_EQ(session.find("check"), std::string::npos) << session;

  // Closed, the window takes its cookies along: a new private window has none, and
  // the ordinary one never saw them.
  ClickAt(privateWindow.x + privateWindow.width - 21, privateWindow.y + 17);
  ASSERT_TRUE(WindowCountIs(*browser, 1)) << "the private window did not close";
  ASSERT_TRUE(OpenWindowWithKey(*browser, normal, "ctrl+shift+n"));
  Window second;
  ASSERT_TRUE(TopWindow(*browser, second));
  const auto again = Visit(second, pages_.Url("/private-again"), "/private-again");
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->find("e2e_private"), std::string::npos) << *again;
  ClickAt(second.x + second.width - 21, second.y + 17);
  ASSERT_TRUE(WindowCountIs(*browser, 1));
  const auto ordinary = Visit(normal, pages_.Url("/normal-after"), "/normal-after");
  ASSERT_TRUE(ordinary.has_value());
  EXPECT_NE(ordinary->find("e2e_kept=persistent-1"), std::string::npos) << *ordinary;
  EXPECT_EQ(ordinary->find("e2e_private"), std::string::npos) << *ordinary;

  // Ctrl+N in the window: a second window of the same process on the home page.
  EXPECT_TRUE(OpenWindowWithKey(*browser, normal, "ctrl+n")) << "Ctrl+N opened no window";

  // The desktop entry's "new window" action with an address, then a plain address.
  StartAgain({"-newwindow", pages_.Url("/two")});
  EXPECT_TRUE(WindowCountIs(*browser, 3));
  EXPECT_TRUE(WaitFor([&] { return Served("/two"); }, 30s));
  StartAgain({pages_.Url("/three")});
  EXPECT_TRUE(WaitFor([&] { return Served("/three"); }, 30s));
  EXPECT_TRUE(WindowCountIs(*browser, 3)) << "a plain address opened a window";

  // Each close button closes its own window; the browser goes on until the last.
  for (size_t left = 3; left > 1; --left) {
    Window top;
    ASSERT_TRUE(TopWindow(*browser, top));
    ClickAt(top.x + top.width - 21, top.y + 17);
    ASSERT_TRUE(WindowCountIs(*browser, left - 1)) << "the close button did not close its window";
    EXPECT_FALSE(browser->WaitForExit(1s).has_value()) << "the browser ended with windows open";
  }
  // The remaining window still browses.
  EXPECT_TRUE(TypeUntilServed(*browser, pages_.Url("/after"), "/after", 30s));
  Window last;
  ASSERT_TRUE(TopWindow(*browser, last));
  ClickAt(last.x + last.width - 21, last.y + 17);
  const auto status = browser->WaitForExit(kStartLimit);
  ASSERT_TRUE(status.has_value()) << "closing the last window did not end the browser";
  EXPECT_EQ(*status, 0) << browser->Log();
}

}  // namespace
}  // namespace tarvo::e2e
