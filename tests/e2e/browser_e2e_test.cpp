// The real browser and service as a user meets them: pages load from loopback, a
// second start hands its addresses to the running browser, a protected site opens
// through its mirror, SIGTERM closes in order, and after a restart the history,
// the language choice and the cookies are still there; a protected site's
// certification and QR code.
#include <signal.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/page_server.h"
#include "support/temp_dir.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 60s;

std::string BinFolder() { return fs::current_path().string() + "/"; }

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class BrowserEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs the test command's display";
    // The data and configuration folders are not made here: a new user has none.
    service_ = std::make_unique<ChildProcess>(
        BinFolder() + "tarvo-service",
        std::vector<std::string>{"--port", "0", "--data", (dir_.path() / "service.db").string(), "--seed",
                                 std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json"},
        std::map<std::string, std::string>{}, (dir_.path() / "service.log").string());
    std::smatch match;
    ASSERT_TRUE(WaitFor(
        [&] {
          const std::string log = service_->Log();
          return std::regex_search(log, match, std::regex("listening on (http://127\\.0\\.0\\.1:[0-9]+/)"));
        },
        20s))
        << service_->Log();
    apiUrl_ = match[1];
  }

  std::map<std::string, std::string> Environment() const {
    return {{"XDG_DATA_HOME", (dir_.path() / "data").string()},
            {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
            {"XDG_CACHE_HOME", (dir_.path() / "cache").string()},
            {"TARVO_API_URL", apiUrl_},
            {"TARVO_DEBUG", "1"}};
  }
  std::unique_ptr<ChildProcess> StartBrowser(const std::vector<std::string>& arguments) {
    return StartBrowserWith(arguments, Environment());
  }
  std::unique_ptr<ChildProcess> StartBrowserWith(const std::vector<std::string>& arguments,
                                                 const std::map<std::string, std::string>& environment) {
    return std::make_unique<ChildProcess>(BinFolder() + "tarvo-browser", arguments, environment,
                                          (dir_.path() / "browser.log").string());
  }
  // The orderly close: the process ends by itself with 0.
  void CloseBrowser(ChildProcess& browser) {
    browser.Signal(SIGTERM);
    const auto status = browser.WaitForExit(kStartLimit);
    ASSERT_TRUE(status.has_value()) << "still running after SIGTERM";
    EXPECT_EQ(*status, 0) << browser.Log();
  }
  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
  };
  // The browser's main window on the screen, once it has its working size.
  static std::optional<Geometry> MainWindow(ChildProcess& browser) {
    const std::string pid = std::to_string(browser.pid());
    const std::string geometry = Command("xdotool search --onlyvisible --pid " + pid +
                                         " --name '.*' getwindowgeometry --shell %@ 2>/dev/null");
    // The largest of the process's windows is the main window; the search also
    // lists a screen-sized window at the origin that is not one of ours to click.
    Geometry best;
    const std::regex entry("WINDOW=([0-9]+)\\nX=(-?[0-9]+)\\nY=(-?[0-9]+)\\nWIDTH=([0-9]+)\\nHEIGHT=([0-9]+)");
    for (auto it = std::sregex_iterator(geometry.begin(), geometry.end(), entry); it != std::sregex_iterator(); ++it) {
      const Geometry found{std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4]), std::stoi((*it)[5])};
      const bool atOrigin = found.x == 0 && found.y == 0;
      if (!atOrigin && long{found.width} * found.height > long{best.width} * best.height) best = found;
    }
    if (long{best.width} * best.height < 600L * 400L) return std::nullopt;
    return best;
  }
  // Clicks into the address bar of the browser's main window and types `text` and
  // Return (xdotool). False while the window is not at its working size yet.
  static bool TypeIntoAddressBar(ChildProcess& browser, const std::string& text) {
    const auto window = MainWindow(browser);
    if (!window) return false;
    // The address bar sits in the toolbar below the tab strip, right of the four
    // navigation buttons.
    const std::string click = "xdotool mousemove " + std::to_string(window->x + 400) + " " +
                              std::to_string(window->y + 60) + " click 1 sleep 0.3 key ctrl+a type --delay 20 '" +
                              text + "'";
    if (std::system(click.c_str()) != 0) return false;
    return std::system("xdotool sleep 0.2 key Return") == 0;
  }
  // Clicks a button of the main window's toolbar, `fromLeft` pixels from the
  // window's left edge (from its right edge when negative). False while the window
  // is not at its working size yet.
  static bool ClickToolbar(ChildProcess& browser, int fromLeft) {
    const auto window = MainWindow(browser);
    if (!window) return false;
    const int x = window->x + (fromLeft >= 0 ? fromLeft : window->width + fromLeft);
    const std::string click = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(window->y + 66) + " click 1";
    return std::system(click.c_str()) == 0;
  }
  // Clicks into the browser's window titled `title`, `fromRight` pixels left of its
  // right edge and `fromTop` below its top. False when no such window is shown.
  static bool ClickInWindow(ChildProcess& browser, const std::string& title, int fromRight, int fromTop) {
    const std::string found = Command("xdotool search --all --onlyvisible --pid " + std::to_string(browser.pid()) +
                                      " --name '^" + title + "$' getwindowgeometry --shell %@ 2>/dev/null");
    std::smatch match;
    if (!std::regex_search(found, match, std::regex("X=(-?[0-9]+)\\nY=(-?[0-9]+)\\nWIDTH=([0-9]+)"))) return false;
    const int x = std::stoi(match[1]) + std::stoi(match[3]) - fromRight;
    const int y = std::stoi(match[2]) + fromTop;
    return std::system(("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1").c_str()) == 0;
  }
  // Whether the browser shows a window titled `title`.
  static bool Shown(ChildProcess& browser, const std::string& title) {
    return !Command("xdotool search --all --onlyvisible --pid " + std::to_string(browser.pid()) + " --name '^" + title +
                    "$' 2>/dev/null")
                .empty();
  }
  // A picture of the screen under <build>/test-artifacts/e2e/; returns its path.
  static std::string Screenshot(const std::string& name) {
    const fs::path folder = fs::current_path().parent_path() / "test-artifacts" / "e2e";
    fs::create_directories(folder);
    const std::string path = (folder / (name + ".png")).string();
    Command("import -window root " + path);
    return path;
  }
  static std::string Command(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[512];
      while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
      pclose(pipe);
    }
    return output;
  }
  bool Served(const std::string& path) const { return !pages_.RequestsFor(path).empty(); }

  // url → (realurl, is_map) of the history table, read while the browser may write.
  std::map<std::string, std::pair<std::string, int>> History() const {
    std::map<std::string, std::pair<std::string, int>> rows;
    sqlite3* db = nullptr;
    const std::string path = (dir_.path() / "data" / "TarvoBrowser" / "kx.dat").string();
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      sqlite3_busy_timeout(db, 5000);
      sqlite3_stmt* statement = nullptr;
      if (sqlite3_prepare_v2(db, "select url, realurl, is_map from history", -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
          auto text = [&](int column) {
            const auto* value = sqlite3_column_text(statement, column);
            return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
          };
          rows[text(0)] = {text(1), sqlite3_column_int(statement, 2)};
        }
      }
      sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return rows;
  }
  bool InHistory(const std::string& url) const { return History().count(url) != 0; }

  test::TempDir dir_;
  PageServer pages_;
  std::unique_ptr<ChildProcess> service_;
  std::string apiUrl_;
};

TEST_F(BrowserEndToEndTest, BrowsingSurvivesARestartWithHistoryLanguageAndCookies) {
  // First run: the command line's address (after "-noupdate") sets the cookies.
  auto browser = StartBrowser({"-noupdate", pages_.Url("/set-cookie")});
  ASSERT_TRUE(WaitFor([&] { return Served("/set-cookie"); }, kStartLimit)) << browser->Log();
  ASSERT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/set-cookie")); }, 30s));

  // A second start hands its addresses over and ends; a capitalised option is an
  // address like any other and does not take the next one with it.
  ChildProcess second(BinFolder() + "tarvo-browser", {"-URL", pages_.Url("/handed")}, Environment(),
                      (dir_.path() / "second.log").string());
  const auto secondStatus = second.WaitForExit(kStartLimit);
  ASSERT_TRUE(secondStatus.has_value());
  EXPECT_EQ(*secondStatus, 0) << second.Log();
  ASSERT_TRUE(WaitFor([&] { return Served("/handed"); }, 30s));
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/handed")); }, 30s));
  // The later process never opened the profile: no second engine.
  EXPECT_EQ(second.Log().find("startup: engine at"), std::string::npos) << second.Log();

  // A protected site opens through its mirror, mapped (compatibility engine).
  ChildProcess third(BinFolder() + "tarvo-browser", {"http://bank.tarvo.test/"}, Environment(),
                     (dir_.path() / "third.log").string());
  ASSERT_TRUE(third.WaitForExit(kStartLimit).has_value());
  ASSERT_TRUE(WaitFor(
      [&] {
        const auto rows = History();
        const auto found = rows.find("http://bank.tarvo.test/");
        return found != rows.end() && found->second.second == 1 &&
               found->second.first.find("127.0.0.11") != std::string::npos;
      },
      30s))
      << "protected site not recorded as mapped to its mirror";
  EXPECT_TRUE(WaitFor([&] { return service_->Log().find("GET / 200") != std::string::npos; }, 30s))
      << "the mirror page was never fetched";

  // An address typed into the address bar, without a scheme, once the main window
  // has its working size (two seconds after it is built). Typing goes to whatever
  // has the display's focus, so a stroke lost to a window that was still settling
  // is typed again (the field's text is replaced each time).
  const std::string typed = "127.0.0.1:" + std::to_string(pages_.port()) + "/Typed";
  EXPECT_TRUE(WaitFor(
      [&] { return TypeIntoAddressBar(*browser, typed) && WaitFor([&] { return Served("/Typed"); }, 5s); }, 60s))
      << "the typed address was not opened";
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/Typed")); }, 30s));

  CloseBrowser(*browser);
  // The per-user language choice is remembered.
  const std::string registry = ReadText(dir_.path() / "config" / "TarvoBrowser" / "registry.json");
  EXPECT_NE(registry.find("\"language\""), std::string::npos) << registry;

  // Second run: both cookies come back, the session one too.
  browser = StartBrowser({pages_.Url("/after-restart")});
  ASSERT_TRUE(WaitFor([&] { return Served("/after-restart"); }, kStartLimit)) << browser->Log();
  const std::string cookie = pages_.RequestsFor("/after-restart").front().cookie;
  EXPECT_NE(cookie.find("e2e_kept=persistent-1"), std::string::npos) << cookie;
  EXPECT_NE(cookie.find("e2e_session=session-1"), std::string::npos) << cookie;
  ASSERT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/after-restart")); }, 30s));
  CloseBrowser(*browser);

  // Every row of both runs is there after the last close.
  const auto rows = History();
  for (const std::string& url : {pages_.Url("/set-cookie"), pages_.Url("/handed"), pages_.Url("/after-restart")}) {
    EXPECT_EQ(rows.count(url), 1u) << url;
  }
}

TEST_F(BrowserEndToEndTest, ANewAccountWithoutAnyDataFolderStartsAndKeepsItsFoldersPrivate) {
  // Only a home folder, empty: no ~/.local/share, no ~/.config, no XDG variables.
  const fs::path home = dir_.path() / "home";
  fs::create_directories(home);
  std::map<std::string, std::string> environment = Environment();
  environment["HOME"] = home.string();
  for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
    environment[variable] = ChildProcess::kUnset;
  }
  auto browser = StartBrowserWith({pages_.Url("/fresh")}, environment);
  ASSERT_TRUE(WaitFor([&] { return Served("/fresh"); }, kStartLimit)) << browser->Log();
  const fs::path root = home / ".local" / "share" / "TarvoBrowser";
  EXPECT_TRUE(WaitFor([&] { return fs::exists(root / "kx.dat"); }, 30s)) << browser->Log();
  CloseBrowser(*browser);
  for (const fs::path& folder : {home / ".local", home / ".local" / "share", root, root / "Cookie"}) {
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
  }
}

TEST_F(BrowserEndToEndTest, ExitCleaningOnCloseRemovesHistoryAndCookies) {
  auto browser = StartBrowser({pages_.Url("/set-cookie")});
  ASSERT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/set-cookie")); }, kStartLimit)) << browser->Log();
  CloseBrowser(*browser);

  // The user's choice, as the clear-data window stores it.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir_.path() / "data" / "TarvoBrowser" / "kx.dat").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "update info set value='1' where key='exit_clean'", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  browser = StartBrowser({pages_.Url("/check")});
  ASSERT_TRUE(WaitFor([&] { return Served("/check"); }, kStartLimit)) << browser->Log();
  ASSERT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/check")); }, 30s));
  CloseBrowser(*browser);
  EXPECT_TRUE(History().empty());

  // Cleaned at exit: a third run sends no cookie any more.
  browser = StartBrowser({pages_.Url("/after-clean")});
  ASSERT_TRUE(WaitFor([&] { return Served("/after-clean"); }, kStartLimit)) << browser->Log();
  EXPECT_EQ(pages_.RequestsFor("/after-clean").front().cookie.find("e2e_kept"), std::string::npos);
  CloseBrowser(*browser);
}

TEST_F(BrowserEndToEndTest, AProtectedSiteShowsItsCertificationAndItsOwnAddressAsAQrCode) {
  // The certification button sits at the left end of the address bar (after the
  // four navigation buttons); the QR button right of the address text.
  constexpr int kSignButton = 174;
  constexpr int kQrButton = -412;
  auto browser = StartBrowser({"-noupdate", "http://bank.tarvo.test/"});
  ASSERT_TRUE(WaitFor([&] { return service_->Log().find("GET / 200") != std::string::npos; }, kStartLimit))
      << browser->Log();
  EXPECT_TRUE(WaitFor(
      [&] { return ClickToolbar(*browser, kSignButton) && WaitFor([&] { return Shown(*browser, "protectsign_wnd"); }, 3s); },
      60s))
      << "the certification window did not open";
  // Each of the seed's authority icons is fetched into the cache under its
  // designed name and shown.
  const fs::path cache = dir_.path() / "data" / "TarvoBrowser" / "Cache";
  const fs::path icons = fs::path(std::getenv("TARVO_SOURCE_DIR")) / "service" / "seed" / "icons";
  const char* seedIcons[] = {"authority.png", "trust_seal.png", "guarantee_board.png"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(WaitFor(
        [&] { return browser->Log().find("authority icon " + std::to_string(i) + " shown") != std::string::npos; },
        20s))
        << i;
    EXPECT_EQ(ReadText(cache / ("127.0.0.1_sign0" + std::to_string(i))), ReadText(icons / seedIcons[i])) << i;
  }
  Screenshot("protect_sign");
  ASSERT_TRUE(ClickInWindow(*browser, "protectsign_wnd", 22, 30));  // its close button
  ASSERT_TRUE(WaitFor([&] { return !Shown(*browser, "protectsign_wnd"); }, 10s));

  // The QR code holds the site's own address, not its mirror's: in the file and as
  // it is on the screen.
  EXPECT_TRUE(WaitFor(
      [&] { return ClickToolbar(*browser, kQrButton) && WaitFor([&] { return Shown(*browser, "QR_code_wnd"); }, 3s); },
      30s))
      << "the QR window did not open";
  const std::string screen = Screenshot("protect_qr");
  EXPECT_EQ(Command("zbarimg -q --raw " + screen + " 2>/dev/null"), "http://bank.tarvo.test/\n");
  EXPECT_EQ(Command("zbarimg -q --raw bmp:" + (cache / "qrcode.png").string() + " 2>/dev/null"),
            "http://bank.tarvo.test/\n");
  EXPECT_TRUE(ClickInWindow(*browser, "QR_code_wnd", 22, 22));
  EXPECT_TRUE(WaitFor([&] { return !Shown(*browser, "QR_code_wnd"); }, 10s));
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
