// The favourites as a user meets them in the real browser with the reference service
// (demo seed): a fresh profile shows the seed's default favourites on the bar; the
// star adds the page, the bar's menu renames a bookmark, the favourites window makes
// a folder and moves the page into it, and deletes it again; every change is in the
// profile after a restart. Clicks and keys go through xdotool; screenshots land in
// <build>/test-artifacts/ui/.
#include <json/json.h>
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <thread>

#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "e2e/page_server.h"
#include "support/service_process.h"
#include "support/temp_dir.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Output(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
  }
  return output;
}

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

// The largest visible window of `pid` named `name` (xdotool: both conditions), or an
// empty rectangle.
Rect WindowOf(pid_t pid, const std::string& name) {
  const std::string geometry = Output("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name '^" + name +
                                   "$' getwindowgeometry --shell %@ 2>/dev/null");
  const std::regex entry("X=(-?[0-9]+)\\nY=(-?[0-9]+)\\nWIDTH=([0-9]+)\\nHEIGHT=([0-9]+)");
  Rect best;
  for (auto it = std::sregex_iterator(geometry.begin(), geometry.end(), entry); it != std::sregex_iterator(); ++it) {
    const Rect found{std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4])};
    if (found.width * found.height > best.width * best.height) best = found;
  }
  return best;
}

void Click(int x, int y, int button = 1) {
  std::system(("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 click " +
               std::to_string(button) + " sleep 0.4")
                  .c_str());
}

// Replaces the text of the field that has the focus and presses Return.
void TypeAndReturn(const std::string& text) {
  std::system(("xdotool key ctrl+a type --delay 20 '" + text + "'").c_str());
  std::system("xdotool sleep 0.2 key Return sleep 0.3");
}

class FavoritesEndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs the test command's display";
    service_ = std::make_unique<test::ServiceProcess>(
        bin_ + "tarvo-service", std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json",
        (dir_.path() / "service.db").string());
    ASSERT_FALSE(service_->baseUrl().empty());
  }

  void Start() {
    browser_ = std::make_unique<ChildProcess>(bin_ + "tarvo-browser", std::vector<std::string>{"-noupdate", pages_.Url("/fav")},
                                              std::map<std::string, std::string>{{"XDG_DATA_HOME", (dir_.path() / "data").string()},
                                                                                 {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
                                                                                 {"XDG_CACHE_HOME", (dir_.path() / "cache").string()},
                                                                                 {"TARVO_API_URL", service_->baseUrl()}},
                                              (dir_.path() / "browser.log").string());
    // The page is there and the window has its working size (two seconds after it is built).
    ASSERT_TRUE(WaitFor([&] { return !pages_.RequestsFor("/fav").empty(); }, 60s)) << browser_->Log();
    ASSERT_TRUE(WaitFor([&] { return Main().width >= 800; }, 30s));
    std::this_thread::sleep_for(1s);
  }
  void Stop() {
    browser_->Signal(SIGTERM);
    const auto status = browser_->WaitForExit(60s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << browser_->Log();
  }
  Rect Main() const { return WindowOf(browser_->pid(), "TarvoBrowser"); }
  // Waits for a window of the browser named `name`, and a moment more: a window that
  // has just appeared on a display without a window manager may miss a first click.
  Rect Await(const std::string& name) const {
    Rect found;
    WaitFor([&] { return (found = WindowOf(browser_->pid(), name)).width > 0; }, 10s);
    std::this_thread::sleep_for(1500ms);
    return found;
  }
  void Screenshot(const std::string& name) const {
    fs::create_directories(fs::path(bin_) / ".." / "test-artifacts" / "ui");
    std::system(("import -window root " + bin_ + "../test-artifacts/ui/" + name + ".png").c_str());
  }

  // The anonymous favourites document as the browser stored it, read with tarvo-cli.
  Json::Value Stored() const {
    const std::string line = Output(bin_ + "tarvo-cli profile info " +
                                    (dir_.path() / "data" / "TarvoBrowser" / "kx.dat").string() + " favor_data 2>/dev/null");
    const size_t tab = line.find('\t');
    const std::string text = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    Json::Value document;
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    reader->parse(text.data(), text.data() + text.size(), &document, nullptr);
    return document;
  }
  // "name" or "folder: name, name" per top-level item.
  std::vector<std::string> Outline() const {
    std::vector<std::string> outline;
    for (const Json::Value& item : Stored()) {
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

  const std::string bin_ = fs::current_path().string() + "/";
  test::TempDir dir_;
  PageServer pages_;
  std::unique_ptr<test::ServiceProcess> service_;
  std::unique_ptr<ChildProcess> browser_;
};

TEST_F(FavoritesEndToEndTest, AddRenameFileAndDeleteSurviveRestarts) {
  const std::string page = pages_.Url("/fav");
  const std::string bank = "Protected sites: Tarvo Bank<http://bank.tarvo.test/ Tarvo Shop<http://shop.tarvo.test/";
  Start();
  // A fresh profile receives the seed's defaults, once.
  ASSERT_TRUE(Outlines({"Tarvo test portal<http://www.tarvo.test/", "Tarvo news<http://news.tarvo.test/", bank}))
      << browser_->Log();
  Screenshot("favorites_e2e_defaults");

  // The star adds the current page through the favourites window, under the star.
  Rect main = Main();
  Click(main.x + main.width - 385, main.y + 66);
  Rect editor = Await("favor_wnd");
  ASSERT_GT(editor.width, 0) << "the star opened no favourites window";
  Screenshot("favorites_e2e_star");
  Click(editor.x + 424, editor.y + 369);  // Done
  ASSERT_TRUE(Outlines({"Tarvo test portal<http://www.tarvo.test/", "Tarvo news<http://news.tarvo.test/", bank,
                        "Page /fav<" + page}));

  // The first button's menu renames it in the rename window (a renamed item moves to the end).
  Click(main.x + 40, main.y + 103, 3);
  Click(main.x + 40 + 60, main.y + 103 + 113);  // "Rename"
  const Rect rename = Await("rename_favor");
  ASSERT_GT(rename.width, 0) << "no rename window";
  Click(rename.x + 250, rename.y + 64);
  TypeAndReturn("Portal & \"renamed\"");
  ASSERT_TRUE(Outlines({"Tarvo news<http://news.tarvo.test/", bank, "Page /fav<" + page,
                        "Portal & \"renamed\"<http://www.tarvo.test/"}));

  // The empty end's menu opens the favourites window: a new folder, named in place,
  // takes the page, which is a favourite already.
  Click(main.x + main.width / 2, main.y + 103, 3);
  Click(main.x + main.width / 2 + 60, main.y + 103 + 305);  // "Manage bookmarks"
  editor = Await("favor_wnd");
  ASSERT_GT(editor.width, 0) << "the menu opened no favourites window";
  Click(editor.x + 68, editor.y + 369);  // New folder
  std::this_thread::sleep_for(1s);
  Click(editor.x + 200, editor.y + 217);  // its name, in the editor over the third row
  TypeAndReturn("E2E folder");
  Screenshot("favorites_e2e_new_folder");
  Click(editor.x + 424, editor.y + 369);  // Done
  const std::vector<std::string> filed = {"Tarvo news<http://news.tarvo.test/", bank,
                                          "Portal & \"renamed\"<http://www.tarvo.test/", "E2E folder: Page /fav<" + page};
  ASSERT_TRUE(Outlines(filed));
  Stop();

  // A restart keeps everything and fetches no defaults again.
  Start();
  EXPECT_EQ(Outline(), filed);
  Screenshot("favorites_e2e_after_restart");
  // The folder's menu in the favourites window deletes it with the page.
  main = Main();
  Click(main.x + main.width / 2, main.y + 103, 3);
  Click(main.x + main.width / 2 + 60, main.y + 103 + 305);
  editor = Await("favor_wnd");
  ASSERT_GT(editor.width, 0);
  Click(editor.x + 100, editor.y + 217, 3);
  Click(editor.x + 100 + 40, editor.y + 217 + 18);  // "Delete folder"
  const std::vector<std::string> deleted = {"Tarvo news<http://news.tarvo.test/", bank,
                                            "Portal & \"renamed\"<http://www.tarvo.test/"};
  EXPECT_TRUE(Outlines(deleted));
  Click(editor.x + 342, editor.y + 369);  // Cancel
  Stop();
  Start();
  EXPECT_EQ(Outline(), deleted);
  Stop();
}

}  // namespace
}  // namespace tarvo::e2e
