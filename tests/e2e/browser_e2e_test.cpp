// The real browser and service as a user meets them: pages load from loopback, a
// second start hands its addresses to the running browser, a protected site opens
// through its mirror, SIGTERM closes in order, and after a restart and after a kill
// the history and the cookies are still there, in the engine's cookie file too, also
// when the close comes as soon as a page set them; a protected site's certification and
// QR code.
#include <sqlite3.h>

#include <csignal>
#include <cstdlib>

#include "e2e/browser_fixture.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class BrowserEndToEndTest : public BrowserFixture {
 protected:
  // The names of the cookies the engine's cookie file holds (sorted, blank-separated),
  // as the next start will read them: a copy of the file and its journal is opened,
  // so a journal left by a killed process is rolled back in the copy only. Read
  // while no browser runs; the engine writes the file in batches and at its
  // orderly end, never at once.
  std::string StoredCookies() {
    const fs::path folder = Database().parent_path() / "Cookie";
    const fs::path copy = dir_.path() / ("cookies-copy" + std::to_string(++copies_));
    fs::create_directories(copy);
    std::error_code error;
    for (const char* name : {"Cookies", "Cookies-journal"}) {
      if (fs::exists(folder / name)) fs::copy_file(folder / name, copy / name, error);
    }
    if (error || !fs::exists(copy / "Cookies")) return "(no cookie file: " + error.message() + ")";
    sqlite3* db = nullptr;
    std::string names;
    if (sqlite3_open((copy / "Cookies").c_str(), &db) == SQLITE_OK &&
        sqlite3_exec(
            db, "SELECT name FROM cookies ORDER BY name",
            [](void* out, int, char** values, char**) {
              auto& text = *static_cast<std::string*>(out);
              text += (text.empty() ? "" : " ") + std::string(values[0] != nullptr ? values[0] : "");
              return 0;
            },
            &names, nullptr) != SQLITE_OK) {
      names = std::string("(unreadable: ") + sqlite3_errmsg(db) + ")";
    }
    sqlite3_close(db);
    return names;
  }

  // Each request for `path` with the Cookie header it carried.
  std::string CookiesSentFor(const std::string& path) const {
    std::string text;
    for (const PageServer::Request& request : pages_.RequestsFor(path)) {
      text += path + " Cookie: " + request.cookie + "\n";
    }
    return text;
  }

 private:
  int copies_ = 0;
};

TEST_F(BrowserEndToEndTest, BrowsingSurvivesARestartWithHistoryAndCookies) {
  // First run: the command line's address (after "-noupdate") sets the cookies.
  auto browser = StartBrowser({"-noupdate", pages_.Url("/set-cookie")});
  ASSERT_TRUE(WaitFor([&] { return Served("/set-cookie"); }, kStartLimit)) << browser->Log();
  ASSERT_TRUE(WaitFor([&] { return ShownInHistory("/set-cookie"); }, 30s));

  // A second start hands its addresses over and ends, never opening the profile; a
  // capitalised option is an address like any other and does not take the next one.
  StartAgain({"-URL", pages_.Url("/handed")});
  ASSERT_TRUE(WaitFor([&] { return Served("/handed"); }, 30s));
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/handed")); }, 30s));

  // A protected site opens through its mirror, mapped (compatibility engine).
  StartAgain({"http://bank.tarvo.test/"});
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
  EXPECT_TRUE(TypeUntilServed(*browser, "127.0.0.1:" + std::to_string(pages_.port()) + "/Typed", "/Typed"))
      << "the typed address was not opened";
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/Typed")); }, 30s));

  CloseBrowser(*browser);
  // Written by the orderly close at the latest, the session cookie too.
  EXPECT_EQ(StoredCookies(), "e2e_kept e2e_session");

  // Second run: both cookies come back, the session one too.
  browser = StartBrowser({pages_.Url("/after-restart")});
  ASSERT_TRUE(WaitFor([&] { return Served("/after-restart"); }, kStartLimit)) << browser->Log();
  const std::string cookie = pages_.RequestsFor("/after-restart").front().cookie;
  EXPECT_NE(cookie.find("e2e_kept=persistent-1"), std::string::npos) << cookie;
  EXPECT_NE(cookie.find("e2e_session=session-1"), std::string::npos) << cookie;
  ASSERT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/after-restart")); }, 30s));
  browser->Signal(SIGKILL);
  ASSERT_TRUE(browser->WaitForExit(10s).has_value());
  // A kill loses what was not yet written, never what the file held.
  EXPECT_EQ(StoredCookies(), "e2e_kept e2e_session");

  // Third run: the killed process's claim on the data folder is taken over, not
  // waited for, and nothing it had committed is lost.
  browser = StartBrowser({"-noupdate", pages_.Url("/after-kill")});
  ASSERT_TRUE(WaitFor([&] { return Served("/after-kill"); }, kStartLimit)) << browser->Log();
  EXPECT_NE(pages_.RequestsFor("/after-kill").front().cookie.find("e2e_kept=persistent-1"), std::string::npos)
      << CookiesSentFor("/after-kill") << "in the file: " << StoredCookies() << "\n"
      << browser->Log();
  EXPECT_TRUE(WaitFor([&] { return InHistory(pages_.Url("/after-kill")); }, 30s));
  CloseBrowser(*browser);

  // Every row of the three runs is there after the last close.
  const auto rows = History();
  for (const std::string& url :
       {pages_.Url("/set-cookie"), pages_.Url("/handed"), pages_.Url("/after-restart"), pages_.Url("/after-kill")}) {
    EXPECT_EQ(rows.count(url), 1u) << url;
  }
  EXPECT_EQ(Scalar("PRAGMA integrity_check"), "ok");
}

TEST_F(BrowserEndToEndTest, AnOrderlyCloseAtOnceAfterAPageSetItsCookiesKeepsThem) {
  // The close begins as soon as the page has been asked for: its cookies reach the
  // engine's store while the engine is already closing, long before the store's
  // periodic write.
  auto browser = StartBrowser({"-noupdate", pages_.Url("/set-cookie")});
  // (Once the main window is up, SIGTERM means the orderly close.)
  const auto asked = [&] {
    return Served("/set-cookie") && browser->Log().find("startup: splash") != std::string::npos;
  };
  ASSERT_TRUE(WaitFor(asked, kStartLimit)) << browser->Log();
  CloseBrowser(*browser);
  EXPECT_EQ(StoredCookies(), "e2e_kept e2e_session") << browser->Log();
}

TEST_F(BrowserEndToEndTest, ANewAccountWithoutAnyDataFolderOpensItsStartAddressesAndKeepsItsFoldersPrivate) {
  // Only a home folder, empty: no ~/.local/share, no ~/.config, no XDG variables.
  const fs::path home = dir_.path() / "home";
  fs::create_directories(home);
  std::map<std::string, std::string> environment = Environment();
  environment["HOME"] = home.string();
  for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
    environment[variable] = ChildProcess::kUnset;
  }
  // A protected site among the start addresses opens through its mirror on the very
  // first start, as it would when handed over later.
  auto browser = StartBrowserWith({"http://bank.tarvo.test/", pages_.Url("/fresh")}, environment);
  ASSERT_TRUE(WaitFor([&] { return Served("/fresh"); }, kStartLimit)) << browser->Log();
  EXPECT_TRUE(WaitFor([&] { return service_->Log().find("GET / 200") != std::string::npos; }, 30s))
      << "the protected start address never reached its mirror\n" << browser->Log();
  const fs::path root = home / ".local" / "share" / "TarvoBrowser";
  EXPECT_TRUE(WaitFor([&] { return fs::exists(root / "kx.dat"); }, 30s)) << browser->Log();
  CloseBrowser(*browser, root);
  for (const fs::path& folder : {home / ".local", home / ".local" / "share", root, root / "Cookie"}) {
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
  }
}

TEST_F(BrowserEndToEndTest, AProtectedSiteShowsItsCertificationAndItsOwnAddressAsAQrCode) {
  // The certification button sits at the left end of the address bar (after the
  // four navigation buttons); the QR button right of the address text.
  constexpr int kSignButton = 174;
  constexpr int kQrButton = -412;
  constexpr int kToolbarRow = 66;
  // The site is typed once the protected-site list has arrived: a new profile learns
  // it from the service loop, after the start addresses have opened.
  auto browser = StartBrowser({"-noupdate"});
  ASSERT_TRUE(WaitFor([&] { return browser->Log().find("protect domain") != std::string::npos; }, kStartLimit))
      << browser->Log();
  ASSERT_TRUE(WaitFor(
      [&] {
        return TypeIntoAddressBar(*browser, "http://bank.tarvo.test/") &&
               WaitFor([&] { return service_->Log().find("GET / 200") != std::string::npos; }, 5s);
      },
      kStartLimit))
      << browser->Log();
  const auto clickToolbar = [&](int fromLeft) {
    const std::optional<Window> window = MainWindow(*browser);
    return window && ClickAt(window->x + (fromLeft >= 0 ? fromLeft : window->width + fromLeft), window->y + kToolbarRow);
  };
  const auto windowsTitled = [&](const std::string& title) {
    return Windows("--all --pid " + std::to_string(browser->pid()) + " --name '^" + title + "$'");
  };
  const auto shown = [&](const std::string& title) { return !windowsTitled(title).empty(); };
  // Clicks into the window titled `title`, `fromRight` left of its right edge.
  const auto clickInWindow = [&](const std::string& title, int fromRight, int fromTop) {
    const std::vector<Window> windows = windowsTitled(title);
    return !windows.empty() &&
           ClickAt(windows.front().x + windows.front().width - fromRight, windows.front().y + fromTop);
  };
  EXPECT_TRUE(WaitFor(
      [&] { return clickToolbar(kSignButton) && WaitFor([&] { return shown("protectsign_wnd"); }, 3s); }, 60s))
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
    EXPECT_EQ(ReadFile(cache / ("127.0.0.1_sign0" + std::to_string(i))), ReadFile(icons / seedIcons[i])) << i;
  }
  ASSERT_TRUE(clickInWindow("protectsign_wnd", 22, 30));  // its close button
  ASSERT_TRUE(WaitFor([&] { return !shown("protectsign_wnd"); }, 10s));

  // The QR code holds the site's own address, not its mirror's: in the file and as
  // it is on the screen.
  EXPECT_TRUE(
      WaitFor([&] { return clickToolbar(kQrButton) && WaitFor([&] { return shown("QR_code_wnd"); }, 3s); }, 30s))
      << "the QR window did not open";
  const std::string screen = Screenshot("protect_qr");
  EXPECT_EQ(Command("zbarimg -q --raw " + screen + " 2>/dev/null"), "http://bank.tarvo.test/\n");
  EXPECT_EQ(Command("zbarimg -q --raw bmp:" + (cache / "qrcode.png").string() + " 2>/dev/null"),
            "http://bank.tarvo.test/\n");
  EXPECT_TRUE(clickInWindow("QR_code_wnd", 22, 22));
  EXPECT_TRUE(WaitFor([&] { return !shown("QR_code_wnd"); }, 10s));
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
