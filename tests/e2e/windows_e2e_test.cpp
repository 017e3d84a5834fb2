// Several main windows in the one running browser, as a user meets them: Ctrl+N, a
// later start with "-newwindow" (the desktop entry's action) and one with a plain
// address, then the windows closed one by one with their close buttons until the
// browser ends in order.
#include <csignal>

#include <gtest/gtest.h>

#include "e2e/browser_fixture.h"

namespace tarvo::e2e {
namespace {

using namespace std::chrono_literals;

class WindowsEndToEndTest : public BrowserFixture {
 protected:
  // The browser's main windows at their working size, topmost (opened last) last.
  std::vector<Window> MainWindows(ChildProcess& browser) const {
    std::vector<Window> found;
    for (const Window& window : Windows("--pid " + std::to_string(browser.pid()) + " --name '.*'")) {
      if (!(window.x == 0 && window.y == 0) && window.width * window.height >= 600 * 400) found.push_back(window);
    }
    return found;
  }
  bool WindowCountIs(ChildProcess& browser, size_t count) {
    return WaitFor([&] { return MainWindows(browser).size() == count; }, 30s);
  }
  // A later start of the browser with `arguments`: it hands them over and ends with 0.
  void StartAgain(const std::vector<std::string>& arguments, const std::string& name) {
    ChildProcess later(BinFolder() + "tarvo-browser", arguments, Environment(), (dir_.path() / name).string());
    const auto status = later.WaitForExit(kStartLimit);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << later.Log();
    EXPECT_EQ(later.Log().find("startup: engine at"), std::string::npos) << "a second engine started";
  }
};

TEST_F(WindowsEndToEndTest, NewWindowsOpenInTheRunningBrowserAndCloseOneByOne) {
  auto browser = StartBrowser({"-noupdate", pages_.Url("/one")});
  ASSERT_TRUE(WaitFor([&] { return Served("/one") && MainWindows(*browser).size() == 1; }, kStartLimit))
      << browser->Log();

  // Ctrl+N in the window: a second window of the same process on the home page.
  const Window first = MainWindows(*browser).front();
  EXPECT_TRUE(WaitFor(
      [&] {
        ClickAt(first.x + 400, first.y + 60);
        Command("xdotool sleep 0.3 key ctrl+n");
        return WaitFor([&] { return MainWindows(*browser).size() == 2; }, 5s);
      },
      30s))
      << "Ctrl+N opened no window";

  // The desktop entry's "new window" action with an address, then a plain address.
  StartAgain({"-newwindow", pages_.Url("/two")}, "newwindow.log");
  EXPECT_TRUE(WindowCountIs(*browser, 3));
  EXPECT_TRUE(WaitFor([&] { return Served("/two"); }, 30s));
  StartAgain({pages_.Url("/three")}, "tab.log");
  EXPECT_TRUE(WaitFor([&] { return Served("/three"); }, 30s));
  EXPECT_TRUE(WindowCountIs(*browser, 3)) << "a plain address opened a window";
  Screenshot("three_windows");

  // Each close button closes its own window; the browser goes on until the last.
  for (size_t left = 3; left > 1; --left) {
    const Window top = MainWindows(*browser).back();
    ClickAt(top.x + top.width - 21, top.y + 17);
    ASSERT_TRUE(WindowCountIs(*browser, left - 1)) << "the close button did not close its window";
    EXPECT_FALSE(browser->WaitForExit(1s).has_value()) << "the browser ended with windows open";
  }
  // The remaining window still browses.
  EXPECT_TRUE(WaitFor(
      [&] { return TypeIntoAddressBar(*browser, pages_.Url("/after")) && WaitFor([&] { return Served("/after"); }, 5s); },
      30s));
  const Window last = MainWindows(*browser).back();
  ClickAt(last.x + last.width - 21, last.y + 17);
  const auto status = browser->WaitForExit(kStartLimit);
  ASSERT_TRUE(status.has_value()) << "closing the last window did not end the browser";
  EXPECT_EQ(*status, 0) << browser->Log();
}

}  // namespace
}  // namespace tarvo::e2e
