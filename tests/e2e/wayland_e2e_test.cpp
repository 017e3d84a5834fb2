// The browser as a native Wayland client on a weston of the test's own (drawn into an
// X window so that xdotool's clicks reach it as a seat's input): the main window, its
// menus and drop-downs each placed where they belong, read from the compositor's
// scene graph, and the window following its title bar.
#include <sys/stat.h>

#include <fstream>
#include <regex>
#include <signal.h>
#include <thread>

#include "e2e/browser_fixture.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A surface the compositor shows: its role ("xdg_toplevel", "xdg_popup"), the
// process that made it and its place on the compositor's screen.
struct View {
  std::string role;
  int pid = 0;
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const View&) const = default;
};

class WaylandEndToEndTest : public BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    if (HasFatalFailure()) return;
    fs::create_directories(runtime_);
    chmod(runtime_.c_str(), 0700);  // the compositor refuses a runtime folder others may read
    const fs::path config = dir_.path() / "weston.ini";
    // A plain screen: no panel to leave room for, no screen lock while the test waits.
    std::ofstream(config) << "[core]\nidle-time=0\n[shell]\npanel-position=none\nbackground-color=0xff305070\n"
                          << "locking=false\n";
    const std::string size = Command("xdotool getdisplaygeometry");
    ASSERT_EQ(std::sscanf(size.c_str(), "%d %d", &screenWidth_, &screenHeight_), 2) << size;
    compositor_ = std::make_unique<ChildProcess>(
        "/usr/bin/weston",
        std::vector<std::string>{"--backend=x11-backend.so", "--use-pixman", "--debug", "--socket=" + kSocket,
                                 "--width=" + std::to_string(screenWidth_), "--height=" + std::to_string(screenHeight_),
                                 "--config=" + config.string()},
        std::map<std::string, std::string>{{"XDG_RUNTIME_DIR", runtime_.string()}},
        (dir_.path() / "weston.log").string());
    ASSERT_TRUE(WaitFor([&] { return !Views().empty(); }, 20s)) << compositor_->Log();
  }

  void TearDown() override {
    if (compositor_ != nullptr) {
      compositor_->Signal(SIGTERM);
      compositor_->WaitForExit(10s);
    }
  }

  std::map<std::string, std::string> WaylandSession() const {
    std::map<std::string, std::string> environment = Environment();
    environment["QT_QPA_PLATFORM"] = "wayland";
    environment["WAYLAND_DISPLAY"] = kSocket;
    environment["XDG_RUNTIME_DIR"] = runtime_.string();
    environment["DISPLAY"] = ChildProcess::kUnset;  // no way back to X11
    environment["LANG"] = "en_US.UTF-8";
    return environment;
  }

  // Every view of the compositor's scene graph.
  std::vector<View> Views() const {
    const std::string graph = Command("WAYLAND_DISPLAY=" + kSocket + " XDG_RUNTIME_DIR='" + runtime_.string() +
                                      "' timeout 5 weston-debug scene-graph 2>/dev/null");
    const std::regex entry(
        "View [0-9]+ \\(role ([^,]+), PID ([0-9]+),[^\\n]*\\n\\s*position: \\((-?[0-9]+), (-?[0-9]+)\\) -> "
        "\\((-?[0-9]+), (-?[0-9]+)\\)");
    std::vector<View> views;
    for (auto it = std::sregex_iterator(graph.begin(), graph.end(), entry); it != std::sregex_iterator(); ++it) {
      views.push_back({(*it)[1], std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4]), std::stoi((*it)[5]),
                       std::stoi((*it)[6])});
    }
    return views;
  }
  // The browser's views with `role`, largest first.
  std::vector<View> ViewsOf(const ChildProcess& browser, const std::string& role) const {
    std::vector<View> found;
    for (const View& view : Views()) {
      if (view.pid == browser.pid() && view.role == role) found.push_back(view);
    }
    std::sort(found.begin(), found.end(), [](const View& a, const View& b) {
      return (a.right - a.left) * (a.bottom - a.top) > (b.right - b.left) * (b.bottom - b.top);
    });
    return found;
  }
  // The browser's one pop-up, once `click` has opened it and the compositor has
  // placed it (the same place twice in a row).
  std::optional<View> PopupAfter(const ChildProcess& browser, const std::function<void()>& click) const {
    std::optional<View> popup;
    const auto placed = [&] {
      const std::vector<View> before = ViewsOf(browser, "xdg_popup");
      std::this_thread::sleep_for(300ms);
      const std::vector<View> after = ViewsOf(browser, "xdg_popup");
      if (before.size() != 1 || after.size() != 1 || before.front() != after.front()) return false;
      popup = after.front();
      return true;
    };
    WaitFor([&] { return (click(), WaitFor(placed, 3s)); }, 20s);
    return popup;
  }
  // A click at a point of the compositor's screen. Its X window turns the X pointer's
  // moves into relative ones, held at the screen's edges: a trip to two far corners
  // first brings its pointer where the X pointer is.
  void ClickAt(int x, int y) const { Command(PointerAt(x, y) + " click 1"); }
  // Presses at a point, moves by (dx, dy) in steps and lets go.
  void DragFrom(int x, int y, int dx, int dy) const {
    std::string drag = PointerAt(x, y) + " mousedown 1";
    for (int step = 1; step <= 4; ++step) {
      drag += " sleep 0.05 mousemove " + std::to_string(x + dx * step / 4) + " " + std::to_string(y + dy * step / 4);
    }
    Command(drag + " sleep 0.2 mouseup 1");
  }
  std::string PointerAt(int x, int y) const {
    return "xdotool mousemove 0 0 sleep 0.05 mousemove " + std::to_string(screenWidth_ - 1) + " " +
           std::to_string(screenHeight_ - 1) + " sleep 0.05 mousemove 0 0 sleep 0.05 mousemove " + std::to_string(x) +
           " " + std::to_string(y) + " sleep 0.1";
  }
  void Dismiss(const ChildProcess& browser) const {
    Command("xdotool key Escape");
    EXPECT_TRUE(WaitFor([&] { return ViewsOf(browser, "xdg_popup").empty(); }, 5s)) << "the pop-up stayed open";
  }

  const std::string kSocket = "tarvo-wayland-" + std::to_string(getpid());
  const fs::path runtime_ = dir_.path() / "runtime";
  std::unique_ptr<ChildProcess> compositor_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
};

TEST_F(WaylandEndToEndTest, MenusAndSmallWindowsOpenAsPopupsUnderTheirButtons) {
  auto browser = StartBrowserWith({pages_.Url("/wayland")}, WaylandSession());
  ASSERT_TRUE(WaitFor([&] { return Served("/wayland"); }, kStartLimit)) << browser->Log();

  // The main window at its working size, whole on the screen, where the compositor put it.
  std::optional<View> main;
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::vector<View> windows = ViewsOf(*browser, "xdg_toplevel");
        if (!windows.empty() && windows.front().right - windows.front().left >= screenWidth_ * 8 / 10) {
          main = windows.front();
        }
        return main.has_value();
      },
      kStartLimit))
      << browser->Log();
  std::this_thread::sleep_for(2500ms);  // past the moment an X11 window grows to its working size
  main = ViewsOf(*browser, "xdg_toplevel").front();
  EXPECT_GE(main->left, 0);
  EXPECT_GE(main->top, 0);
  EXPECT_LE(main->right, screenWidth_);
  EXPECT_LE(main->bottom, screenHeight_);

  // Each pop-up's corner sits at its button's (the skin "newmainwnd.xml" places the
  // logo at the toolbar's left, the search box's arrow and the download button at its
  // right, the favourites bar below, whose third button is the seed's folder); a free
  // window would be wherever the compositor puts new windows.
  struct Case {
    const char* name;
    int clickFromLeft;  // negative: from the right edge
    int clickFromTop;
    bool rightAligned;  // the pop-up's right edge, not its left, is at the button
    int cornerFromLeft;
    int cornerFromTop;
  };
  const Case cases[] = {
      {"main_menu", 20, 27, false, 0, 43},
      {"search_engine_drop_down", -328, 66, false, -334, 85},
      {"download_list", -58, 66, true, -44, 82},
      {"favourites_folder_menu", 300, 104, false, 243, 118},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int width = main->right - main->left;
    const int clickX = main->left + (c.clickFromLeft >= 0 ? c.clickFromLeft : width + c.clickFromLeft);
    const std::optional<View> popup = PopupAfter(*browser, [&] { ClickAt(clickX, main->top + c.clickFromTop); });
    ASSERT_TRUE(popup.has_value()) << "no pop-up of the main window opened";
    const int cornerX = main->left + (c.cornerFromLeft >= 0 ? c.cornerFromLeft : width + c.cornerFromLeft);
    EXPECT_NEAR(c.rightAligned ? popup->right : popup->left, cornerX, 4);
    EXPECT_NEAR(popup->top, main->top + c.cornerFromTop, 4);
    Dismiss(*browser);
  }

  // The title bar (the tab row's empty middle) moves the window through the compositor.
  DragFrom((main->left + main->right) / 2, main->top + 15, -100, 40);
  EXPECT_TRUE(WaitFor(
      [&] {
        const std::vector<View> windows = ViewsOf(*browser, "xdg_toplevel");
        return !windows.empty() && windows.front().left == main->left - 100 && windows.front().top == main->top + 40;
      },
      5s))
      << "the main window did not follow the title bar";
  CloseBrowser(*browser);
}

}  // namespace
}  // namespace tarvo::e2e
