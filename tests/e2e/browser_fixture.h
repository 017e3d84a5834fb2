#pragma once
// What every end-to-end test starts from: a fresh tarvo-service on loopback with the
// demo seed, over TLS, a loopback page server, and a temporary home for the browser's data and
// configuration; helpers start and close tarvo-browser, find its windows on the
// display and click and type into them as a user would (xdotool), and read its
// database.
//
// Threads: the test's thread.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/display.h"
#include "e2e/page_server.h"
#include "service/test_database.h"
#include "support/temp_dir.h"
#include "support/test_credentials.h"

namespace tarvo::e2e {

inline constexpr std::chrono::seconds kStartLimit{60};

class BrowserFixture : public testing::Test {
 protected:
  void SetUp() override;

  // The folder of the test programs, which holds the browser and the service.
  static std::string BinFolder();

  std::map<std::string, std::string> Environment() const;
  std::unique_ptr<ChildProcess> StartBrowser(const std::vector<std::string>& arguments);
  std::unique_ptr<ChildProcess> StartBrowserWith(const std::vector<std::string>& arguments,
                                                 const std::map<std::string, std::string>& environment);
  // The orderly close: the process ends by itself with 0. A crash's report is read
  // from `dataRoot`, the browser's data folder (the fixture's own when empty).
  void CloseBrowser(ChildProcess& browser, const std::filesystem::path& dataRoot = {});
  // A first start of a new user, closed once it has made its data.
  void FirstStart();
  // A later start with `arguments`, which hands them to the running browser: it ends
  // by itself with 0, without an engine of its own.
  void StartAgain(const std::vector<std::string>& arguments);

  // The browser's main window once it has its working size (the largest of the
  // process's windows), or nullopt.
  static std::optional<Window> MainWindow(ChildProcess& browser);
  // The main window once it has its working size within `limit`, or nullopt.
  static std::optional<Window> AwaitMainWindow(ChildProcess& browser, std::chrono::seconds limit = kStartLimit);
  // The browser's main windows at their working size, the one opened last last: windows
  // of the screen itself, not a compatibility page's window inside one of them.
  static std::vector<Window> MainWindows(ChildProcess& browser);
  // The shown window whose title matches `title` (an xdotool name pattern), or nullopt.
  static std::optional<Window> WindowNamed(const std::string& title);
  // Clicks into the address bar of the main window and types `text` and Return.
  // False while the window is not at its working size yet.
  static bool TypeIntoAddressBar(ChildProcess& browser, const std::string& text);
  static bool TypeIntoAddressBar(const Window& window, const std::string& text);
  // Types `url` into the address bar of `window` again, each try given `perTry`, until
  // `arrived` holds; false when it has not within `limit`.
  static bool TypeUntil(const Window& window, const std::string& url, const std::function<bool()>& arrived,
                        std::chrono::seconds perTry = std::chrono::seconds(5),
                        std::chrono::seconds limit = std::chrono::seconds(30));
  // Types `url` into the main window's address bar again until the page server has
  // one more request for `path` than before; false when it has not within `limit`.
  bool TypeUntilServed(ChildProcess& browser, const std::string& url, const std::string& path,
                       std::chrono::seconds limit = kStartLimit) const;
  // The text the address bar of the main window shows, copied out of it as a user
  // would (a click, Ctrl+A, Ctrl+C), again while it comes out empty (a window still
  // settling, a copy that missed); empty when it stays so for 10 s.
  static std::string AddressBarText(ChildProcess& browser);
  // Clicks at a point of the screen.
  static bool ClickAt(int x, int y);
  // Clicks (`button` 3: right-clicks) at a point of `window` and gives the click a moment to act.
  static bool ClickIn(const Window& window, int x, int y, int button = 1);
  // How often `line` is in the browser's output so far.
  static int Logged(const ChildProcess& browser, const std::string& line);
  // Does `act` again, each try given `perTry`, until a window titled `title` (an
  // xdotool name pattern) shows: a click may meet a window that is still settling.
  // The window, or nullopt when none showed within `limit`.
  static std::optional<Window> ActUntilShown(const std::function<void()>& act, const std::string& title,
                                             std::chrono::seconds perTry = std::chrono::seconds(3),
                                             std::chrono::seconds limit = std::chrono::seconds(30));
  // Opens a new main window from `from` with its key (ctrl+n, ctrl+shift+n); it is the
  // top one afterwards.
  static bool OpenWindowWithKey(ChildProcess& browser, const Window& from, const std::string& key);
  // Opens the main menu under the logo and clicks it at (`x`, `y`): the account row's
  // 100 is the account link, its 170 logs out.
  static void ClickInMainMenu(ChildProcess& browser, int x, int y = 44);
  // Clicks OK in the message box the browser shows; false when none showed or it stays.
  static bool AnswerMessageBox();
  // Opens the clear-data window with the toolbar's button.
  static std::optional<Window> OpenClearData(ChildProcess& browser);
  // Logs in through the main menu and the login window; returns once the browser
  // says the login holds.
  static void LogIn(ChildProcess& browser, const std::string& account, const std::string& password);
  // A picture of the whole display in <build>/test-artifacts/e2e/<name>.png; returns
  // its path.
  static std::string Screenshot(const std::string& name);

  bool Served(const std::string& path) const { return !pages_.RequestsFor(path).empty(); }
  // The browser's database file.
  std::filesystem::path Database() const;
  // The first cell of `sql` on the browser's database, read while the browser may
  // write ("" when there is no row).
  std::string Scalar(const std::string& sql) const;
  // Runs `sql` on the browser's database (beside a running browser). False on failure.
  bool Execute(const std::string& sql) const;
  // The colour of a point of a window ("srgb(r,g,b)" as ImageMagick tells it).
  static std::string PixelOf(const Window& window, int x, int y);
  // url → (realurl, is_map) of the history table.
  std::map<std::string, std::pair<std::string, int>> History() const;
  bool InHistory(const std::string& url) const { return History().count(url) != 0; }
  // The page server's `path` was answered and shown: its history row (written when
  // the navigation starts) has taken the page's title.
  bool ShownInHistory(const std::string& path) const {
    return Scalar("SELECT title FROM history WHERE url = '" + pages_.Url(path) + "'") == "Page " + path;
  }

  test::TempDir dir_;
  // More of the service's command line, set before SetUp.
  std::vector<std::string> serviceArguments_;
  // The service speaks TLS with a certificate of a CA made for the test, and signs
  // with a key made for it; the browser is told of both.
  const test::TestCredentials trust_{dir_.path() / "trust"};
  PageServer pages_;
  // The service's database on the test command's PostgreSQL server, when it named one.
  std::optional<service::test::TestDatabase> serviceDatabase_;
  std::unique_ptr<ChildProcess> service_;
  std::string apiUrl_;
  int browserStarts_ = 0;  // each start writes a log of its own
};

}  // namespace tarvo::e2e
