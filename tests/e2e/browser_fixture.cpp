#include "e2e/browser_fixture.h"

#include <signal.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace tarvo::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string BrowserFixture::BinFolder() { return fs::current_path().string() + "/"; }

void BrowserFixture::SetUp() {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs the test command's display";
  // The data and configuration folders are not made here: a new user has none.
  std::vector<std::string> arguments{"--port", "0", "--seed",
                                     std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json"};
  // Run under tests/service/with_postgresql.sh, the service keeps its data in a
  // database of its own on that server, as a deployment of several processes does.
  if (service::test::TestDatabase::Server()) {
    serviceDatabase_.emplace();
    arguments.insert(arguments.end(), {"--database", serviceDatabase_->address()});
  } else {
    arguments.insert(arguments.end(), {"--data", (dir_.path() / "service.db").string()});
  }
  for (const std::string& argument : trust_.ServiceArguments()) arguments.push_back(argument);
  arguments.insert(arguments.end(), serviceArguments_.begin(), serviceArguments_.end());
  service_ = std::make_unique<ChildProcess>(BinFolder() + "tarvo-service", arguments,
                                            std::map<std::string, std::string>{},
                                            (dir_.path() / "service.log").string());
  std::optional<std::string> url;
  ASSERT_TRUE(WaitFor([&] { return (url = service_->LogMatch("listening on (https://127\\.0\\.0\\.1:[0-9]+/)")).has_value(); },
                      20s))
      << service_->Log();
  apiUrl_ = *url;
}

std::map<std::string, std::string> BrowserFixture::Environment() const {
  std::map<std::string, std::string> environment = trust_.BrowserEnvironment(apiUrl_);
  environment.insert({{"XDG_DATA_HOME", (dir_.path() / "data").string()},
                      {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
                      {"XDG_CACHE_HOME", (dir_.path() / "cache").string()},
                      {"TARVO_DEBUG", "1"}});
  return environment;
}

std::unique_ptr<ChildProcess> BrowserFixture::StartBrowser(const std::vector<std::string>& arguments) {
  return StartBrowserWith(arguments, Environment());
}

std::unique_ptr<ChildProcess> BrowserFixture::StartBrowserWith(const std::vector<std::string>& arguments,
                                                               const std::map<std::string, std::string>& environment) {
  return std::make_unique<ChildProcess>(BinFolder() + "tarvo-browser", arguments, environment,
                                        (dir_.path() / ("browser" + std::to_string(++browserStarts_) + ".log")).string());
}

void BrowserFixture::CloseBrowser(ChildProcess& browser, const fs::path& dataRoot) {
  browser.Signal(SIGTERM);
  const auto status = browser.WaitForExit(kStartLimit);
  ASSERT_TRUE(status.has_value()) << "still running after SIGTERM";
  // A crash leaves its backtrace in the data folder.
  const fs::path dump = (dataRoot.empty() ? Database().parent_path() : dataRoot) / "tarvobrowser.dump";
  EXPECT_EQ(*status, 0) << browser.Log() << Command("cat '" + dump.string() + "' 2>/dev/null");
}

void BrowserFixture::FirstStart() {
  auto browser = StartBrowser({"-noupdate"});
  ASSERT_TRUE(WaitFor([&] { return browser->Log().find("startup: splash") != std::string::npos; }, kStartLimit))
      << browser->Log();
  CloseBrowser(*browser);
}

void BrowserFixture::StartAgain(const std::vector<std::string>& arguments) {
  ChildProcess later(BinFolder() + "tarvo-browser", arguments, Environment(),
                     (dir_.path() / ("later" + std::to_string(++browserStarts_) + ".log")).string());
  const auto status = later.WaitForExit(kStartLimit);
  ASSERT_TRUE(status.has_value()) << "the later start still runs";
  EXPECT_EQ(*status, 0) << later.Log();
  EXPECT_EQ(later.Log().find("startup: engine at"), std::string::npos) << "a second engine started\n" << later.Log();
}

std::optional<Window> BrowserFixture::MainWindow(ChildProcess& browser) {
  // The largest of the process's windows is the main window; the search also lists
  // a screen-sized window at the origin that is not one of ours to click.
  const auto largest = [&] {
    std::optional<Window> best;
    for (const Window& window : Windows("--pid " + std::to_string(browser.pid()) + " --name '.*'")) {
      const bool atOrigin = window.x == 0 && window.y == 0;
      if (!atOrigin && (!best || window.width * window.height > best->width * best->height)) best = window;
    }
    return best;
  };
  const std::optional<Window> best = largest();
  if (!best || best->width * best->height < 600 * 400) return std::nullopt;
  // The window is placed once more after it is built: a place that still changes
  // would send a click elsewhere.
  std::this_thread::sleep_for(300ms);
  return largest() == best ? best : std::nullopt;
}

std::optional<Window> BrowserFixture::AwaitMainWindow(ChildProcess& browser, std::chrono::seconds limit) {
  std::optional<Window> main;
  WaitFor([&] { return (main = MainWindow(browser)).has_value(); }, limit);
  return main;
}

std::vector<Window> BrowserFixture::MainWindows(ChildProcess& browser) {
  std::vector<Window> found;
  for (const Window& window : Windows("--maxdepth 1 --pid " + std::to_string(browser.pid()) + " --name '.*'")) {
    if (!(window.x == 0 && window.y == 0) && window.width * window.height >= 600 * 400) found.push_back(window);
  }
  return found;
}

std::optional<Window> BrowserFixture::WindowNamed(const std::string& title) {
  const std::vector<Window> windows = Windows("--name '" + title + "'");
  return windows.empty() ? std::nullopt : std::optional(windows.back());
}

bool BrowserFixture::TypeIntoAddressBar(ChildProcess& browser, const std::string& text) {
  const std::optional<Window> window = MainWindow(browser);
  return window && TypeIntoAddressBar(*window, text);
}

bool BrowserFixture::TypeIntoAddressBar(const Window& window, const std::string& text) {
  // The address bar sits in the toolbar below the tab strip, right of the four
  // navigation buttons.
  const std::string click = "xdotool mousemove " + std::to_string(window.x + 400) + " " +
                            std::to_string(window.y + 60) + " click 1 sleep 0.3 key ctrl+a type --delay 20 '" +
                            text + "'";
  if (std::system(click.c_str()) != 0) return false;
  return std::system("xdotool sleep 0.2 key Return") == 0;
}

bool BrowserFixture::TypeUntil(const Window& window, const std::string& url, const std::function<bool()>& arrived,
                               std::chrono::seconds perTry, std::chrono::seconds limit) {
  return WaitFor([&] { return TypeIntoAddressBar(window, url) && WaitFor(arrived, perTry); }, limit);
}

bool BrowserFixture::TypeUntilServed(ChildProcess& browser, const std::string& url, const std::string& path,
                                     std::chrono::seconds limit) const {
  const size_t before = pages_.RequestsFor(path).size();
  return WaitFor(
      [&] {
        return TypeIntoAddressBar(browser, url) && WaitFor([&] { return pages_.RequestsFor(path).size() > before; }, 5s);
      },
      limit);
}

std::string BrowserFixture::AddressBarText(ChildProcess& browser) {
  std::string text;
  WaitFor(
      [&] {
        const std::optional<Window> window = MainWindow(browser);
        const std::string copy = window ? "xdotool mousemove " + std::to_string(window->x + 400) + " " +
                                              std::to_string(window->y + 60) + " click 1 sleep 0.3 key ctrl+a ctrl+c sleep 0.3"
                                        : "false";
        return std::system(copy.c_str()) == 0 && !(text = Command("xclip -o -selection clipboard 2>/dev/null")).empty();
      },
      10s);
  return text;
}

bool BrowserFixture::ClickAt(int x, int y) {
  const std::string click = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1";
  return std::system(click.c_str()) == 0;
}

bool BrowserFixture::ClickIn(const Window& window, int x, int y, int button) {
  return std::system(("xdotool mousemove " + std::to_string(window.x + x) + " " + std::to_string(window.y + y) +
                      " sleep 0.2 click " + std::to_string(button) + " sleep 0.3")
                         .c_str()) == 0;
}

int BrowserFixture::Logged(const ChildProcess& browser, const std::string& line) {
  const std::string log = browser.Log();
  int seen = 0;
  for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++seen;
  return seen;
}

std::optional<Window> BrowserFixture::ActUntilShown(const std::function<void()>& act, const std::string& title,
                                                    std::chrono::seconds perTry, std::chrono::seconds limit) {
  std::optional<Window> shown;
  WaitFor([&] { return act(), WaitFor([&] { return (shown = WindowNamed(title)).has_value(); }, perTry); }, limit);
  return shown;
}

bool BrowserFixture::OpenWindowWithKey(ChildProcess& browser, const Window& from, const std::string& key) {
  const size_t before = MainWindows(browser).size();
  return WaitFor(
      [&] {
        ClickAt(from.x + 400, from.y + 60);
        Command("xdotool sleep 0.3 key " + key);
        return WaitFor([&] { return MainWindows(browser).size() == before + 1; }, 5s);
      },
      30s);
}

void BrowserFixture::ClickInMainMenu(ChildProcess& browser, int x, int y) {
  const std::optional<Window> menu = ActUntilShown(
      [&] { if (const std::optional<Window> main = MainWindow(browser)) ClickIn(*main, 20, 26); }, "^KXMenuWnd$");
  ASSERT_TRUE(menu.has_value());
  ASSERT_TRUE(ClickIn(*menu, x, y));
}

bool BrowserFixture::AnswerMessageBox() {
  std::optional<Window> box;
  if (!WaitFor([&] { return (box = WindowNamed("Message")).has_value(); }, 5s)) return false;
  // The button sits in the bottom right corner, inside the box's margins.
  return ClickAt(box->x + box->width - 64, box->y + box->height - 30) &&
         WaitFor([] { return !WindowNamed("Message").has_value(); }, 5s);
}

std::optional<Window> BrowserFixture::OpenClearData(ChildProcess& browser) {
  const std::optional<Window> window = ActUntilShown(
      [&] { if (const auto main = MainWindow(browser)) ClickAt(main->x + main->width - 25, main->y + 66); },
      "^empty_history_list$", 3s, kStartLimit + 20s);
  std::this_thread::sleep_for(300ms);
  return window;
}

void BrowserFixture::LogIn(ChildProcess& browser, const std::string& account, const std::string& password) {
  const int confirmed = Logged(browser, "account: the stored login holds");
  ClickInMainMenu(browser, 100);
  std::optional<Window> login;
  ASSERT_TRUE(WaitFor([&] { return (login = WindowNamed("^KXLoginWnd$")).has_value(); }, 30s)) << browser.Log();
  // A window that has just appeared on a display without a window manager may miss a first click.
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(ClickIn(*login, 490, 130));
  Command("xdotool type --delay 20 '" + account + "'");
  ASSERT_TRUE(ClickIn(*login, 470, 202));
  Command("xdotool type --delay 20 '" + password + "'");
  Command("xdotool sleep 0.2 key Return");
  const bool closed = WaitFor([] { return !WindowNamed("^KXLoginWnd$").has_value(); }, 30s);
  ASSERT_TRUE(closed) << "login window stays (see " << Screenshot("login_window_stays") << ")\n" << browser.Log();
  ASSERT_TRUE(WaitFor([&] { return Logged(browser, "account: the stored login holds") > confirmed; }, 30s))
      << browser.Log();
  Command("xdotool key Escape sleep 0.3");  // the main menu that opens again after a login
}

std::string BrowserFixture::Screenshot(const std::string& name) {
  const fs::path folder = fs::current_path() / ".." / "test-artifacts" / "e2e";
  fs::create_directories(folder);
  const std::string path = (folder / (name + ".png")).string();
  Command("import -window root '" + path + "' 2>/dev/null");
  return path;
}

fs::path BrowserFixture::Database() const { return dir_.path() / "data" / "TarvoBrowser" / "kx.dat"; }

// Runs `sql` read-only on the browser's database, beside a browser that may write,
// calling `row` for each row.
static void Query(const fs::path& database, const std::string& sql, const std::function<void(sqlite3_stmt*)>& row) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
      while (sqlite3_step(statement) == SQLITE_ROW) row(statement);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
}

static std::string Text(sqlite3_stmt* statement, int column) {
  const auto* value = sqlite3_column_text(statement, column);
  return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
}

std::string BrowserFixture::Scalar(const std::string& sql) const {
  std::optional<std::string> value;
  Query(Database(), sql, [&](sqlite3_stmt* row) {
    if (!value) value = Text(row, 0);
  });
  return value.value_or("");
}

bool BrowserFixture::Execute(const std::string& sql) const {
  sqlite3* db = nullptr;
  bool done = false;
  if (sqlite3_open(Database().c_str(), &db) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    done = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  sqlite3_close(db);
  return done;
}

std::string BrowserFixture::PixelOf(const Window& window, int x, int y) {
  return Command("import -window " + window.id + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                 " -format '%[pixel:p{0,0}]' info:- 2>/dev/null");
}

std::map<std::string, std::pair<std::string, int>> BrowserFixture::History() const {
  std::map<std::string, std::pair<std::string, int>> rows;
  Query(Database(), "select url, realurl, is_map from history",
        [&](sqlite3_stmt* row) { rows[Text(row, 0)] = {Text(row, 1), sqlite3_column_int(row, 2)}; });
  return rows;
}

}  // namespace tarvo::e2e
