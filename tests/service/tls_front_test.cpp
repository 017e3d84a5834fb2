// The front over TLS, as the browser's own client meets it (the nodes' proxies over
// TLS are run end to end in vpn_e2e_test).
#include <gtest/gtest.h>

#include <vector>

#include "loopback_probe.h"
#include "net/http_post_form.h"
#include "service/connection_gate.h"
#include "service/tcp_connection.h"
#include "service_fixture.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "support/test_credentials.h"

namespace tarvo::service::test {
namespace {

class TlsFrontTest : public ServiceFixture {
 protected:
  void SetUp() override {
    ServiceOptions options = DefaultOptions();
    options.plainHttp = false;
    options.tlsCertPath = tls_.certificateFile();
    options.tlsKeyPath = tls_.certificateKeyFile();
    StartService(options);
    Trust(service_->BaseUrl(), tls_.caFile());
  }
  void TearDown() override {
    Trust("", "");
    ServiceFixture::TearDown();
  }
  // The front's certificate, from a CA made for the test.
  const tarvo::test::TestCredentials tls_{dir_.path() / "tls"};
  static void Trust(const std::string& apiUrl, const std::string& caFile) {
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(apiUrl));
    SettingsRegistry::Instance().Set(SettingsKeys::kServiceCaFile, Utf8ToWide(caFile));
  }
  static int64_t VersionCode() {
    ServiceReply reply;
    return CallService(u"app/v1.0/version", FormBody().Add("brand", "TestBrand"), reply) == 0 ? reply.code() : -1;
  }
};

TEST_F(TlsFrontTest, HandshakesWaitInTheGateAndOnlyACertificateThatVerifiesForTheServiceIsTaken) {
  const std::string base = service_->BaseUrl();
  ASSERT_EQ(base.rfind("https://127.0.0.1:", 0), 0u) << base;
  // Clients stalled half way through a ClientHello wait in the gate under its caps:
  // more than one address may keep waiting, and the oldest are pushed out.
  std::vector<TcpConnection> stalled;
  for (size_t i = 0; i < ConnectionGate::Limits{}.perAddress + 4; ++i) {
    if (auto connection = TcpConnection::Connect("127.0.0.1", service_->port(), 5000)) {
      connection->WriteAll(std::string("\x16\x03\x01\x02\x00\x01", 6));
      stalled.push_back(std::move(*connection));
    }
  }
  EXPECT_EQ(VersionCode(), 200);
  stalled.front().SetReadTimeout(5);
  char byte = 0;
  EXPECT_EQ(stalled.front().ReadSome(&byte, 1), 0);

  const tarvo::test::TestCredentials stranger(dir_.path() / "stranger");
  const std::string port = std::to_string(service_->port());
  struct Case {
    const char* what;
    std::string apiUrl;
    std::string caFile;
  };
  for (const Case& refused : {Case{"the system's store alone", base, ""},
                              Case{"another CA", base, stranger.caFile()},
                              Case{"a name the certificate does not carry", "https://localhost:" + port + "/",
                                   tls_.caFile()},
                              Case{"plain HTTP to the TLS port", "http://127.0.0.1:" + port + "/", ""}}) {
    Trust(refused.apiUrl, refused.caFile);
    EXPECT_EQ(VersionCode(), -1) << refused.what;
  }
  Trust(base, tls_.caFile());
  EXPECT_EQ(VersionCode(), 200) << "and the service goes on";
}

TEST_F(TlsFrontTest, PlainMirrorAddressesServePagesButNeverTheService) {
  // The seed's mirror 127.0.0.21 stands in for another site: plain HTTP.
  const std::string page = RawExchange(service_->port(), "GET / HTTP/1.1\r\nHost: 127.0.0.21\r\n\r\n", "127.0.0.21");
  EXPECT_EQ(page.rfind("HTTP/1.1 200", 0), 0u) << page;
  const std::string api = RawExchange(service_->port(),
                                      "POST /app/v1.0/version HTTP/1.1\r\nHost: 127.0.0.21\r\nContent-Length: 15\r\n\r\n"
                                      "brand=TestBrand",
                                      "127.0.0.21");
  EXPECT_EQ(api.rfind("HTTP/1.1 404", 0), 0u) << api;
  EXPECT_NE(api.find("HTTPS only"), std::string::npos) << api;
}

}  // namespace
}  // namespace tarvo::service::test
