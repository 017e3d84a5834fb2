// The browser on a new user's Linux desktop: it speaks the desktop's language from
// the first start (window titles and the Accept-Language of ordinary and
// private windows) until the user chooses one; a new tab opens on the start page
// with an empty address bar that takes the typing, and leaves no visit behind.
#include <thread>
#include <utility>

#include "e2e/browser_fixture.h"
#include "platform/per_user_registry.h"
#include "support/scoped_env.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class DesktopEndToEndTest : public BrowserFixture {
 protected:
  // The environment of a desktop session whose only language variable is LANG.
  std::map<std::string, std::string> Desktop(const std::string& lang) const {
    std::map<std::string, std::string> environment = Environment();
    environment["LANG"] = lang;
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) environment[variable] = ChildProcess::kUnset;
    return environment;
  }
  std::string AcceptLanguageOf(const std::string& path) const {
    const auto requests = pages_.RequestsFor(path);
    return requests.empty() ? "(not requested)" : requests.back().acceptLanguage;
  }
  // The private window at its working size, by its title.
  static std::optional<Window> PrivateWindow() {
    const std::optional<Window> found = LargestWindow("--name '^TarvoBrowser \\(private window\\)$'");
    if (!found || found->width * found->height < 600 * 400 || (found->x == 0 && found->y == 0)) return std::nullopt;
    return found;
  }
  std::string Registry() const { return ReadFile(dir_.path() / "config" / "TarvoBrowser" / "registry.json"); }
};

TEST_F(DesktopEndToEndTest, TheDesktopsLanguageIsSpokenUntilChosenAndANewTabTakesTheTyping) {
  auto browser = StartBrowserWith({pages_.Url("/first")}, Desktop("en_US.UTF-8"));
  ASSERT_TRUE(WaitFor([&] { return Served("/first"); }, kStartLimit)) << browser->Log();
  EXPECT_EQ(AcceptLanguageOf("/first"), "en-US,en;q=0.9");

  // A private window: its title is English, and it asks for pages as the others do.
  std::optional<Window> main = AwaitMainWindow(*browser);
  ASSERT_TRUE(main.has_value());
  ASSERT_TRUE(OpenWindowWithKey(*browser, *main, "ctrl+shift+n") &&
              WaitFor([] { return PrivateWindow().has_value(); }, 5s))
      << "no private window with an English title" << (Screenshot("desktop_no_private_window"), "");
  std::this_thread::sleep_for(1s);  // placed once more after it is built
  const std::optional<Window> privateWindow = PrivateWindow();
  ASSERT_TRUE(privateWindow.has_value());
  ASSERT_TRUE(TypeUntil(*privateWindow, pages_.Url("/private"), [&] { return Served("/private"); }))
      << (Screenshot("desktop_private_not_typed"), "");
  EXPECT_EQ(AcceptLanguageOf("/private"), "en-US,en;q=0.9");
  ClickAt(privateWindow->x + privateWindow->width - 21, privateWindow->y + 27);  // its close button
  ASSERT_TRUE(WaitFor([] { return !PrivateWindow().has_value(); }, 20s));

  // A new tab, by the button at the right end of the tab row and by Ctrl+T from the
  // page; then, without a click, the keys go to the address bar: only an empty bar
  // turns them into the typed address.
  ASSERT_TRUE((main = AwaitMainWindow(*browser, 20s)).has_value());
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"button", [&] { ClickAt(main->x + main->width - 168, main->y + 27); }},
      {"ctrl-t", [&] { ClickAt(main->x + 400, main->y + 300); Command("xdotool sleep 0.3 key ctrl+t"); }},
  };
  for (const auto& [way, openTab] : ways) {
    const std::string path = std::string("/typed-in-new-tab-") + way;
    ASSERT_TRUE(WaitFor(
        [&] {
          openTab();
          std::this_thread::sleep_for(1500ms);
          Command("xdotool key End type --delay 20 '" + pages_.Url(path) + "'");
          Command("xdotool sleep 0.2 key Return");
          return WaitFor([&] { return Served(path); }, 5s);
        },
        30s))
        << way << ": the new tab's address bar was not empty, or did not have the focus";
    EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url(path)); }, 10s)) << way;
  }
  EXPECT_EQ(Scalar("select count(*) from history where url like 'file:%home.html%'"), "0");
  CloseBrowser(*browser);
  EXPECT_EQ(Registry().find("\"language\""), std::string::npos) << "no choice was made, none is stored";

  // The desktop changes its language: so does the browser, nothing having been chosen.
  browser = StartBrowserWith({pages_.Url("/chinese")}, Desktop("zh_CN.UTF-8"));
  ASSERT_TRUE(WaitFor([&] { return Served("/chinese"); }, kStartLimit)) << browser->Log();
  EXPECT_EQ(AcceptLanguageOf("/chinese"), "zh-CN,zh;q=0.9");
  CloseBrowser(*browser);

  // The user's choice (the language menu stores it) wins over the desktop.
  {
    test::ScopedEnv config("XDG_CONFIG_HOME", (dir_.path() / "config").string());
    ASSERT_EQ(PerUserRegistry::WriteString(u"Software\\TarvoBrowser", u"language", u"china"), 0);
  }
  browser = StartBrowserWith({pages_.Url("/chosen")}, Desktop("en_US.UTF-8"));
  ASSERT_TRUE(WaitFor([&] { return Served("/chosen"); }, kStartLimit)) << browser->Log();
  EXPECT_EQ(AcceptLanguageOf("/chosen"), "zh-CN,zh;q=0.9");
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
