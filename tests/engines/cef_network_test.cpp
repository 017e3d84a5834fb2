#include <QNetworkDatagram>
#include <QUdpSocket>

#include "engines/cef_fixture.h"
#include "engines/counting_proxy.h"
#include "engines/tls_listener.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/engine_context.h"
#include "engines/webengine/engine_udp_gate.h"
#include "engines/webengine/proxy_switcher.h"
#include "platform/text.h"
#include "protect/domain_list.h"
#include "protect/protected_sites.h"
#include "settings/settings_registry.h"
#include "store/test_database.h"

namespace tarvo::test {
namespace {

// The proxy preference against a counting loopback proxy. Chromium never proxies
// loopback addresses, so the pages load made-up host names that the proxy answers
// itself.
class CefProxyTest : public CefFixture {
 protected:
  void TearDown() override {
    SetProxy(u"", u"");
    cef::EngineUdpGate::SetClosed(false);
    CefFixture::TearDown();
  }

  bool SetProxy(const CefString& mode, const CefString& server) {
    auto dictionary = CefDictionaryValue::Create();
    dictionary->SetString(u"mode", mode);
    dictionary->SetString(u"server", server);
    auto value = CefValue::Create();
    value->SetDictionary(dictionary);
    CefString error;
    const bool ok = CefRequestContext::GetGlobalContext()->SetPreference("proxy", value, error);
    last_error_ = QString::fromStdU16String(error);
    return ok;
  }
  CefString ProxyServer() const { return QStringLiteral("127.0.0.1:%1").arg(proxy_.port()).toStdU16String(); }

  // Navigates and waits for the load to end (successfully or not).
  void Load(const CefRefPtr<CefBrowser>& browser, const QString& url) {
    const size_t mark = client_->loading.size();
    browser->GetMainFrame()->LoadURL(url.toStdU16String());
    ASSERT_TRUE(WaitForLoad(browser, mark)) << url.toStdString();
  }

  CountingProxy proxy_;
  QString last_error_;
};

TEST_F(CefProxyTest, EveryNavigationAfterTheSwitchGoesTheNewWay) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(CefRequestContext::GetGlobalContext()->CanSetPreference("proxy"));
  ProxySwitcher* switcher = EngineContext::Instance().proxy_switcher();

  // Several rounds: the very first request after each switch must already follow it.
  for (int round = 0; round < 3; ++round) {
    const QByteArray on_host = QStringLiteral("on%1.tarvo.test").arg(round).toLatin1();
    const QByteArray off_host = QStringLiteral("off%1.tarvo.test").arg(round).toLatin1();
    const int probes = switcher->probes_answered();
    ASSERT_TRUE(SetProxy(u"fixed_servers", ProxyServer())) << last_error_.toStdString();
    EXPECT_GT(switcher->probes_answered(), probes);
    Load(browser, "http://" + on_host + "/page");
    EXPECT_EQ(proxy_.CountFor(on_host), 1) << "round " << round;
    EXPECT_EQ(client_->titles.back(), u"via proxy " + QString::fromLatin1(on_host).toStdU16String());

    ASSERT_TRUE(SetProxy(u"", u"")) << last_error_.toStdString();
    Load(browser, "http://" + off_host + "/page");
    EXPECT_EQ(proxy_.CountFor(off_host), 0) << "round " << round;
  }
  // Late requests of a page (its icon) follow the setting of their own time too.
  QTest::qWait(300);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(proxy_.CountFor(QStringLiteral("off%1.tarvo.test").arg(round).toLatin1()), 0);
  }
}

TEST_F(CefProxyTest, SwitchingInsideBeforeBrowseAppliesToThatNavigation) {
  // The browser switches the proxy from its before-browse callback and lets the
  // navigation go on: that navigation must already use the new setting.
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  client_->cancel_navigation = [this](const CefString& url) {
    if (url.find(u"vpn.tarvo.test") != CefString::npos) {
      EXPECT_TRUE(SetProxy(u"fixed_servers", ProxyServer())) << last_error_.toStdString();
    }
    return false;
  };
  Load(browser, "http://vpn.tarvo.test/inside");
  ASSERT_TRUE(WaitFor([&] { return proxy_.CountFor("vpn.tarvo.test") > 0; }));
  ASSERT_TRUE(WaitFor([&] { return client_->titles.back() == u"via proxy vpn.tarvo.test"; }));
  // The client was asked once: the held navigation is not put to it again.
  const auto asked = std::count_if(client_->navigations.begin(), client_->navigations.end(),
                                   [](const auto& n) { return n.url.find(u"vpn.tarvo.test") != CefString::npos; });
  EXPECT_EQ(asked, 1);
}

TEST_F(CefProxyTest, MalformedPreferencesAreRefusedAndChangeNothing) {
  EXPECT_FALSE(SetProxy(u"fixed_servers", u"no-port-here"));
  EXPECT_FALSE(last_error_.isEmpty());
  EXPECT_FALSE(SetProxy(u"fixed_servers", u"127.0.0.1:99999"));
  EXPECT_FALSE(SetProxy(u"pac_script", u""));
  CefString error;
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->SetPreference("proxy", CefValue::Create(), error));
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->SetPreference("homepage", CefValue::Create(), error));
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->CanSetPreference("homepage"));
}

// A page that makes a peer connection the way `make` says and notes in window.result,
// once gathering has ended, how many candidates it had. `make` sets `pc`, or has a
// document of its own (a frame, a window) pass one to top.gather, or, where the
// page cannot reach top, report "gathered <n>" with postMessage itself (kGatherHere).
TestHttpServer::Response GatheringPage(const QString& prefix, const QString& make) {
  TestHttpServer::Response page;
  page.body = (QStringLiteral("<!doctype html><html><body>") + prefix +
               QStringLiteral("<script>var pc; function gather(p) {"
                              "  var found = 0;"
                              "  p.onicecandidate = e => e.candidate ? ++found : window.result = 'gathered ' + found;"
                              "  p.createDataChannel('d'); p.createOffer().then(o => p.setLocalDescription(o));"
                              "}"
                              "addEventListener('message', e => { window.result = String(e.data); });") +
               make + QStringLiteral("if (pc) gather(pc);</script></body></html>"))
                  .toUtf8();
  return page;
}

// Gathers in a document that cannot reach the top one (`%1`: the servers).
constexpr char kGatherHere[] =
    "var p = new RTCPeerConnection(%1), n = 0;"
    "p.onicecandidate = e => e.candidate ? ++n : top.postMessage('gathered ' + n, '*');"
    "p.createDataChannel('d'); p.createOffer().then(o => p.setLocalDescription(o));";

// Stands in for a STUN server on loopback and counts what reaches it.
struct StunServer {
  StunServer() {
    EXPECT_TRUE(socket.bind(QHostAddress(QHostAddress::LocalHost), 0));
    QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
      while (socket.hasPendingDatagrams()) {
        socket.receiveDatagram();
        ++datagrams;
      }
    });
  }
  // The configuration a page hands RTCPeerConnection to ask this server.
  QString Servers() const { return QStringLiteral("{iceServers: [{urls: 'stun:127.0.0.1:%1'}]}").arg(socket.localPort()); }

  QUdpSocket socket;
  int datagrams = 0;
};

TEST_F(CefProxyTest, WhileProxiedWebRtcAsksNoStunServerAndOffItDoesAgain) {
  StunServer stun;
  int& datagrams = stun.datagrams;
  const QString servers = stun.Servers();
  // Every way a page may come by a peer connection: the constructor, a changed
  // configuration, and the constructors of frames and windows just made.
  const std::pair<const char*, QString> ways[] = {
      {"plain", QStringLiteral("pc = new RTCPeerConnection(%1);").arg(servers)},
      {"reconfigured", QStringLiteral("pc = new RTCPeerConnection(); pc.setConfiguration(%1);").arg(servers)},
      {"prototype", QStringLiteral("pc = new RTCPeerConnection.prototype.constructor(%1);").arg(servers)},
      {"appended frame",
       QStringLiteral("document.body.appendChild(document.createElement('iframe'));"
                      "pc = new window[0].RTCPeerConnection(%1);").arg(servers)},
      {"markup frame",
       QStringLiteral("document.body.insertAdjacentHTML('beforeend', '<iframe></iframe>');"
                      "pc = new window[0].webkitRTCPeerConnection(%1);").arg(servers)},
      {"written frame",
       QStringLiteral("document.write('<iframe></iframe>'); pc = new window[0].RTCPeerConnection(%1);").arg(servers)},
      {"parsed frame", QStringLiteral("pc = new window[0].RTCPeerConnection(%1);").arg(servers)},
      {"frame element",
       QStringLiteral("var f = document.createElement('div'); f.innerHTML = '<iframe></iframe>';"
                      "document.body.append(f); pc = new f.firstChild.contentWindow.RTCPeerConnection(%1);").arg(servers)},
      // A frame's own DOM methods, called on this document, insert frames into it.
      {"borrowed appendChild",
       QStringLiteral("document.body.appendChild(document.createElement('iframe'));"
                      "window[0].Node.prototype.appendChild.call(document.body, document.createElement('iframe'));"
                      "pc = new window[1].RTCPeerConnection(%1);").arg(servers)},
      {"borrowed insertBefore",
       QStringLiteral("document.body.appendChild(document.createElement('iframe'));"
                      "window[0].Node.prototype.insertBefore.call(document.body, document.createElement('iframe'),"
                      "  document.body.firstChild); pc = new window[0].RTCPeerConnection(%1);").arg(servers)},
      {"borrowed innerHTML",
       QStringLiteral("document.body.appendChild(document.createElement('iframe')); var d = document.createElement('div');"
                      "document.body.append(d);"
                      "Object.getOwnPropertyDescriptor(window[0].Element.prototype, 'innerHTML').set.call(d, '<iframe></iframe>');"
                      "pc = new window[1].RTCPeerConnection(%1);").arg(servers)},
      {"borrowed into a frame",
       QStringLiteral("document.body.appendChild(document.createElement('iframe'));"
                      "document.body.appendChild.call(window[0].document.body, document.createElement('iframe'));"
                      "pc = new window[0][0].RTCPeerConnection(%1);").arg(servers)},
      {"nested frames",
       QStringLiteral("document.body.appendChild(document.createElement('iframe'));"
                      "window[0].document.body.innerHTML = '<iframe></iframe>';"
                      "window[0][0].document.body.appendChild(window[0][0].document.createElement('iframe'));"
                      "pc = new window[0][0][0].RTCPeerConnection(%1);").arg(servers)},
      {"written frame and script",
       QStringLiteral("document.write(`<iframe></iframe><script>pc = new window[0].RTCPeerConnection(%1);<\\/script>`);")
           .arg(servers)},
      // Page code that runs before the call inserting a frame returns.
      {"frame's load handler",
       QStringLiteral("var f = document.createElement('iframe');"
                      "f.onload = () => pc = pc || new window[0].RTCPeerConnection(%1); document.body.append(f);")
           .arg(servers)},
      {"insertion listener",
       QStringLiteral("document.addEventListener('DOMNodeInserted', () => pc = pc || new window[0].RTCPeerConnection(%1));"
                      "document.body.append(document.createElement('iframe'));").arg(servers)},
      {"custom element",
       QStringLiteral("customElements.define('x-leak', class extends HTMLElement {"
                      "  connectedCallback() { pc = pc || new window[0].RTCPeerConnection(%1); } });"
                      "document.body.insertAdjacentHTML('beforeend', '<iframe></iframe><x-leak></x-leak>');")
           .arg(servers)},
      {"reopened document",
       QStringLiteral("document.open(); document.write(`<body><script>"
                      "  var f = document.createElement('iframe');"
                      "  f.onload = () => gather(new window[0].RTCPeerConnection(%1)); document.body.append(f);"
                      "<\\/script>`); document.close();").arg(servers)},
      {"document.open window",
       QStringLiteral("pc = new (document.open('about:blank', '', '').RTCPeerConnection)(%1);").arg(servers)},
      {"blank window", QStringLiteral("pc = new (window.open('about:blank').RTCPeerConnection)(%1);").arg(servers)},
      {"blank window's frame",
       QStringLiteral("var w = window.open('about:blank');"
                      "document.body.appendChild.call(w.document.body, w.document.createElement('iframe'));"
                      "pc = new w[0].RTCPeerConnection(%1);").arg(servers)},
      {"javascript: window",
       QStringLiteral("window.open(`javascript:\"<script>opener.gather(new RTCPeerConnection(%1))<\\/script>\"`);")
           .arg(servers)},
      {"srcdoc frame",
       QStringLiteral("var f = document.createElement('iframe');"
                      "f.srcdoc = `<script>parent.gather(new RTCPeerConnection(%1))<\\/script>`;"
                      "document.body.append(f);").arg(servers)},
      {"sandboxed frame",
       QStringLiteral("var f = document.createElement('iframe'); f.sandbox = 'allow-scripts';"
                      "f.srcdoc = `<script>%1<\\/script>`; document.body.append(f);")
           .arg(QString::fromLatin1(kGatherHere).arg(servers))},
      {"worker",
       QStringLiteral("new Worker(URL.createObjectURL(new Blob(['postMessage(typeof RTCPeerConnection)'])))"
                      ".onmessage = e => window.result = e.data === 'undefined' ? 'gathered 0' : 'in a worker';")},
  };
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(SetProxy(u"fixed_servers", ProxyServer())) << last_error_.toStdString();
  int page = 0;
  for (const auto& [way, make] : ways) {
    const QByteArray path = "/gather" + QByteArray::number(++page) + ".html";
    const bool parsed = std::string_view(way) == "parsed frame";
    server_.Route(path, GatheringPage(parsed ? QStringLiteral("<iframe></iframe>") : QString(), make));
    Load(browser, server_.Url(QString::fromLatin1(path)));
    const int before = datagrams;
    WaitFor([&] { return datagrams > before || Evaluate(browser, "window.result || ''").startsWith("gathered"); });
    QTest::qWait(200);
    EXPECT_EQ(datagrams, before) << way << ": the STUN server was asked directly";
    EXPECT_EQ(Evaluate(browser, "window.result || ''").toStdString(), "gathered 0") << way << ": candidates of its own";
  }

  // Off again: pages made from now on ask the STUN server as before.
  ASSERT_TRUE(SetProxy(u"", u"")) << last_error_.toStdString();
  Load(browser, server_.Url(QStringLiteral("/gather1.html")));
  EXPECT_TRUE(WaitFor([&] { return datagrams > 0; }, 10000)) << "no binding request with the proxy off";
}

// The engine's datagram sockets are refused with no script's help: a page that
// reaches a peer connection past every script still asks no STUN server, while the
// rest of the process keeps its own datagram sockets.
TEST_F(CefProxyTest, WithTheUdpGateClosedNoPageCanAskAStunServer) {
  StunServer stun;
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  server_.Route("/gate.html", GatheringPage(QString(), QStringLiteral("pc = new RTCPeerConnection(%1);").arg(stun.Servers())));
  cef::EngineUdpGate::SetClosed(true);
  Load(browser, server_.Url(QStringLiteral("/gate.html")));
  // A STUN client sends at once and again every few hundred milliseconds.
  QTest::qWait(3000);
  EXPECT_EQ(stun.datagrams, 0) << "the STUN server was asked through the closed gate";
  QUdpSocket own;
  ASSERT_TRUE(own.bind(QHostAddress(QHostAddress::LocalHost), 0));
  EXPECT_EQ(own.writeDatagram("x", QHostAddress(QHostAddress::LocalHost), stun.socket.localPort()), 1)
      << "a datagram from outside the engine was refused";
  EXPECT_TRUE(WaitFor([&] { return stun.datagrams == 1; }, 5000));

  // The same page was asking all along: its next request gets through the open gate.
  cef::EngineUdpGate::SetClosed(false);
  EXPECT_TRUE(WaitFor([&] { return stun.datagrams > 1; }, 10000)) << "no binding request with the gate open";
}

// Whatever keeps WebRTC on the proxy's road while it is on leaves it alone while it
// is off: two pages of this machine connect directly and one's data channel speaks to
// the other (the descriptions carry all candidates, so nothing else has to be passed).
TEST_F(CefProxyTest, WithTheProxyOffTwoPagesConnectOverWebRtc) {
  CefRefPtr<CefBrowser> calling = Open(server_.Url("/basic.html"));
  CefRefPtr<CefBrowser> answering = Open(server_.Url("/basic.html"));
  ASSERT_NE(calling, nullptr);
  ASSERT_NE(answering, nullptr);
  const auto awaited = [this](const CefRefPtr<CefBrowser>& browser, const char* name) {
    QString value;
    WaitFor([&] { return !(value = Evaluate(browser, QStringLiteral("window.%1 || ''").arg(name))).isEmpty(); });
    return value;
  };
  Evaluate(calling,
           "window.a = new RTCPeerConnection(); const c = a.createDataChannel('d');"
           "c.onmessage = e => window.heard = e.data;"
           "a.onicecandidate = e => e.candidate || (window.offer = JSON.stringify(a.localDescription));"
           "a.createOffer().then(o => a.setLocalDescription(o)); 'asked'");
  const QString offer = awaited(calling, "offer");
  ASSERT_FALSE(offer.isEmpty()) << "no offer";
  Evaluate(answering,
           "window.b = new RTCPeerConnection(); b.ondatachannel = e => e.channel.onopen = () => e.channel.send('hello');"
           "b.onicecandidate = e => e.candidate || (window.answer = JSON.stringify(b.localDescription));"
           "b.setRemoteDescription(" + offer + ").then(() => b.createAnswer()).then(d => b.setLocalDescription(d)); 'ok'");
  const QString answer = awaited(answering, "answer");
  ASSERT_FALSE(answer.isEmpty()) << "no answer";
  Evaluate(calling, "a.setRemoteDescription(" + answer + "); 'ok'");
  EXPECT_EQ(awaited(calling, "heard").toStdString(), "hello");
}

// Certificate errors through the Chromium layer: a page served over TLS with a
// certificate nobody trusts loads only at the address the protected-site list
// names as a mirror (scheme, host and port as the engine reads them), and neither
// answer outlives a change of the list's mind.
class CefCertificateTest : public CefFixture {
 protected:
  void SetUp() override {
    CefFixture::SetUp();
    ASSERT_TRUE(tls_.listening());
    SettingsRegistry::Instance().Set(u"usercenter/http", u"tarvo://");
    ASSERT_EQ(sites_.Add({"1", "https://bank.example.cn/", tls_.Url("/").toStdString()}), 0);
    environment_.certificate_questions.clear();
    // The browser's own lookup over the protected-site list; `accept_` takes the
    // list away to show the lookup is asked every time.
    environment_.mirror_for_certificate_error = [this](const std::string& url) {
      WString mirror;
      return accept_ && list_.FindTarget(Utf8ToWide(url), mirror) ? WideToUtf8(mirror) : std::string();
    };
  }
  void TearDown() override {
    environment_.mirror_for_certificate_error = nullptr;
    CefFixture::TearDown();
  }

  // Loads url in browser and waits for the load to end, however it ends.
  void Load(const CefRefPtr<CefBrowser>& browser, const QString& url) {
    const size_t from = client_->loading.size();
    browser->GetMainFrame()->LoadURL(url.toStdU16String());
    ASSERT_TRUE(WaitForLoad(browser, from));
  }

  // The basic page's text when it is what the browser shows, else "none".
  QString PageText(const CefRefPtr<CefBrowser>& browser) {
    return Evaluate(browser, "document.getElementById('text') ? document.getElementById('text').textContent : 'none'");
  }

  // Every question since the last call was about url (and there was one).
  void ExpectAskedAbout(const QString& url) {
    auto& questions = environment_.certificate_questions;
    EXPECT_FALSE(questions.empty()) << "the lookup was not asked about " << url.toStdString();
    for (const std::string& question : questions) {
      EXPECT_EQ(QString::fromStdString(question), url);
    }
    questions.clear();
  }

  static constexpr const char* kText = "An apple, another Apple, a third apple and one more apple.";
  CefTestEnvironment& environment_ = CefTestEnvironment::Instance();
  bool accept_ = true;
  TestDatabase store_;
  DomainList list_{store_.db()};
  ProtectedSites sites_{store_.db()};
  TlsListener* listener_ = new TlsListener;  // owned by tls_
  TestHttpServer tls_{DataFolder(), std::unique_ptr<QTcpServer>(listener_)};
};

TEST_F(CefCertificateTest, AcceptanceEndsWhenTheListStopsNamingTheMirror) {
  CefRefPtr<CefBrowser> browser = Open(tls_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  ASSERT_EQ(PageText(browser), kText);
  environment_.certificate_questions.clear();

  // The engine remembers the accepted certificate and would not ask again; the
  // lookup still decides: another page of the host, in this browser and in a new
  // one, is refused.
  accept_ = false;
  Load(browser, tls_.Url("/child.html"));
  ExpectAskedAbout(tls_.Url("/child.html"));
  EXPECT_EQ(tls_.CountFor("/child.html"), 0);
  CefRefPtr<CefBrowser> second = Open(tls_.Url("/basic.html"));
  ASSERT_NE(second, nullptr);
  ExpectAskedAbout(tls_.Url("/basic.html"));
  EXPECT_EQ(tls_.CountFor("/basic.html"), 1);
  EXPECT_EQ(PageText(second), "none");

  // So is an image of that host in a plain page elsewhere.
  TestHttpServer::Response page;
  page.body = "<html><body><img src=\"" + tls_.Url("/pixel.png").toUtf8() + "\"></body></html>";
  server_.Route("/with-image.html", page);
  Load(second, server_.Url("/with-image.html"));
  QTest::qWait(500);
  ExpectAskedAbout(tls_.Url("/pixel.png"));
  EXPECT_EQ(tls_.CountFor("/pixel.png"), 0);

  // Naming it again is honoured: the refusals were not remembered either.
  accept_ = true;
  Load(second, tls_.Url("/child.html"));
  EXPECT_EQ(tls_.CountFor("/child.html"), 1);
}

// Addresses that a host read from the text would take for the mirror, and
// spellings of the mirror itself, each in a browser of its own. Another TLS server
// on the mirror's host (a different port) and one on [::1] stand for hosts that
// are not the mirror; the IPv6 one is a mirror of its own.
TEST_F(CefCertificateTest, OnlyTheMirrorsSchemeHostAndPortAreAccepted) {
  TlsListener* other_listener = new TlsListener;
  TestHttpServer other(DataFolder(), std::unique_ptr<QTcpServer>(other_listener));
  TlsListener* v6_listener = new TlsListener;
  TestHttpServer v6(DataFolder(), std::unique_ptr<QTcpServer>(v6_listener));
  v6_listener->close();
  ASSERT_TRUE(v6_listener->listen(QHostAddress::LocalHostIPv6, 0));
  const QString port = QString::number(tls_.port());
  const QString v6_port = QString::number(v6.port());
  ASSERT_EQ(sites_.Add({"2", "https://bank6.example.cn/", ("https://[::1]:" + v6_port + "/").toStdString()}), 0);

  const struct {
    QString url;
    bool loads;
  } cases[] = {
      {"https://127.0.0.1:" + port + "/basic.html", true},
      {"https://127.0.0.1:x@localhost:" + port + "/basic.html", false},  // user-info naming the mirror
      {"https://127.0.0.1:" + port + "@localhost:" + port + "/basic.html", false},
      {"https://127.0.0.1:" + QString::number(other.port()) + "/basic.html", false},  // the mirror's host, another port
      {"https://127.0.0.%31:" + port + "/basic.html", true},   // percent-encoded: the engine decodes it
      {"https://127.0.0.1.:" + port + "/basic.html", true},    // a trailing dot on an address is the same address
      {"https://localhost.:" + port + "/basic.html", false},   // a name is not the address it resolves to
      {"https://[::1]:" + v6_port + "/basic.html", true},
      {"https://[0:0::1]:" + v6_port + "/basic.html", true},
      {"https://[::1]:" + port + "@localhost:" + port + "/basic.html", false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.url.toStdString());
    CefRefPtr<CefBrowser> browser = Open(test.url);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(PageText(browser).toStdString(), test.loads ? kText : "none");
  }
  EXPECT_EQ(other.CountFor("/basic.html"), 0);
}

}  // namespace
}  // namespace tarvo::test
