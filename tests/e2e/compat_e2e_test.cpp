// A compatibility tab as a user meets it in the real browser: a page of current web
// features runs in it, what the user types reaches the page's fields and Enter
// submits the form, and the browser's own keys act while the page has the focus.
#include <algorithm>
#include <cstdlib>

#include "e2e/browser_fixture.h"
#include "session/session_file.h"

namespace tarvo::e2e {
namespace {

using namespace std::chrono_literals;

class CompatEndToEndTest : public BrowserFixture {
 protected:
  // The tabs of the browser's one window as its session file has them.
  std::vector<SavedTab> Tabs() const {
    const SessionFile::ReadResult read = SessionFile((Database().parent_path() / "session.json").string()).Read();
    return read.state.windows.empty() ? std::vector<SavedTab>() : read.state.windows.front().tabs;
  }
  std::string TitleOf(const std::string& path) const {
    return Scalar("SELECT title FROM history WHERE url = '" + pages_.Url(path) + "' ORDER BY rowid DESC");
  }
  static bool Keys(const std::string& keys) { return std::system(("xdotool " + keys).c_str()) == 0; }
  bool Open(ChildProcess& browser, const std::string& path) { return TypeUntilServed(browser, pages_.Url(path), path); }
};

TEST_F(CompatEndToEndTest, AModernPageRunsAndTypingAndTheBrowsersKeysWorkInACompatibilityTab) {
  // The test pages' host becomes one the compatibility engine shows, like a bank's,
  // in the data a first start made.
  FirstStart();
  ASSERT_TRUE(Execute("INSERT INTO domain_type (domain, type) VALUES ('127.0.0.1', 2)"));
  auto browser = StartBrowser({"-noupdate"});
  const std::optional<Window> window = AwaitMainWindow(*browser);
  ASSERT_TRUE(window.has_value()) << browser->Log();

  ASSERT_TRUE(Open(*browser, "/modern.html")) << browser->Log();
  EXPECT_TRUE(WaitFor([&] { return TitleOf("/modern.html") == "modern 6 of 6"; }, 30s))
      << "features: " << TitleOf("/modern.html") << "\n" << browser->Log();
  EXPECT_FALSE(pages_.RequestsFor("/fetched").empty());
  // The session file is written once a second: the new tab is in it by then.
  EXPECT_TRUE(WaitFor([&] { return !Tabs().empty() && Tabs().back().engineType == 2; }, 5s))
      << (Tabs().empty() ? -1 : Tabs().back().engineType);
  // The page is drawn, not only run: its grid's cells wear the accent colour at the top
  // of the page (the first paint may follow the title by a moment).
  EXPECT_TRUE(WaitFor(
      [&] {
        for (const int fromTop : {132, 145, 160}) {
          if (PixelOf(*window, 360, fromTop) == "srgb(0,128,96)") return true;
        }
        return false;
      },
      10s))
      << PixelOf(*window, 360, 145);

  // The form fills the top of the page: a field, then a text area below it.
  ASSERT_TRUE(Open(*browser, "/form.html"));
  ASSERT_TRUE(WaitFor([&] { return TitleOf("/form.html") == "Page /form.html"; }, 30s)) << browser->Log();
  // Typed once the page is on the screen: the field is white where the empty view is grey.
  ASSERT_TRUE(WaitFor([&] { return PixelOf(*window, 300, 200) == "srgb(255,255,255)"; }, 20s))
      << PixelOf(*window, 300, 200);
  // A menu of the browser's opened over the page and closed again leaves the page
  // drawn where it lay.
  ASSERT_TRUE(ClickAt(window->x + 20, window->y + 26));
  ASSERT_TRUE(WaitFor([] { return WindowNamed("^KXMenuWnd$").has_value(); }, 10s));
  ASSERT_TRUE(Keys("key Escape"));
  ASSERT_TRUE(WaitFor([] { return !WindowNamed("^KXMenuWnd$").has_value(); }, 10s));
  EXPECT_TRUE(WaitFor([&] { return PixelOf(*window, 100, 200) == "srgb(255,255,255)"; }, 5s))
      << "the page stayed blank where the menu was: " << PixelOf(*window, 100, 200);
  const auto clickPage = [&](int fromTop) { return ClickAt(window->x + 300, window->y + fromTop); };
  // Keys reach the page through the browser, a click straight from the display: each
  // step waits until the page has what was typed, or a click could overtake its keys.
  ASSERT_TRUE(clickPage(200) && Keys("type --delay 30 'alice'"));
  EXPECT_TRUE(WaitFor([&] { return TitleOf("/form.html") == "typed [alice] []"; }, 10s)) << TitleOf("/form.html");
  ASSERT_TRUE(clickPage(440) && Keys("type --delay 30 'one'") && Keys("key Return") && Keys("type --delay 30 'two'"));
  EXPECT_TRUE(WaitFor([&] { return TitleOf("/form.html") == "typed [alice] [one|two]"; }, 10s)) << TitleOf("/form.html");
  ASSERT_TRUE(clickPage(200) && Keys("key Return"));
  ASSERT_TRUE(WaitFor([&] { return Served("/sent"); }, 20s)) << browser->Log();
  const auto query = pages_.RequestsFor("/sent").front().query;
  EXPECT_EQ(query.find("account")->second, "alice");
  EXPECT_EQ(query.find("note")->second, "one\r\ntwo");

  // The browser's keys, pressed while the page has the focus.
  ASSERT_TRUE(clickPage(400) && Keys("key ctrl+f"));
  EXPECT_TRUE(WaitFor([] { return WindowNamed("^find_wnd$").has_value(); }, 10s)) << "Ctrl+F: no find bar";
  // The find bar waits for its text; Escape closes it and gives the page its keys again.
  ASSERT_TRUE(Keys("key Escape"));
  EXPECT_TRUE(WaitFor([] { return !WindowNamed("^find_wnd$").has_value(); }, 10s));
  ASSERT_TRUE(clickPage(400) && Keys("key ctrl+l") && Keys("sleep 0.3 type --delay 20 '" + pages_.Url("/typed.html") + "'"));
  ASSERT_TRUE(Keys("key Return"));
  EXPECT_TRUE(WaitFor([&] { return Served("/typed.html"); }, 20s)) << "Ctrl+L: the address bar did not take the text";
  ASSERT_TRUE(WaitFor([&] { return TitleOf("/typed.html") == "Page /typed.html"; }, 20s));
  const size_t tabs = Tabs().size();
  ASSERT_TRUE(clickPage(400) && Keys("key ctrl+t"));
  EXPECT_TRUE(WaitFor([&] { return Tabs().size() == tabs + 1; }, 10s)) << "Ctrl+T: no new tab";
  // Back to the compatibility tab (the tab strip's tabs are 240 pixels wide, from 41
  // pixels in), where Ctrl+W closes it.
  const auto compat = [&] {
    const std::vector<SavedTab> now = Tabs();
    return std::find_if(now.begin(), now.end(), [](const SavedTab& tab) { return tab.engineType == 2; }) - now.begin();
  };
  ASSERT_LT(static_cast<size_t>(compat()), Tabs().size());
  ASSERT_TRUE(ClickAt(window->x + 41 + 240 * static_cast<int>(compat()) + 120, window->y + 20));
  ASSERT_TRUE(clickPage(400) && Keys("key ctrl+w"));
  EXPECT_TRUE(WaitFor([&] { return Tabs().size() == tabs && static_cast<size_t>(compat()) == Tabs().size(); }, 10s))
      << "Ctrl+W: the compatibility tab is still there";
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
