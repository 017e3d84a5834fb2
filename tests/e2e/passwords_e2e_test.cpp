// Saved passwords in the real browser, with a GNOME Keyring of the test's own on a
// private session bus (read back through libsecret): save, fill after a restart,
// update, choose an account, other origins, "never", private windows, the settings
// list and clearing. The engine is a row: the compatibility engine joins as one more.
#include <algorithm>
#include <regex>
#include <thread>

#include "e2e/browser_fixture.h"
#include "passwords/keyring_session.h"
#include "passwords/secret_service_keyring.h"
#include "support/private_keyring.h"

namespace tarvo::e2e {
namespace {

using namespace std::chrono_literals;

// A log-in page whose fields fill its viewport from the top (user name, password,
// button), so a click into its upper part lands in the user-name field; it tells the
// server what its fields hold whenever that changes ("/fields?at=<its query>&v=").
// The user-name field has a colour no other page of the story has: the page that
// shows it is the log-in page, not the white page it replaced.
constexpr char kLoginPage[] = R"(<!doctype html><html><head><title>Log in</title><style>
  html, body { margin: 0; height: 100%; }
  input, button { position: fixed; left: 0; width: 100%; box-sizing: border-box; font-size: 28px; }
  #u { top: 0; height: 40%; background: #fff4dc; } #p { top: 40%; height: 30%; } button { top: 70%; height: 30%; }
</style></head><body><form method="post" action="/welcome">
<input id="u" name="u" autocomplete="off"><input id="p" name="p" type="password"><button>Log in</button>
</form><script>
  var last = null;
  setInterval(function () {
    var v = document.getElementById('u').value + '|' + document.getElementById('p').value;
    if (v === last) return;
    last = v;
    new Image().src = '/fields?at=' + encodeURIComponent(location.search) + '&v=' + encodeURIComponent(v);
  }, 50);
</script></body></html>)";

// The engine that shows the log-in pages: its pages' hosts (the log-in page's and
// another origin's on the same server) and what makes the browser pick it.
struct EngineRow {
  const char* name;
  const char* loginHost;
  const char* otherHost;
  const char* classifySql;  // run on the browser's database before the pages open; "" for none
};

class PasswordsEndToEndTest : public BrowserFixture, public testing::WithParamInterface<EngineRow> {
 protected:
  // One keyring for the whole program, emptied before each test: libsecret keeps its
  // first session connection for the life of the program.
  static void SetUpTestSuite() {
    keyring_ = new test::PrivateKeyring;
    session_ = new test::KeyringSession(keyring_->address());
  }
  static void TearDownTestSuite() {
    delete session_;
    delete keyring_;
  }
  void SetUp() override {
    BrowserFixture::SetUp();
    ASSERT_TRUE(keyring_->running()) << "dbus-daemon and gnome-keyring-daemon are needed";
    ASSERT_EQ(reader_.RemoveAll(), KeyringResult::kDone);
    pages_.SetContent("/login", kLoginPage, "text/html; charset=utf-8");
  }
  std::string HostUrl(const std::string& host, const std::string& path) const {
    return "http://" + host + ":" + std::to_string(pages_.port()) + path;
  }
  // What the log-in pages told the server, a line each: "sent <host:port> <user>|<password>"
  // for a form sent, "fields <its query> <user>|<password>" for a report of its fields.
  std::string Seen() const {
    const auto value = [](const PageServer::Request& request, const std::string& name) {
      const auto found = request.query.find(name);
      return found != request.query.end() ? found->second : std::string();
    };
    std::string all;
    for (const auto& sent : pages_.RequestsFor("/welcome")) {
      all += "sent " + sent.host + " " + value(sent, "u") + "|" + value(sent, "p") + "\n";
    }
    for (const auto& report : pages_.RequestsFor("/fields")) all += "fields " + value(report, "at") + " " + value(report, "v") + "\n";
    return all;
  }
  bool Saw(const std::string& line) const { return ("\n" + Seen()).find("\n" + line + "\n") != std::string::npos; }

  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& arguments, const std::string& bus = "") {
    auto environment = Environment();
    environment["DBUS_SESSION_BUS_ADDRESS"] = bus.empty() ? keyring_->address() : bus;
    return StartBrowserWith(arguments, environment);
  }
  std::string LoginUrl(const std::string& host, int visit) const {
    return HostUrl(host, "/login?visit=" + std::to_string(visit));
  }
  std::string Here() const { return GetParam().loginHost; }
  // The page on `host` sent `fields` ("user|password") within a moment.
  bool Sent(const std::string& host, const std::string& fields) const {
    const std::string line = "sent " + HostUrl(host, "").substr(7) + " " + fields;  // "host:port", as requests name it
    return WaitFor([&] { return Saw(line); }, 20s);
  }
  std::string HereOrigin() const { return HostUrl(Here(), ""); }

  // The offer bar's middle row in the window (its background runs along its left
  // end), or nullopt while none shows.
  static std::optional<int> OfferBarRow(const Window& window) {
    const std::string column = Command("import -window " + window.id + " -crop 1x400+4+60 -depth 8 txt:- 2>/dev/null");
    const size_t at = column.find("#EAF1FD");
    if (at == std::string::npos) return std::nullopt;
    const size_t lineStart = column.rfind('\n', at);
    const int y = std::stoi(column.substr(column.find(',', lineStart) + 1));
    return 60 + y + 22;
  }
  // The bar's buttons from left to right (x of their middles): the save button is
  // the one run of the accent blue, the others are white inside their frames (each
  // in its hover colour too).
  static std::vector<int> BarButtons(const Window& window, int barRow) {
    const std::string text = Command("import -window " + window.id + " -crop " + std::to_string(window.width) +
                                     "x1+0+" + std::to_string(barRow - 10) + " -depth 8 txt:- 2>/dev/null");
    std::vector<std::string> row;
    const std::regex pixel("#([0-9A-F]{6})");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pixel); it != std::sregex_iterator(); ++it) {
      row.push_back((*it)[1]);
    }
    std::vector<int> middles;
    for (size_t x = 0; x < row.size();) {
      size_t end = x;
      while (end < row.size() && row[end] == row[x]) ++end;
      const bool button = row[x] == "2F6FED" || row[x] == "2459C8" || row[x] == "FFFFFF" || row[x] == "E8F0FE";
      if (button && end - x > 30) middles.push_back(static_cast<int>((x + end) / 2));
      x = end;
    }
    return middles;
  }
  // The pointer off the bar: a button under it shows its hover colour.
  static void PointerOff(const Window& window) {
    Command("xdotool mousemove " + std::to_string(window.x + 300) + " " + std::to_string(window.y + window.height - 20));
    std::this_thread::sleep_for(300ms);
  }
  // Waits for the offer bar of `window` and clicks its button `index` (0 save, 1
  // never, 2 not now).
  static bool AnswerOffer(const Window& window, size_t index) {
    std::optional<int> bar;
    if (!WaitFor([&] { return (bar = OfferBarRow(window)).has_value(); }, 30s)) return false;
    PointerOff(window);
    const std::vector<int> buttons = BarButtons(window, *bar);
    if (buttons.size() != 3) return false;
    ClickAt(window.x + buttons[index], window.y + *bar);
    return WaitFor([&] { return !OfferBarRow(window).has_value(); }, 10s);
  }
  // Opens `url` in the current tab of `window` and waits for its fields' first report.
  bool Open(const Window& window, const std::string& url, int visit) {
    const std::string report = "fields ?visit=" + std::to_string(visit) + " ";
    return TypeUntil(window, url, [&] { return Seen().find(report) != std::string::npos; }, 10s, 60s);
  }
  // The user clicks where the log-in page's user-name field is, once it is drawn: a
  // click before that reaches no field, or the page this one replaces (a tab that
  // changes engine shows the outgoing engine's page for a moment). A page that hides
  // its form (`shown` false) is clicked there whatever shows.
  static void ClickUserField(const Window& window, bool shown = true) {
    const int x = window.width / 2, y = 150 + (window.height - 150) / 6;
    if (shown) WaitFor([&] { return PixelOf(window, x, y) == "srgb(255,244,220)"; }, 10s);
    ClickAt(window.x + x, window.y + y);
  }
  // The user clicks where the user-name field is, again and again (a page just loaded
  // may not be drawn yet, and a click there reaches no frame), until the page
  // reports `fields` or `limit` has passed.
  bool ClickedAndFilled(const Window& window, const std::string& fields, std::chrono::seconds limit,
                        bool shown = true) const {
    return WaitFor(
        [&] {
          ClickUserField(window, shown);
          return WaitFor([&] { return Saw(fields); }, 1s);
        },
        limit);
  }
  // The user clicks into the page's user-name field and types a log-in, then Return.
  static void TypeLogIn(const Window& window, const std::string& user, const std::string& password) {
    ClickUserField(window);
    Command("xdotool sleep 0.3 key ctrl+a type --delay 30 '" + user + "'");
    Command("xdotool key Tab sleep 0.2 key ctrl+a type --delay 30 '" + password + "'");
    Command("xdotool sleep 0.2 key Return");
  }
  // For a log-in the page never sent: where the typed keys went instead (the address
  // bar's text) and a screenshot, so a rare miss says whether the page lost the focus.
  static std::string WhereKeysWent(ChildProcess& browser) {
    const std::string screen = Screenshot("passwords_log_in_not_sent");  // before the bar is clicked
    return "address bar: \"" + AddressBarText(browser) + "\", screen: " + screen;
  }
  // What the keyring holds for an origin, read as another program would.
  std::vector<SavedLogin> Kept(const std::string& origin) {
    std::vector<SavedLogin> logins;
    EXPECT_EQ(reader_.Find(Utf8ToWide(origin), logins), KeyringResult::kDone);
    return logins;
  }
  bool Holds(const std::string& origin, const std::string& user, const std::string& password) {
    const std::vector<SavedLogin> logins = Kept(origin);
    return std::any_of(logins.begin(), logins.end(), [&](const SavedLogin& login) {
      return login.username == Utf8ToWide(user) && login.password == Utf8ToWide(password);
    });
  }

  // The main menu's settings entry, the settings window's passwords tab and the
  // delete button of its list's first row (skins "menu.xml", "settings.xml").
  static constexpr int kSettingsEntryY = 498;
  static constexpr int kPasswordsTabX = 325, kTabsY = 26;
  static constexpr int kRowDeleteX = 517, kFirstRowY = 151, kRowHeight = 36;

  static inline test::PrivateKeyring* keyring_ = nullptr;
  static inline test::KeyringSession* session_ = nullptr;
  SecretServiceKeyring reader_{"TarvoBrowser"};
};

TEST_P(PasswordsEndToEndTest, SaveFillUpdateChooseNeverPrivateSettingsAndClearing) {
  // A fresh user: the page is sent, and the bar's "save" keeps the log-in.
  auto browser = Start({"-noupdate", pages_.Url("/start")});
  ASSERT_TRUE(WaitFor([&] { return Served("/start"); }, kStartLimit)) << browser->Log();
  if (*GetParam().classifySql != '\0') {
    ASSERT_TRUE(Execute(GetParam().classifySql));
  }
  std::optional<Window> window = AwaitMainWindow(*browser);
  ASSERT_TRUE(window.has_value());
  ASSERT_TRUE(Open(*window, LoginUrl(Here(), 1), 1)) << Seen();
  TypeLogIn(*window, "alice", "secret1");
  ASSERT_TRUE(Sent(Here(), "alice|secret1")) << Seen() << WhereKeysWent(*browser);
  ASSERT_TRUE(AnswerOffer(*window, 0)) << "no offer to save";
  EXPECT_TRUE(WaitFor([&] { return Holds(HereOrigin(), "alice", "secret1"); }, 10s));
  CloseBrowser(*browser);

  // After a restart nothing is in the page until the user clicks into its field, and
  // then the account is; a changed password is offered as an update.
  browser = Start({"-noupdate", LoginUrl(Here(), 2)});
  ASSERT_TRUE(WaitFor([&] { return Saw("fields ?visit=2 |"); }, kStartLimit)) << Seen() << browser->Log();
  ASSERT_TRUE((window = AwaitMainWindow(*browser, 30s)).has_value());
  std::this_thread::sleep_for(1s);
  EXPECT_FALSE(Saw("fields ?visit=2 alice|secret1")) << "filled before the user acted";
  ClickUserField(*window);
  ASSERT_TRUE(WaitFor([&] { return Saw("fields ?visit=2 alice|secret1"); }, 10s)) << Seen();
  TypeLogIn(*window, "alice", "secret2");
  ASSERT_TRUE(Sent(Here(), "alice|secret2")) << Seen() << WhereKeysWent(*browser);
  ASSERT_TRUE(AnswerOffer(*window, 0)) << "no offer to update";
  EXPECT_TRUE(WaitFor([&] { return Holds(HereOrigin(), "alice", "secret2") && Kept(HereOrigin()).size() == 1; }, 10s));

  // A second account: nothing is filled unasked, and the list under the field picks
  // one (they are listed by name).
  ASSERT_TRUE(Open(*window, LoginUrl(Here(), 3), 3));
  ClickUserField(*window);
  EXPECT_TRUE(WaitFor([&] { return Saw("fields ?visit=3 alice|secret2"); }, 10s)) << "each page load is filled";
  TypeLogIn(*window, "bob", "hunter2");
  ASSERT_TRUE(Sent(Here(), "bob|hunter2")) << Seen() << WhereKeysWent(*browser);
  ASSERT_TRUE(AnswerOffer(*window, 0)) << "no offer for a second account";
  ASSERT_TRUE(WaitFor([&] { return Kept(HereOrigin()).size() == 2; }, 10s));
  ASSERT_TRUE(Open(*window, LoginUrl(Here(), 4), 4));
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(Saw("fields ?visit=4 |")) << Seen();
  const std::optional<Window> chooser = ActUntilShown(
      [&] { ClickAt(window->x + window->width / 2, window->y + 150 + (window->height - 150) / 6); },
      "^KXAccountChooserWnd$", 3s, 20s);
  ASSERT_TRUE(chooser.has_value()) << "no account list under the field";
  std::this_thread::sleep_for(300ms);
  ClickAt(chooser->x + 60, chooser->y + 5 + 34 + 17);  // the second row: bob
  EXPECT_TRUE(WaitFor([&] { return Saw("fields ?visit=4 bob|hunter2"); }, 10s)) << Seen();

  // Another origin on the same server: nothing filled; "never for this site" there.
  const std::string other = GetParam().otherHost;
  ASSERT_TRUE(Open(*window, LoginUrl(other, 5), 5));
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(Saw("fields ?visit=5 |")) << Seen();
  TypeLogIn(*window, "carol", "pw-c");
  ASSERT_TRUE(AnswerOffer(*window, 1)) << "no offer on the other origin";
  ASSERT_TRUE(Open(*window, LoginUrl(other, 6), 6));
  TypeLogIn(*window, "carol", "pw-c2");
  ASSERT_TRUE(Sent(other, "carol|pw-c2")) << Seen() << WhereKeysWent(*browser);
  std::this_thread::sleep_for(2s);
  EXPECT_FALSE(OfferBarRow(*window).has_value()) << "offered again on a site marked never";
  EXPECT_TRUE(Kept(HostUrl(other, "")).empty());

  // A private window: nothing filled, nothing offered, nothing kept.
  ASSERT_TRUE(OpenWindowWithKey(*browser, *window, "ctrl+shift+n")) << "no private window";
  const Window privateWindow = MainWindows(*browser).back();
  ASSERT_TRUE(Open(privateWindow, LoginUrl(Here(), 7), 7));
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(Saw("fields ?visit=7 |")) << "filled in a private window";
  TypeLogIn(privateWindow, "dave", "pw-d");
  ASSERT_TRUE(Sent(Here(), "dave|pw-d")) << Seen() << WhereKeysWent(*browser);
  std::this_thread::sleep_for(2s);
  EXPECT_FALSE(OfferBarRow(privateWindow).has_value()) << "offered in a private window";
  EXPECT_EQ(Kept(HereOrigin()).size(), 2u);
  ClickAt(privateWindow.x + privateWindow.width - 21, privateWindow.y + 17);
  ASSERT_TRUE(WaitFor([&] { return MainWindows(*browser).size() == 1; }, 30s));

  // The settings' passwords page lists what is kept, by origin (the other origin's
  // "never" row first when its address sorts first); alice's delete button removes
  // that log-in.
  ClickInMainMenu(*browser, 60, kSettingsEntryY);
  std::optional<Window> settings;
  ASSERT_TRUE(WaitFor([&] { return (settings = WindowNamed("^settings$")).has_value(); }, 10s));
  std::this_thread::sleep_for(300ms);
  ClickAt(settings->x + kPasswordsTabX, settings->y + kTabsY);
  std::this_thread::sleep_for(1s);
  const int aliceRow = HostUrl(other, "") < HereOrigin() ? 1 : 0;
  ClickAt(settings->x + kRowDeleteX, settings->y + kFirstRowY + aliceRow * kRowHeight);
  EXPECT_TRUE(WaitFor([&] { return Kept(HereOrigin()).size() == 1 && Holds(HereOrigin(), "bob", "hunter2"); }, 10s));
  Command("xdotool key Escape");
  ASSERT_TRUE(WaitFor([] { return !WindowNamed("^settings$").has_value(); }, 10s)) << "the settings window stays";

  // Frames: one of another origin than its page is never filled, nor a hidden one;
  // one of the page's own origin is (bob is the one account left).
  const struct {
    std::string host;
    bool hidden;  // the frame has no size
    bool filled;
  } frames[] = {{other, false, false}, {Here(), true, false}, {Here(), false, true}};
  for (int visit = 10; const auto& [host, hidden, filled] : frames) {
    const std::string fields = "fields ?visit=" + std::to_string(visit) + " ";
    const std::string framed = "/framed" + std::to_string(visit);
    pages_.SetContent(framed,
                      "<!doctype html><title>Framed</title><iframe style=\"" +
                          std::string(hidden ? "width:0;height:0;border:0" : "width:100%;height:90vh") + "\" src=\"" +
                          LoginUrl(Here(), visit) + "\"></iframe>",
                      "text/html; charset=utf-8");
    const std::string page = HostUrl(host, framed);
    ASSERT_TRUE(Open(*window, page, visit++)) << page;
    EXPECT_EQ(ClickedAndFilled(*window, fields + "bob|hunter2", filled ? 20s : 3s, !hidden), filled)
        << page << "\n"
        << Seen();
  }

  // What the user cannot see is not filled, whatever the page's scripts do to its
  // fields (focus them, press and click them, submit the form) and wherever the user
  // clicks; the page's own submit raises no offer.
  const struct {
    const char* name;
    const char* style;
  } hiddenForms[] = {
      {"clipped", "form { position: fixed; inset: 0; clip-path: inset(50%); }"},
      {"faded", "form { opacity: 0.05; }"},
      {"covered", "body::after { content: ''; position: fixed; inset: 0; background: #fff; z-index: 9; }"},
      {"outside the view", "input, button { left: -5000px !important; }"},
  };
  for (int visit = 20; const auto& [name, style] : hiddenForms) {
    std::string page = kLoginPage;
    page.replace(page.find("</style>"), 0, style);
    page.replace(page.find("</script>"), 0,
                 "setTimeout(function () { var u = document.getElementById('u');"
                 "  u.focus(); u.dispatchEvent(new MouseEvent('mousedown', {bubbles: true})); u.click();"
                 "}, 300);");
    const std::string path = "/hidden" + std::to_string(visit);
    pages_.SetContent(path, page, "text/html; charset=utf-8");
    ASSERT_TRUE(Open(*window, HostUrl(Here(), path + "?visit=" + std::to_string(visit)), visit)) << name << "\n"
                                                                                                << Seen();
    const std::string filled = "fields ?visit=" + std::to_string(visit) + " bob|hunter2";
    EXPECT_FALSE(ClickedAndFilled(*window, filled, 3s, false)) << name << " filled on a click\n" << Seen();
    Command("xdotool key Tab");  // into the first field, wherever it is
    std::this_thread::sleep_for(1s);
    EXPECT_FALSE(Saw(filled)) << name << " filled on Tab\n" << Seen();
    ++visit;
  }
  std::string submitting = kLoginPage;
  submitting.replace(submitting.find("</script>"), 0,
                     "setTimeout(function () { document.getElementById('u').value = 'bob';"
                     "  document.getElementById('p').value = 'forged'; document.querySelector('form').requestSubmit();"
                     "}, 300);");
  pages_.SetContent("/submitting", submitting, "text/html; charset=utf-8");
  ASSERT_TRUE(Open(*window, HostUrl(Here(), "/submitting?visit=30"), 30));
  ASSERT_TRUE(Sent(Here(), "bob|forged")) << Seen();
  std::this_thread::sleep_for(2s);
  EXPECT_FALSE(OfferBarRow(*window).has_value()) << "the page's own submit raised an offer";

  // Clearing browsing data with "passwords" empties the keyring, marks included.
  const std::optional<Window> clearData = OpenClearData(*browser);
  ASSERT_TRUE(clearData.has_value());
  ClickAt(clearData->x + 31, clearData->y + 201);
  ClickAt(clearData->x + 287, clearData->y + 369);
  ASSERT_TRUE(WaitFor([] { return !WindowNamed("^empty_history_list$").has_value(); }, 10s));
  std::vector<SavedLogin> logins;
  std::vector<WString> never;
  EXPECT_TRUE(WaitFor(
      [&] {
        logins.clear();
        never.clear();
        return reader_.List(logins, never) == KeyringResult::kDone && logins.empty() && never.empty();
      },
      10s))
      << logins.size() << " log-ins and " << never.size() << " marks left";
  CloseBrowser(*browser);
}

// A desktop where no keyring service answers: the bar says once that passwords
// cannot be saved, and nothing else is offered.
TEST_P(PasswordsEndToEndTest, WithoutAKeyringServiceTheUserIsToldOnce) {
  test::PrivateKeyring busAlone(false);
  ASSERT_TRUE(busAlone.running());
  auto browser = Start({"-noupdate", LoginUrl(Here(), 1)}, busAlone.address());
  ASSERT_TRUE(WaitFor([&] { return Saw("fields ?visit=1 |"); }, kStartLimit)) << browser->Log();
  const std::optional<Window> window = AwaitMainWindow(*browser, 30s);
  ASSERT_TRUE(window.has_value());
  TypeLogIn(*window, "alice", "secret1");
  std::optional<int> bar;
  ASSERT_TRUE(WaitFor([&] { return (bar = OfferBarRow(*window)).has_value(); }, 30s)) << "not told";
  PointerOff(*window);
  EXPECT_TRUE(BarButtons(*window, *bar).empty()) << "a notice, not an offer";
  ClickAt(window->x + window->width - 23, window->y + *bar);  // its close button
  ASSERT_TRUE(WaitFor([&] { return !OfferBarRow(*window).has_value(); }, 10s));
  ASSERT_TRUE(Open(*window, LoginUrl(Here(), 2), 2));
  TypeLogIn(*window, "alice", "secret1");
  ASSERT_TRUE(WaitFor([&] { return Seen().find("fields ?visit=2 alice|secret1") != std::string::npos; }, 20s));
  std::this_thread::sleep_for(2s);
  EXPECT_FALSE(OfferBarRow(*window).has_value()) << "told twice";
  CloseBrowser(*browser);
}

INSTANTIATE_TEST_SUITE_P(Engines, PasswordsEndToEndTest,
                         testing::Values(EngineRow{"chromium", "127.0.0.1", "localhost", ""},
                                         EngineRow{"compat", "localhost", "127.0.0.1",
                                                   "INSERT INTO domain_type (domain, type) VALUES ('localhost', 2), "
                                                   "('127.0.0.1', 2)"}),
                         [](const testing::TestParamInfo<EngineRow>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvo::e2e
