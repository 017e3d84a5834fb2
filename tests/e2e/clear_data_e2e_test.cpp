// The clear-data window in the real browser: the cookies of a loopback site are not
// sent on the next request nor after a restart, history and search texts are gone,
// and the exit-clean switch is stored the moment it is clicked, shown checked at the
// next start and empties history and cookies at that run's close.
#include <regex>

#include "e2e/browser_fixture.h"

namespace tarvo::e2e {
namespace {

using namespace std::chrono_literals;

class ClearDataEndToEndTest : public BrowserFixture {
 protected:
  static void Click(const Window& window, int x, int y) { ClickAt(window.x + x, window.y + y); }
  // A checked box is filled with the accent blue (its tick, in the middle, is white).
  static bool LooksChecked(const Window& window, int x, int y) {
    std::smatch rgb;
    const std::string pixel = PixelOf(window, x, y);
    if (!std::regex_search(pixel, rgb, std::regex("\\((\\d+),(\\d+),(\\d+)"))) return false;
    return std::stoi(rgb[3]) > std::stoi(rgb[1]) + 80;
  }
  std::string CookieSentTo(const std::string& path) const {
    const auto requests = pages_.RequestsFor(path);
    return requests.empty() ? "(not requested)" : requests.back().cookie;
  }

  // Check boxes and buttons of the window (360 × 400).
  static constexpr int kBoxX = 31, kRecordsY = 89, kCookiesY = 173, kExitCleanY = 278;
  static constexpr int kClearX = 287, kClearY = 369;
};

TEST_F(ClearDataEndToEndTest, ClearedCookiesAreNotSentAgainAndTheExitSwitchIsKept) {
  auto browser = StartBrowser({pages_.Url("/set-cookie")});
  ASSERT_TRUE(WaitFor([&] { return ShownInHistory("/set-cookie"); }, kStartLimit)) << browser->Log();
  ASSERT_TRUE(Execute("insert into searchtext (searchtext, created_at, updated_at) values ('needle', 1, 1)"));

  std::optional<Window> window = OpenClearData(*browser);
  ASSERT_TRUE(window.has_value());
  Click(*window, kBoxX, kRecordsY);
  Click(*window, kBoxX, kCookiesY);
  Click(*window, kClearX, kClearY);
  ASSERT_TRUE(WaitFor([] { return !WindowNamed("^empty_history_list$").has_value(); }, 10s));
  EXPECT_EQ(Scalar("select count(*) from searchtext"), "0");
  EXPECT_TRUE(History().empty());

  ASSERT_TRUE(TypeUntilServed(*browser, pages_.Url("/check"), "/check"));
  EXPECT_EQ(CookieSentTo("/check"), "");
  CloseBrowser(*browser);

  browser = StartBrowser({pages_.Url("/after-restart")});
  ASSERT_TRUE(WaitFor([&] { return Served("/after-restart"); }, kStartLimit)) << browser->Log();
  EXPECT_EQ(CookieSentTo("/after-restart"), "") << "a cleared cookie came back after the restart";

  window = OpenClearData(*browser);
  ASSERT_TRUE(window.has_value());
  EXPECT_FALSE(LooksChecked(*window, kBoxX - 5, kExitCleanY - 4));
  Click(*window, kBoxX, kExitCleanY);
  EXPECT_TRUE(WaitFor([&] { return Scalar("select value from info where key='exit_clean'") == "1"; }, 5s))
      << "the switch is stored when it is clicked, without clearing";
  std::system("xdotool key Escape");
  CloseBrowser(*browser);

  browser = StartBrowser({pages_.Url("/set-cookie")});
  ASSERT_TRUE(WaitFor([&] { return ShownInHistory("/set-cookie"); }, kStartLimit)) << browser->Log();
  window = OpenClearData(*browser);
  ASSERT_TRUE(window.has_value());
  EXPECT_TRUE(LooksChecked(*window, kBoxX - 5, kExitCleanY - 4)) << PixelOf(*window, kBoxX - 5, kExitCleanY - 4);
  std::system("xdotool key Escape");
  CloseBrowser(*browser);

  // Cleaned at exit: the history is empty and the next run sends no cookie.
  EXPECT_TRUE(History().empty());
  browser = StartBrowser({pages_.Url("/after-clean")});
  ASSERT_TRUE(WaitFor([&] { return Served("/after-clean"); }, kStartLimit)) << browser->Log();
  EXPECT_EQ(CookieSentTo("/after-clean").find("e2e_kept"), std::string::npos);
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
