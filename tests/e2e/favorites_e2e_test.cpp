// The favourites as a user meets them in the real browser with the reference service
// (demo seed): a fresh profile shows the seed's default favourites on the bar; the
// star adds the page, the bar's menu renames a bookmark, the favourites window makes
// a folder and moves the page into it, and deletes it again; every change is in the
// profile after a restart; a logged-in user's star reaches another profile of theirs,
// and so do the user's edits made while the service was away, once it is back.
#include <json/json.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <regex>
#include <sstream>
#include <thread>

#include "e2e/browser_fixture.h"
#include "support/mounted_folder.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kPortal = "Tarvo test portal<http://www.tarvo.test/", kNews = "Tarvo news<http://news.tarvo.test/",
                  kBank = "Protected sites: Tarvo Bank<http://bank.tarvo.test/ Tarvo Shop<http://shop.tarvo.test/";

// Replaces the text of the field that has the focus and presses Return.
void TypeAndReturn(const std::string& text) {
  std::system(("xdotool key ctrl+a type --delay 20 '" + text + "'").c_str());
  std::system("xdotool sleep 0.2 key Return sleep 0.3");
}

class FavoritesEndToEndTest : public BrowserFixture {
 protected:
  // Starts the browser on the profile in the folder `profile` of the test's folder.
  void Start(const std::string& profile = "data") {
    profile_ = profile;
    std::map<std::string, std::string> environment = Environment();
    environment["XDG_DATA_HOME"] = (dir_.path() / profile).string();
    environment.insert(extraEnvironment_.begin(), extraEnvironment_.end());
    browser_ = StartBrowserWith({"-noupdate", pages_.Url("/fav")}, environment);
    // The page is there and the window has its working size.
    ASSERT_TRUE(WaitFor([&] { return Served("/fav") && MainWindow(*browser_).has_value(); }, kStartLimit))
        << browser_->Log();
    std::this_thread::sleep_for(1s);
  }
  void Stop() { CloseBrowser(*browser_); }
  Window Main() const { return MainWindow(*browser_).value_or(Window{}); }
  // Clicks (`button` 3: right-clicks) at a point of the screen.
  static void Click(int x, int y, int button = 1) { ClickIn(Window{}, x, y, button); }
  // Waits for a window named `name`, and a moment more: a window that has just
  // appeared on a display without a window manager may miss a first click.
  Window Await(const std::string& name) const {
    std::optional<Window> found;
    WaitFor([&] { return (found = WindowNamed("^" + name + "$")).has_value(); }, 10s);
    std::this_thread::sleep_for(1500ms);
    return found.value_or(Window{});
  }

  // The favourites document the browser stored under `key` (the anonymous one, or a
  // user's: "favor_data_" + the user's id, or "favor_data_" for the one user's there
  // is), read with tarvo-cli.
  Json::Value Stored(const std::string& key = "favor_data") const {
    const std::string rows = Command(BinFolder() + "tarvo-cli profile info " +
                                     (dir_.path() / profile_ / "TarvoBrowser" / "kx.dat").string() + " 2>/dev/null");
    std::string text;
    std::istringstream lines(rows);
    for (std::string line; std::getline(lines, line);) {
      const size_t tab = line.find('\t');
      const std::string name = line.substr(0, tab);
      const bool someUsers = key.back() == '_' && name.starts_with(key) && name != "favor_data_first";
      if (tab != std::string::npos && (name == key || someUsers)) {
        text = line.substr(tab + 1);
      }
    }
    Json::Value document;
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    reader->parse(text.data(), text.data() + text.size(), &document, nullptr);
    return document;
  }
  // "name" or "folder: name, name" per top-level item.
  std::vector<std::string> Outline(const std::string& key = "favor_data") const {
    std::vector<std::string> outline;
    for (const Json::Value& item : Stored(key)) {
      std::string line = item["name"].asString();
      if (item["type"].asString() == "folder") {
        line += ":";
        for (const Json::Value& child : item["child"]) line += " " + child["name"].asString() + "<" + child["url"].asString();
      } else {
        line += "<" + item["url"].asString();
      }
      outline.push_back(line);
    }
    return outline;
  }
  bool Outlines(const std::vector<std::string>& expected) const {
    return WaitFor([&] { return Outline() == expected; }, 15s);
  }

  // Opens the favourites window from the menu of the bar's empty end.
  Window Manage() {
    const Window main = Main();
    Click(main.x + main.width / 2, main.y + 103, 3);
    Click(main.x + main.width / 2 + 60, main.y + 103 + 305);  // "Manage bookmarks"
    return Await("favor_wnd");
  }
  // Adds the current page with the toolbar's star and the favourites window's Done.
  void StarCurrentPage() {
    const Window main = Main();
    Click(main.x + main.width - 385, main.y + 66);
    const Window editor = Await("favor_wnd");
    ASSERT_GT(editor.width, 0) << "the star opened no favourites window";
    Click(editor.x + 424, editor.y + 369);  // Done
  }

  // Renames the bar's first button to `name` through its menu and the rename window.
  void RenameFirstButton(const std::string& name) {
    const Window main = Main();
    Click(main.x + 40, main.y + 103, 3);
    Click(main.x + 40 + 60, main.y + 103 + 113);  // "Rename"
    const Window rename = Await("rename_favor");
    ASSERT_GT(rename.width, 0) << "no rename window";
    Click(rename.x + 250, rename.y + 64);
    TypeAndReturn(name);
  }

  // Waits until the service loop has finished one more round than it had when called
  // (every round ends with the update check, which logs either way).
  bool AnotherRoundPasses() const {
    const auto rounds = [&] {
      const std::string log = browser_->Log();
      size_t count = 0;
      for (size_t at = log.find("update check: "); at != std::string::npos; at = log.find("update check: ", at + 1)) {
        ++count;
      }
      return count;
    };
    const size_t before = rounds();
    return WaitFor([&] { return rounds() > before; }, 30s);
  }
  std::string profile_ = "data";
  std::map<std::string, std::string> extraEnvironment_;
  std::unique_ptr<ChildProcess> browser_;
};

TEST_F(FavoritesEndToEndTest, AddRenameFileAndDeleteSurviveRestartsAndAUsersBookmarkReachesAnotherProfile) {
  const std::string page = pages_.Url("/fav");
  Start();
  // A fresh profile receives the seed's defaults, once.
  ASSERT_TRUE(Outlines({kPortal, kNews, kBank})) << browser_->Log();

  // The star adds the current page through the favourites window, under the star.
  StarCurrentPage();
  const Window main = Main();
  ASSERT_TRUE(Outlines({kPortal, kNews, kBank, "Page /fav<" + page}));

  // The first button's menu renames it in the rename window (a renamed item moves to the end).
  RenameFirstButton("Portal & \"renamed\"");
  ASSERT_TRUE(Outlines({kNews, kBank, "Page /fav<" + page, "Portal & \"renamed\"<http://www.tarvo.test/"}));

  // The empty end's menu opens the favourites window: a new folder, named in place,
  // takes the page, which is a favourite already.
  Window editor = Manage();
  ASSERT_GT(editor.width, 0) << "the menu opened no favourites window";
  Click(editor.x + 68, editor.y + 369);  // New folder
  std::this_thread::sleep_for(1s);
  Click(editor.x + 200, editor.y + 217);  // its name, in the editor over the third row
  TypeAndReturn("E2E folder");
  Click(editor.x + 424, editor.y + 369);  // Done
  const std::vector<std::string> deleted = {kNews, kBank, "Portal & \"renamed\"<http://www.tarvo.test/"};
  std::vector<std::string> filed = deleted;
  filed.push_back("E2E folder: Page /fav<" + page);
  ASSERT_TRUE(Outlines(filed));
  Stop();

  // A restart keeps everything and fetches no defaults again.
  Start();
  EXPECT_EQ(Outline(), filed);
  // The folder's menu in the favourites window deletes it with the page.
  editor = Manage();
  ASSERT_GT(editor.width, 0);
  Click(editor.x + 100, editor.y + 217, 3);
  Click(editor.x + 100 + 40, editor.y + 217 + 18);  // "Delete folder"
  EXPECT_TRUE(Outlines(deleted));
  Click(editor.x + 342, editor.y + 369);  // Cancel
  Stop();
  Start();
  EXPECT_EQ(Outline(), deleted);

  // Logged in, a star keeps the page under the user's own key and on the service, which
  // another profile of the same user fetches when it logs in.
  const auto holdsStarred = [&] {
    const std::vector<std::string> outline = Outline("favor_data_");
    return std::find(outline.begin(), outline.end(), "Page /fav<" + page) != outline.end();
  };
  LogIn(*browser_, "demo@tarvo.test", "demo1234");
  StarCurrentPage();
  ASSERT_TRUE(WaitFor(holdsStarred, 15s)) << browser_->Log();
  EXPECT_EQ(Outline(), deleted) << "the anonymous document took the user's bookmark";
  Stop();
  Start("second");
  EXPECT_FALSE(holdsStarred());
  LogIn(*browser_, "demo@tarvo.test", "demo1234");
  EXPECT_TRUE(WaitFor(holdsStarred, 15s)) << browser_->Log();
  Stop();
}

// Logged in, with the service stopped: a bookmark renamed through the bar's menu and a
// page added with the star are shown and kept at once and wait in the journal; log-out
// says how many changes have not reached the service and the user stays; once the
// service is back, the browser's next synchronisation (its next start) sends both, and
// another profile of the user receives them from the service.
TEST_F(FavoritesEndToEndTest, EditsMadeWhileTheServiceIsAwayReachItOnceItIsBack) {
  if (serviceDatabase_) GTEST_SKIP() << "restarts the service on its own data file";
  const std::string page = pages_.Url("/fav");
  const std::vector<std::string> edited = {kNews, kBank, "Renamed away<http://www.tarvo.test/", "Page /fav<" + page};
  const auto holds = [&](const std::vector<std::string>& expected) {
    return WaitFor([&] { return Outline("favor_data_") == expected; }, 20s);
  };
  // Service rounds every few seconds instead of every five minutes, so the story can
  // wait past them.
  extraEnvironment_["TARVO_SERVICE_PERIOD_SECONDS"] = "4";
  Start();
  LogIn(*browser_, "demo@tarvo.test", "demo1234");
  ASSERT_TRUE(holds({kPortal, kNews, kBank})) << browser_->Log();
  Screenshot("favorites_away_before");

  const std::string port = std::regex_replace(apiUrl_, std::regex(".*:([0-9]+)/?$"), "$1");
  service_->Signal(SIGTERM);
  ASSERT_TRUE(service_->WaitForExit(10s).has_value());
  // Synchronisations while the service is away, before, between and after the edits:
  // none undoes an edit or drops one.
  ASSERT_TRUE(AnotherRoundPasses()) << browser_->Log();
  RenameFirstButton("Renamed away");
  ASSERT_TRUE(AnotherRoundPasses()) << browser_->Log();
  StarCurrentPage();
  ASSERT_TRUE(holds(edited)) << browser_->Log();
  ASSERT_TRUE(AnotherRoundPasses()) << browser_->Log();
  EXPECT_NE(browser_->Log().find("the user's favourites were not refreshed"), std::string::npos);
  EXPECT_TRUE(holds(edited));
  EXPECT_EQ(Scalar("SELECT count(*) FROM favorite_journal"), "2");
  Screenshot("favorites_away_edited");

  // Log-out first tells of the two changes; Cancel stays logged in. (Clicked: on a
  // display without a window manager the question never has the keyboard.)
  ClickInMainMenu(*browser_, 170);
  const Window question = Await("Message");
  ASSERT_GT(question.width, 0) << "log-out asked nothing";
  Screenshot("favorites_away_logout_prompt");
  Click(question.x + 218, question.y + question.height - 30);  // Cancel
  EXPECT_TRUE(WaitFor([] { return !WindowNamed("^Message$").has_value(); }, 5s)) << "Cancel left the question open";
  EXPECT_FALSE(Scalar("SELECT value FROM info WHERE key='vpnusertoken'").empty()) << "logged out";

  std::vector<std::string> arguments{"--port", port, "--seed",
                                     std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json",
                                     "--data", (dir_.path() / "service.db").string()};
  for (const std::string& argument : trust_.ServiceArguments()) arguments.push_back(argument);
  service_ = std::make_unique<ChildProcess>(BinFolder() + "tarvo-service", arguments,
                                            std::map<std::string, std::string>{},
                                            (dir_.path() / "service-again.log").string());
  ASSERT_TRUE(WaitFor([&] { return service_->LogMatch("listening on (https://127\\.0\\.0\\.1:[0-9]+/)").has_value(); }, 20s))
      << service_->Log();
  // The running browser's next round sends the journal; the round after it keeps the
  // edits (the service's copy now has them).
  ASSERT_TRUE(WaitFor([&] { return Scalar("SELECT count(*) FROM favorite_journal") == "0"; }, 30s)) << browser_->Log();
  ASSERT_TRUE(AnotherRoundPasses()) << browser_->Log();
  EXPECT_TRUE(holds(edited));
  Screenshot("favorites_away_after");
  Stop();

  Start("second");
  LogIn(*browser_, "demo@tarvo.test", "demo1234");
  EXPECT_TRUE(holds(edited)) << browser_->Log();
  Stop();
}

TEST_F(FavoritesEndToEndTest, AStarOnAFullDiskIsToldAndTheBookmarkIsSavedOnceThereIsRoom) {
  const auto disk = test::MountedFolder::SmallDisk(dir_.path() / "data", 64);
  if (!disk) GTEST_SKIP() << "a small disk needs mounting a tmpfs, which only root may do";
  const std::vector<std::string> defaults = {kPortal, kNews, kBank};
  Start();
  ASSERT_TRUE(Outlines(defaults)) << browser_->Log();
  disk->FillUp();
  StarCurrentPage();
  ASSERT_TRUE(WaitFor([&] { return browser_->Log().find("is full") != std::string::npos; }, 30s)) << browser_->Log();
  ASSERT_GT(Await("Error").width, 0) << "no message box";
  std::system("xdotool key Return sleep 0.5");
  EXPECT_EQ(Outline(), defaults) << "nothing could be stored";

  // The bar showed the bookmark all along; with room again it is kept.
  disk->MakeRoom();
  Stop();
  Start();
  std::vector<std::string> starred = defaults;
  starred.push_back("Page /fav<" + pages_.Url("/fav"));
  EXPECT_EQ(Outline(), starred);
  Stop();
}

}  // namespace
}  // namespace tarvo::e2e
