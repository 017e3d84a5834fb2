// Tabs coming back after a restart with the real browser: a saved session of two
// windows (pinned, zoomed and compatibility tabs) restored when chosen, only the
// selected tabs loading; kept while running, offered after a kill, whole after an
// orderly close; a damaged or crash-looping session gives the home page, kept aside.
#include <csignal>
#include <fstream>
#include <set>

#include "e2e/browser_fixture.h"
#include "session/session_file.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The restored windows get through their first moments (the browser then writes
// the session again) plus a poll.
constexpr auto kSettled = 25s;

class SessionEndToEndTest : public BrowserFixture {
 protected:
  fs::path SessionPath() const { return Database().parent_path() / "session.json"; }
  void ChooseRestore() const {
    fs::create_directories(dir_.path() / "config" / "TarvoBrowser");
    std::ofstream(dir_.path() / "config" / "TarvoBrowser" / "registry.json")
        << R"({"Software\\TarvoBrowser":{"restore_session":"1"}})";
  }
  SessionState Saved() const {
    SessionState state;
    state.windows.push_back({{{pages_.Url("/w1a"), 1, true, 0, "Saved w1a"}, {pages_.Url("/w1b"), 1, false, 2},
                              {pages_.Url("/w1c"), 2, false, 0, "Saved w1c"}},
                             1});
    state.windows.push_back({{{pages_.Url("/w2a"), 1, false}, {pages_.Url("/w2b"), 1, false, 0, "Saved w2b"}}, 0});
    return state;
  }
  // The windows of a state as a set (the file lists the window used last first).
  static std::multiset<std::string> WindowsOf(const SessionState& state) {
    std::multiset<std::string> windows;
    for (const SavedWindow& window : state.windows) {
      std::string text = "selected " + std::to_string(window.selected);
      for (const SavedTab& tab : window.tabs) {
        text += " | " + tab.url + " e" + std::to_string(tab.engineType) + (tab.pinned ? " pinned" : "") + " zoom " +
                std::to_string(tab.zoomLevel);
      }
      windows.insert(text);
    }
    return windows;
  }
  // Waits until the browser rewrote the session file with `expected`'s windows.
  ::testing::AssertionResult SessionOnDiskIs(const SessionState& expected, bool clean, std::chrono::seconds limit) {
    SessionFile::ReadResult read;
    const bool same = WaitFor(
        [&] {
          read = SessionFile(SessionPath().string()).Read();
          return read.status == SessionFile::Status::kOk && read.state.cleanExit == clean &&
                 read.state.restoreAttempts == 0 && WindowsOf(read.state) == WindowsOf(expected);
        },
        limit);
    if (same) return ::testing::AssertionSuccess();
    std::string found;
    for (const std::string& window : WindowsOf(read.state)) found += "\n  " + window;
    return ::testing::AssertionFailure() << "session on disk (status " << static_cast<int>(read.status) << ", clean "
                                         << read.state.cleanExit << ", attempts " << read.state.restoreAttempts
                                         << "):" << found;
  }
  // How often each page of the saved session was asked for so far.
  std::map<std::string, size_t> Requests() const {
    std::map<std::string, size_t> counts;
    for (const char* path : {"/w1a", "/w1b", "/w1c", "/w2a", "/w2b"}) counts[path] = pages_.RequestsFor(path).size();
    return counts;
  }
  // Each window's selected tab loaded since `before`; the others were not asked for.
  bool SelectedServedSince(const std::map<std::string, size_t>& before) const {
    for (const auto& [path, count] : Requests()) {
      const auto earlier = before.find(path);
      const bool served = count > (earlier == before.end() ? 0 : earlier->second);
      if (served != (path == "/w1b" || path == "/w2a")) return false;
    }
    return true;
  }
};

TEST_F(SessionEndToEndTest, ASessionComesBackAfterAKillAndAnOrderlyCloseAndADamagedOrCrashingOneIsKeptAside) {
  ChooseRestore();
  fs::create_directories(SessionPath().parent_path());
  SessionState saved = Saved();
  saved.cleanExit = true;
  ASSERT_TRUE(SessionFile(SessionPath().string()).Write(saved));

  // Chosen: restored without asking; the running browser writes it back unchanged.
  auto browser = StartBrowser({});
  ASSERT_TRUE(WaitFor([&] { return SelectedServedSince({}); }, kStartLimit)) << browser->Log();
  EXPECT_TRUE(SessionOnDiskIs(saved, false, kSettled));
  EXPECT_TRUE(SelectedServedSince({})) << "a tab not selected was loaded";

  // Killed: the next start offers the session (the user accepts) and restores it.
  browser->Signal(SIGKILL);
  ASSERT_TRUE(browser->WaitForExit(10s).has_value());
  const auto before = Requests();
  browser = StartBrowser({});
  EXPECT_TRUE(
      WaitFor([&] { return SelectedServedSince(before) || (AnswerMessageBox() && SelectedServedSince(before)); },
              kStartLimit))
      << browser->Log();
  EXPECT_TRUE(SessionOnDiskIs(saved, false, kSettled));
  EXPECT_TRUE(SelectedServedSince(before)) << "a tab not selected was loaded";

  // An orderly close keeps every window's tabs, marked so; those never loaded keep
  // their saved titles.
  CloseBrowser(*browser);
  EXPECT_TRUE(SessionOnDiskIs(saved, true, 5s));
  std::set<std::string> titles;
  for (const SavedWindow& window : SessionFile(SessionPath().string()).Read().state.windows) {
    for (const SavedTab& tab : window.tabs) titles.insert(tab.title);
  }
  for (const char* title : {"Saved w1a", "Saved w1c", "Saved w2b"}) EXPECT_EQ(titles.count(title), 1u) << title;

  // A damaged session gives the home page and is kept aside.
  std::ofstream(SessionPath()) << "{\"version\":1,\"windows\":[{\"tabs\":[";
  browser = StartBrowser({pages_.Url("/fresh")});
  ASSERT_TRUE(WaitFor([&] { return Served("/fresh"); }, kStartLimit)) << browser->Log();
  CloseBrowser(*browser);
  EXPECT_TRUE(fs::exists(SessionPath().string() + ".bad"));
  EXPECT_TRUE(SessionOnDiskIs(SessionState{{{{{pages_.Url("/fresh"), 1, false}}, 0}}}, true, 5s));

  // Two restores of this session crashed in a row: the home page, and a word why.
  SessionState crashing = Saved();
  crashing.restoreAttempts = 2;
  ASSERT_TRUE(SessionFile(SessionPath().string()).Write(crashing));
  browser = StartBrowser({});
  EXPECT_TRUE(WaitFor([&] { return WindowNamed("Message").has_value() && MainWindow(*browser).has_value(); },
                      kStartLimit));
  EXPECT_FALSE(Served("/w1a")) << "the crashing session was restored";
  EXPECT_TRUE(AnswerMessageBox());
  CloseBrowser(*browser);
  EXPECT_EQ(SessionFile(SessionPath().string() + ".bad").Read().state.restoreAttempts, 2);
}

}  // namespace
}  // namespace tarvo::e2e
