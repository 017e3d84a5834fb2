// The browser as a screen reader and a keyboard-only user meet it, through the real
// AT-SPI bus on a private session bus, the tree read from outside the process: the
// address bar, the page's content and a compatibility page found by role and name, F6
// between page and address bar; then every window gone through with the keyboard
// alone, every control named and reached (the table is printed).
#include <algorithm>
#include <functional>
#include <iostream>
#include <set>
#include <tuple>

#include "e2e/accessibility_bus.h"
#include "e2e/atspi_node.h"
#include "e2e/browser_fixture.h"
#include "support/temp_dir.h"

namespace tarvo::e2e {
namespace {

using namespace std::chrono_literals;

// The rows of a list or tree are reached through it (its chosen row takes the focus),
// so the list stands for them; every other focusable node is a place of its own.
bool IsItem(const AtspiNode& node) { return node.Role() == "list item" || node.Role() == "table cell"; }
bool IsControl(const AtspiNode& node) {
  const std::string role = node.Role();
  return node.Focusable() && !IsItem(node) && role != "frame" && role != "dialog" && role != "window";
}

class AccessibilityEndToEndTest : public BrowserFixture {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempDir;
    bus_ = new AccessibilityBus(folder_->path());
    // This process reads the tree from the bus the browser writes it to.
    setenv("DBUS_SESSION_BUS_ADDRESS", bus_->Environment().at("DBUS_SESSION_BUS_ADDRESS").c_str(), 1);
    if (bus_->Ready()) AtspiNode::Connect();
  }
  static void TearDownTestSuite() {
    delete bus_;
    delete folder_;
  }

  // The display has no window manager to give the keyboard to a window that opens, or
  // back to the main window when one closes: the test does, as a user's click would.
  void FocusMainWindow() { Command("xdotool windowfocus --sync " + mainWindowId_); }
  void FocusWindow(const AtspiNode& window) {
    const auto [x, y] = window.Position();
    for (const Window& shown : Windows("--pid " + std::to_string(browser_->pid()) + " --name '.*'")) {
      if (shown.x == x && shown.y == y) Command("xdotool windowfocus --sync " + shown.id);
    }
  }

  // Asks for the focus as a screen reader does, again while a loading page takes it.
  static bool Focus(const AtspiNode& node) {
    return WaitFor([&] { return node.GrabFocus() && WaitFor([&] { return node.Focused(); }, 1s); }, 20s);
  }

  // The shown window of the browser named `name`, once it is there, with the keyboard.
  std::optional<AtspiNode> WindowNamed(const std::string& name) {
    std::optional<AtspiNode> found;
    WaitFor(
        [&] {
          for (const AtspiNode& window : app_.Children()) {
            if (window.Showing() && window.Name() == name) found = window;
          }
          return found.has_value();
        },
        20s);
    if (found) FocusWindow(*found);
    return found;
  }

  static bool Press(const AtspiNode& within, const std::string& role, const std::string& name) {
    auto node = within.Find(RoleAndName(role, name));
    return node.has_value() && node->DoAction("Press");
  }

  // The control focused inside `window` (a list for its focused row) once it is another
  // than `previous`; else the one focused now (the key went nowhere).
  static std::optional<AtspiNode> FocusAfter(const AtspiNode& window, const std::string& previous) {
    std::optional<AtspiNode> focused;
    WaitFor(
        [&] {
          focused = window.Find([](const AtspiNode& node) { return node.Focused() && (IsControl(node) || IsItem(node)); });
          if (focused.has_value() && IsItem(*focused)) focused = focused->Parent();
          return focused.has_value() && focused->Path() != previous;
        },
        2s);
    return focused;
  }

  // Goes round `window` with Tab (and the arrows through a group of options) from the
  // control focused now until the focus comes back or enters a page; prints a row of
  // the table and checks that every control is named and reached.
  void Walk(const AtspiNode& window, const std::string& title) {
    std::set<std::string> page;
    for (const AtspiNode& doc : window.FindAll([](const AtspiNode& n) { return n.Role() == "document web"; })) {
      for (const AtspiNode& part : doc.FindAll([](const AtspiNode&) { return true; })) page.insert(part.Path());
    }
    std::map<std::string, std::string> controls;  // path -> role and name
    for (const AtspiNode& node : window.FindAll(IsControl)) {
      if (page.count(node.Path()) == 0) controls[node.Path()] = node.Role() + " \"" + node.Name() + "\"";
    }
    std::set<std::string> reached;
    std::string at = FocusAfter(window, "").value_or(AtspiNode()).Path();
    std::string start = at;
    reached.insert(at);
    for (int press = 0; press < 80; ++press) {
      Command("xdotool key Tab");
      const auto focused = FocusAfter(window, at);
      if (!focused || focused->Path() == at || focused->Path() == start || page.count(focused->Path()) != 0) break;
      at = focused->Path();
      if (start.empty()) start = at;
      reached.insert(at);
      const bool group = focused->Role() == "radio button" || focused->Role() == "page tab";
      for (int arrow = 0; group && arrow < 20; ++arrow) {
        Command("xdotool key Right");
        const auto member = FocusAfter(window, at);
        if (!member || member->Path() == focused->Path() || member->Path() == at) break;
        reached.insert(at = member->Path());
      }
      at = focused->Path();
    }
    std::vector<std::string> unnamed, missed;
    for (const auto& [path, what] : controls) {
      if (what.find("\"\"") != std::string::npos) unnamed.push_back(what);
      if (reached.count(path) == 0) missed.push_back(what);
    }
    // A screen reader walks hidden parts of the window too: a control there, shown or
    // not, has a name (a hidden message label may be empty: it has nothing to say yet).
    std::function<void(const AtspiNode&, int)> hidden = [&](const AtspiNode& node, int depth) {
      if (depth > 16 || page.count(node.Path()) != 0) return;
      static const std::set<std::string> kSpeaking = {"push button", "check box", "radio button", "toggle button",
                                                      "combo box",   "page tab",  "menu item"};
      if (!node.Showing() && kSpeaking.count(node.Role()) != 0 && node.Name().empty()) {
        unnamed.push_back("hidden " + node.Role());
      }
      for (const AtspiNode& child : node.Children()) hidden(child, depth + 1);
    };
    hidden(window, 0);
    std::cout << "| " << title << " | " << controls.size() << " | " << controls.size() - unnamed.size() << " | "
              << controls.size() - missed.size() << " |\n";
    EXPECT_FALSE(controls.empty()) << title;
    EXPECT_TRUE(unnamed.empty()) << title << ": " << ::testing::PrintToString(unnamed);
    EXPECT_TRUE(missed.empty()) << title << ": " << ::testing::PrintToString(missed);
  }

  static test::TempDir* folder_;
  static AccessibilityBus* bus_;
  std::unique_ptr<ChildProcess> browser_;
  std::string mainWindowId_;
  AtspiNode app_;
  AtspiNode frame_;
};

test::TempDir* AccessibilityEndToEndTest::folder_ = nullptr;
AccessibilityBus* AccessibilityEndToEndTest::bus_ = nullptr;

TEST_F(AccessibilityEndToEndTest, TheKeyboardReachesEveryControlAndAScreenReaderWorksTheMainWindow) {
  // The browser (in English) on the buses with its first page, its main window given
  // the keyboard, and its application and main window in the tree.
  ASSERT_TRUE(bus_->Ready()) << bus_->Logs();
  dir_.WriteFile("config/TarvoBrowser/registry.json", R"({"Software\\TarvoBrowser": {"language": "usa"}})");
  std::map<std::string, std::string> environment = Environment();
  environment.merge(bus_->Environment());
  browser_ = StartBrowserWith({pages_.Url("/first")}, environment);
  std::optional<Window> window;
  ASSERT_TRUE(WaitFor([&] { return (window = MainWindow(*browser_)).has_value() && Served("/first"); }, kStartLimit))
      << browser_->Log();
  mainWindowId_ = window->id;
  FocusMainWindow();
  auto app = AtspiNode::Application(browser_->pid());
  ASSERT_TRUE(app.has_value()) << "the browser never joined the accessibility bus\n" << browser_->Log();
  app_ = *app;
  auto frame = app_.Find([](const AtspiNode& node) { return node.Role() == "frame"; });
  ASSERT_TRUE(frame.has_value());
  frame_ = *frame;
  std::cout << "| window | controls | named | reached by keyboard |\n|---|---|---|---|\n";
  // The main window, from its first control up to the page.
  auto first = frame_.Find(RoleAndName("push button", "Menu"));
  ASSERT_TRUE(first.has_value() && Focus(*first));
  Walk(frame_, "Main window");

  const auto fromMenu = [this](const std::string& entry) {
    return [this, entry] {
      auto menu = Press(frame_, "push button", "Menu") ? WindowNamed("Main menu") : std::nullopt;
      return menu.has_value() && Press(*menu, "menu item", entry);
    };
  };
  const auto button = [this](const std::string& role, const std::string& name) {
    return [this, role, name] { return Press(frame_, role, name); };
  };
  // The settings window's second page, chosen by its tab.
  const auto passwordsPage = [this, fromMenu] {
    std::optional<AtspiNode> settings = fromMenu("Settings")() ? WindowNamed("Settings") : std::nullopt;
    return settings.has_value() && Press(*settings, "page tab", "Passwords");
  };
  // Window name, row of the table, how the user opens it.
  const std::vector<std::tuple<std::string, std::string, std::function<bool()>>> windows = {
      {"Log in", "Log in", fromMenu("Account")},
      // The shield's panel comes with the context-menu key, the keyboard's right click.
      {"Protection", "Protection",
       [this] {
         auto shield =
             frame_.Find([](const AtspiNode& n) { return n.Name().find("protection panel") != std::string::npos; });
         return shield.has_value() && Focus(*shield) && Command("xdotool key Menu").empty();
       }},
      {"Add bookmark", "Add bookmark", button("check box", "Bookmark this page")},
      {"Downloads", "Downloads", button("push button", "Downloads")},
      {"Settings", "Settings", fromMenu("Settings")},
      {"Settings", "Settings: saved passwords", passwordsPage},
      {"Clear browsing data", "Clear browsing data", button("push button", "Clear browsing data")},
      {"QR code", "QR code", button("push button", "QR code of this page")},
      {"Find", "Find", [] { return Command("xdotool key ctrl+f").empty(); }},
      {"History", "History", fromMenu("History")},
      {"Main menu", "Main menu", button("push button", "Menu")},
  };
  for (const auto& [name, row, open] : windows) {
    SCOPED_TRACE(row);
    FocusMainWindow();
    ASSERT_TRUE(open());
    auto window = WindowNamed(name);
    ASSERT_TRUE(window.has_value()) << "no window named " << name;
    Walk(*window, row);
    // Escape closes it.
    Command("xdotool key Escape");
    EXPECT_TRUE(WaitFor([&] { return !window->Showing(); }, 10s));
  }

  // A screen reader: the address bar found by role and name.
  FocusMainWindow();
  auto address = frame_.Find(RoleAndName("text", "Address and search bar"));
  ASSERT_TRUE(address.has_value());
  EXPECT_NE(address->Text().find("/first"), std::string::npos) << address->Text();

  // Focused by the screen reader, typed into by the user.
  ASSERT_TRUE(Focus(*address));
  Command("xdotool key ctrl+a type --delay 20 '" + pages_.Url("/second") + "'");
  Command("xdotool key Return");
  ASSERT_TRUE(WaitFor([&] { return Served("/second"); }, 30s));
  // The page's own content is part of the window's tree.
  ASSERT_TRUE(WaitFor([&] { return frame_.Find(RoleAndName("heading", "Page /second")).has_value(); }, 30s));

  // F6 goes from the address bar to the page and back.
  ASSERT_TRUE(Focus(*address));
  const auto pageFocused = [&] {
    auto page = frame_.Find([](const AtspiNode& node) { return node.Role() == "document web"; });
    return page.has_value() && page->Find([](const AtspiNode& node) { return node.Focused(); }).has_value();
  };
  Command("xdotool key F6");
  EXPECT_TRUE(WaitFor([&] { return !address->Focused() && pageFocused(); }, 10s));
  Command("xdotool key F6");
  EXPECT_TRUE(WaitFor([&] { return address->Focused(); }, 10s));

  // Back, by the button's action.
  ASSERT_TRUE(Press(frame_, "push button", "Back"));
  EXPECT_TRUE(WaitFor([&] { return frame_.Find(RoleAndName("heading", "Page /first")).has_value(); }, 30s));

  // The main menu, entry by entry.
  ASSERT_TRUE(Press(frame_, "push button", "Menu"));
  auto menu = WindowNamed("Main menu");
  ASSERT_TRUE(menu.has_value());
  std::vector<std::string> entries;
  for (const AtspiNode& entry : menu->FindAll([](const AtspiNode& n) { return n.Role() == "menu item"; })) {
    entries.push_back(entry.Name());
  }
  for (const char* expected : {"Account", "New window", "History", "Downloads", "Settings", "Close"}) {
    EXPECT_NE(std::find(entries.begin(), entries.end(), expected), entries.end()) << expected;
  }
  EXPECT_EQ(std::count(entries.begin(), entries.end(), ""), 0);
  Command("xdotool key Escape");
  EXPECT_TRUE(WaitFor([&] { return !menu->Showing(); }, 10s));

  // A page of the compatibility engine is a web document of the window named by its
  // title, and F6 goes into it and out again.
  ASSERT_TRUE(Execute("INSERT INTO domain_type (domain, type) VALUES ('localhost', 2)"));
  FocusMainWindow();
  ASSERT_TRUE(Focus(*address));
  Command("xdotool key ctrl+a type --delay 20 'http://localhost:" + std::to_string(pages_.port()) + "/compat'");
  Command("xdotool key Return");
  std::optional<AtspiNode> compat;
  ASSERT_TRUE(WaitFor([&] { return (compat = frame_.Find(RoleAndName("document web", "Page /compat"))).has_value(); },
                      60s))
      << browser_->Log();
  ASSERT_TRUE(Focus(*address));
  Command("xdotool key F6");
  EXPECT_TRUE(WaitFor([&] { return !address->Focused() && compat->Focused(); }, 10s));
  Command("xdotool key F6");
  EXPECT_TRUE(WaitFor([&] { return address->Focused() && !compat->Focused(); }, 10s));
  CloseBrowser(*browser_);
}

}  // namespace
}  // namespace tarvo::e2e
