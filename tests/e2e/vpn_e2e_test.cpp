// The account and the VPN as a user meets them, with the real browser and
// tarvo-service (demo seed, node proxies running): log in through the login window,
// choose Japan / Tokyo in the protection panel, and prove with the service's proxy
// counters that Chromium goes through node 3 from the first request on while a
// compatibility tab never does, and that switched off the next request goes direct.
// Users without node choice are connected without the panel, users without VPN
// rights are told so; a login survives a restart, but not twelve hours. And nothing
// leaves around the node while the VPN is on: no WebRTC (a UDP listener stands in
// for a STUN server), no icon fetched by the browser itself, no name looked up here.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <thread>

#include <httplib.h>

#include "e2e/browser_fixture.h"

namespace tarvo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kStepLimit = 30s;

// The toolkit window titled with `className` as shown now; the one shown within a step.
std::optional<Window> WindowOf(const std::string& className) { return LargestWindow("--name '^" + className + "$'"); }
std::optional<Window> Await(const std::string& className) {
  std::optional<Window> shown;
  WaitFor([&] { return (shown = WindowOf(className)).has_value(); }, kStepLimit);
  return shown;
}
bool Gone(const std::string& className) { return WaitFor([&] { return !WindowOf(className).has_value(); }, kStepLimit); }

// A UDP socket on loopback standing in for a STUN server: it prints its port, then a
// line for each datagram, naming the STUN binding requests (message type 0x0001).
constexpr char kStunListener[] = R"(import socket
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0))
print("port", s.getsockname()[1])
while True:
    d = s.recv(2048)
    print("datagram", "binding" if len(d) >= 20 and d[:2] == b"\x00\x01" else "other")
)";

class VpnEndToEndTest : public BrowserFixture {
 protected:
  // The service runs its node proxies, which may reach the page server.
  VpnEndToEndTest() {
    serviceArguments_ = {"--proxy-ports", "auto", "--password-iterations", "1000", "--proxy-allow",
                         "127.0.0.1:" + std::to_string(pages_.port())};
  }
  void SetUp() override {
    BrowserFixture::SetUp();
    ASSERT_TRUE(WaitFor([&] { return service_->Log().find("node 3 proxy on port") != std::string::npos; }, 20s))
        << service_->Log();
  }

  // `extra` adds to the browser's environment.
  void Start(const std::map<std::string, std::string>& extra = {}) {
    std::map<std::string, std::string> environment = Environment();
    for (const auto& [name, value] : extra) environment[name] = value;
    browser_ = StartBrowserWith({"-noupdate"}, environment);
    const std::optional<Window> main = AwaitMainWindow(*browser_);
    ASSERT_TRUE(main.has_value()) << browser_->Log();
    main_ = *main;
  }
  using BrowserFixture::Logged;
  int Logged(const std::string& line) const { return Logged(*browser_, line); }
  // Waits for one more `line` in the browser's diagnostics than `before`.
  bool WaitForLog(const std::string& line, int before = 0) const {
    return WaitFor([&] { return Logged(line) > before; }, kStepLimit);
  }

  // The toolbar's controls, from the right edge of the main window.
  void ClickShield() { ASSERT_TRUE(ClickIn(main_, main_.width - 93, 66)); }
  void Go(const std::string& url) { ASSERT_TRUE(TypeIntoAddressBar(main_, url)); }
  // Proxy counters of one node: plain requests and refused challenges.
  std::pair<int, int> ProxyCounts(int node) const {
    httplib::SSLClient client("127.0.0.1", std::stoi(apiUrl_.substr(apiUrl_.rfind(':') + 1)));
    client.set_ca_cert_path(trust_.caFile().c_str());
    const auto answer = client.Get("/status/proxies");
    std::smatch match;
    const std::string text = answer ? answer->body : std::string();
    const std::regex counts("\\{\"auth_refused\":([0-9]+),[^}]*\"node_id\":" + std::to_string(node) +
                            ",\"port\":[0-9]+,\"requests\":([0-9]+)");
    if (!std::regex_search(text, match, counts)) return {-1, -1};
    return {std::stoi(match[2]), std::stoi(match[1])};
  }
  // The counters once a page's late requests (its icon) are in: unchanged for a second.
  std::pair<int, int> SettledProxyCounts(int node) const {
    std::pair<int, int> counts = ProxyCounts(node);
    for (auto last = counts;; last = counts) {
      std::this_thread::sleep_for(1s);
      counts = ProxyCounts(node);
      if (counts == last) return counts;
    }
  }
  std::unique_ptr<ChildProcess> browser_;
  Window main_;
};

TEST_F(VpnEndToEndTest, TokyoCarriesChromiumOnlyUntilSwitchedOffAndTheLoginLastsTwelveHours) {
  Start();
  LogIn(*browser_, "demo@tarvo.test", "demo1234");

  // The shield asks for the node: the panel with the region group.
  ClickShield();
  std::optional<Window> panel = Await("KXProtectWnd");
  ASSERT_TRUE(panel.has_value()) << browser_->Log();
  EXPECT_EQ(panel->height, 470);  // the region group is there
  ASSERT_TRUE(ClickIn(*panel, 170, 233));  // country
  std::optional<Window> list = Await("KXVNodeListWnd");
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->height, 2 * 40 + 2);  // United States, Japan
  ASSERT_TRUE(ClickIn(*list, 160, 60));   // Japan; its areas open by themselves
  ASSERT_TRUE(WaitFor([&] { return (list = WindowOf("KXVNodeListWnd")).has_value() && list->height == 42; }, kStepLimit));
  ASSERT_TRUE(ClickIn(*list, 160, 20));  // Tokyo
  ASSERT_TRUE(ClickIn(*panel, 280, 438));  // connect
  ASSERT_TRUE(WaitForLog("vpn: connected to node 3")) << browser_->Log();
  ASSERT_TRUE(Gone("KXProtectWnd")) << "the panel stays";

  // Chromium, from its first request on, through node 3 and nowhere else.
  Go("http://www.tarvo.test/");
  ASSERT_TRUE(WaitFor([&] { return ProxyCounts(3).first >= 1; }, kStepLimit)) << browser_->Log();
  EXPECT_EQ(ProxyCounts(1).first, 0);
  EXPECT_EQ(ProxyCounts(2).first, 0);

  // A compatibility tab goes its own way (the system's settings), never the node's.
  ASSERT_TRUE(Execute("insert into domain_type (domain, type) values ('compat.tarvo.test', 2)"));
  const auto beforeCompat = SettledProxyCounts(3);
  Go("http://compat.tarvo.test/");
  ASSERT_TRUE(WaitFor([&] { return InHistory("http://compat.tarvo.test/"); }, kStepLimit)) << browser_->Log();
  std::this_thread::sleep_for(3s);  // time for a request that should not come
  EXPECT_EQ(ProxyCounts(3), beforeCompat);
  // The panel names it as a tab the VPN does not carry.
  ASSERT_TRUE(ClickIn(main_, main_.width - 93, 66, 3));
  ASSERT_TRUE((panel = Await("KXProtectWnd")).has_value()) << browser_->Log();
  EXPECT_GT(panel->height, 470);
  Command("xdotool key Escape");
  ASSERT_TRUE(Gone("KXProtectWnd"));
  ASSERT_TRUE(ClickIn(main_, 150, 25));  // back to the Chromium tab, the first

  // Switched off: the next Chromium request goes direct.
  ClickShield();
  ASSERT_TRUE(WaitForLog("vpn: connection closed")) << browser_->Log();
  const auto beforeDirect = SettledProxyCounts(3);
  Go("http://news.tarvo.test/");
  ASSERT_TRUE(WaitFor([&] { return InHistory("http://news.tarvo.test/"); }, kStepLimit)) << browser_->Log();
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(ProxyCounts(3), beforeDirect);
  CloseBrowser(*browser_);

  // A restart keeps the login ...
  Start();
  EXPECT_TRUE(WaitForLog("account: the stored login holds")) << browser_->Log();
  CloseBrowser(*browser_);
  // ... until twelve hours and a second have passed.
  ASSERT_TRUE(Execute("update info set value=cast(strftime('%s','now') - 43201 as text) where key='vpnlogintime'"));
  Start();
  EXPECT_TRUE(WaitForLog("account: no valid stored login")) << browser_->Log();
  EXPECT_EQ(Logged("account: the stored login holds"), 0);
  CloseBrowser(*browser_);
  // The password went into no file of the profile.
  for (const char* folder : {"data", "config"}) {
    for (const fs::directory_entry& file : fs::recursive_directory_iterator(dir_.path() / folder)) {
      EXPECT_EQ(ReadFile(file.path()).find("demo1234"), std::string::npos) << file.path();
    }
  }
}

TEST_F(VpnEndToEndTest, WithoutNodeChoiceTheShieldConnectsAtOnceAndWithoutRightsItSaysSo) {
  Start();
  LogIn(*browser_, "basic@tarvo.test", "basic1234");
  ClickShield();
  ASSERT_TRUE(WaitForLog("vpn: connected to node 1")) << browser_->Log();
  EXPECT_FALSE(WindowOf("KXProtectWnd").has_value());
  // Logging out switches the VPN off first.
  ClickInMainMenu(*browser_, 170);  // log out
  ASSERT_TRUE(Gone("KXMenuWnd"));
  ASSERT_TRUE(WaitForLog("vpn: connection closed")) << browser_->Log();
  EXPECT_EQ(Logged("vpn: connection closed"), 1);

  LogIn(*browser_, "novpn@tarvo.test", "novpn1234");
  ClickShield();
  ASSERT_TRUE(WaitForLog("vpn: the service refused the VPN")) << browser_->Log();
  ASSERT_TRUE(Await("Message").has_value());
  EXPECT_TRUE(AnswerMessageBox());
  CloseBrowser(*browser_);
}

// The leak test's page: peer connections asking the listener as their STUN server
// (one of its own, one from a frame inserted through another frame's DOM method), an
// icon on the page's own server, and host names only the node may look up.
std::string LeakPage(const std::string& phase, const std::string& stunPort) {
  return "<!doctype html><html><head><title>leak " + phase + "</title><link rel=\"icon\" href=\"/" + phase +
         "/leak.ico\"><link rel=\"dns-prefetch\" href=\"//prefetch-" + phase +
         ".tarvo.test\"><link rel=\"preconnect\" href=\"http://preconnect-" + phase +
         ".tarvo.test\"></head><body><a href=\"http://anchor-" + phase +
         ".tarvo.test/\">anchor</a><script>const servers = {iceServers: [{urls: 'stun:127.0.0.1:" + stunPort +
         "'}]}; const ask = pc => { pc.createDataChannel('leak'); pc.createOffer().then(o => pc.setLocalDescription(o)); };"
         "ask(new RTCPeerConnection(servers)); document.body.appendChild(document.createElement('iframe'));"
         "window[0].Node.prototype.appendChild.call(document.body, document.createElement('iframe'));"
         "ask(new window[1].RTCPeerConnection(servers));</script></body></html>";
}

TEST_F(VpnEndToEndTest, WhileTheVpnIsOnNothingLeavesAroundTheNode) {
  ChildProcess stun("/usr/bin/python3", {"-uc", kStunListener}, {}, (dir_.path() / "stun.log").string());
  std::optional<std::string> stunPort;
  ASSERT_TRUE(WaitFor([&] { return (stunPort = stun.LogMatch("port ([0-9]+)")).has_value(); }, 10s)) << stun.Log();
  const std::string icon = ReadFile(fs::path(std::getenv("TARVO_SOURCE_DIR")) / "service/seed/icons/authority.png");
  ASSERT_FALSE(icon.empty());
  for (const std::string phase : {"off", "on"}) {
    pages_.SetContent("/leak-" + phase + ".html", LeakPage(phase, *stunPort), "text/html; charset=utf-8");
    pages_.SetContent("/" + phase + "/leak.ico", icon, "image/png");
  }
  // The engine logs every name it looks up here, with its host.
  const fs::path netLog = dir_.path() / "net.json";
  const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
  Start({{"QTWEBENGINE_CHROMIUM_FLAGS", std::string(flags != nullptr ? flags : "") +
                                                   " --log-net-log=" + netLog.string()}});

  // Off: WebRTC asks the STUN server directly, the icon comes from the page's server.
  Go(pages_.Url("/leak-off.html"));
  ASSERT_TRUE(WaitFor([&] { return Logged(stun, "binding") > 0; }, kStepLimit)) << "no binding request with the VPN off";
  ASSERT_TRUE(WaitFor([&] { return !pages_.RequestsFor("/off/leak.ico").empty(); }, kStepLimit)) << browser_->Log();
  EXPECT_EQ(ProxyCounts(1).first, 0);

  // Icons the page's server was asked for: the declared ones and the default one.
  const auto iconRequests = [this] {
    size_t count = 0;
    for (const char* path : {"/favicon.ico", "/off/leak.ico", "/on/leak.ico"}) count += pages_.RequestsFor(path).size();
    return static_cast<int>(count);
  };

  // On (nobody logged in: node 1): the open page is reloaded, and the user told so.
  const int iconsBefore = iconRequests();
  ClickShield();
  ASSERT_TRUE(WaitForLog("vpn: connected to node 1")) << browser_->Log();
  EXPECT_TRUE(WaitFor([&] { return pages_.RequestsFor("/leak-off.html").size() >= 2; }, kStepLimit))
      << "the open page was not reloaded";
  EXPECT_TRUE(Await("KXVpnNoticeWnd").has_value()) << "no notice";
  const int heard = Logged(stun, "datagram");

  // A page opened now: its WebRTC stays silent, its icon comes through the node.
  Go(pages_.Url("/leak-on.html"));
  ASSERT_TRUE(WaitFor([&] { return !pages_.RequestsFor("/on/leak.ico").empty(); }, kStepLimit)) << browser_->Log();
  std::this_thread::sleep_for(3s);  // time for a binding request that must not come
  EXPECT_EQ(Logged(stun, "datagram"), heard) << "WebRTC went around the node";
  // Every icon request the page's server saw since came through node 1's proxy, which
  // the proxy's credentials opened at once.
  EXPECT_EQ(ProxyCounts(1), std::make_pair(iconRequests() - iconsBefore, 0));
  CloseBrowser(*browser_);

  const std::string lookups = ReadFile(netLog);
  ASSERT_NE(lookups.find("\"events\""), std::string::npos) << "no net log";
  for (const char* name : {"prefetch-on", "preconnect-on", "anchor-on"}) {
    EXPECT_EQ(lookups.find(std::string("\"host\":\"") + name), std::string::npos) << name << " was looked up here";
  }
}

}  // namespace
}  // namespace tarvo::e2e
