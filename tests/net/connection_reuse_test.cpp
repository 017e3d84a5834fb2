// The browser's connections to a host it asks again: a direct request's connection
// serves its thread's next one, another thread resumes the TLS session, and requests
// through a proxy share neither.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "net/curl_transfer.h"
#include "net/http_interface_error.h"
#include "net/http_url.h"
#include "net/keep_alive_server.h"
#include "platform/text.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo::test {
namespace {

std::string Ask(const std::string& url, const RequestRoute& route = {}) {
  const std::optional<HttpUrl> parsed = HttpUrl::Parse(Utf8ToWide(url));
  CurlTransferSetup setup;
  setup.url = &*parsed;
  setup.post = true;
  setup.postData = "a=1";
  setup.boundWholeRequest = true;
  setup.route = route;
  std::string body;
  try {
    CurlTransfer::Run(setup, [](const CHttpHeader&) {}, [&body](std::string_view data) { body.append(data); });
  } catch (HttpInterfaceError error) {
    return "error " + std::to_string(static_cast<int>(error));
  }
  return body;
}

TEST(ConnectionReuse, AThreadKeepsItsConnectionAndOthersResumeItsSession) {
  for (const bool tls : {false, true}) {
    SCOPED_TRACE(tls ? "TLS" : "plain HTTP");
    const KeepAliveServer server(tls);
    const std::string base = std::string(tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(server.port()) + "/";
    // The service's own host, so its test authority is trusted for it.
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(base));
    SettingsRegistry::Instance().Set(SettingsKeys::kServiceCaFile, Utf8ToWide(tls ? server.caFile() : ""));

    EXPECT_EQ(Ask(base + "app/one"), "ok");
    EXPECT_EQ(Ask(base + "app/two"), "ok");
    EXPECT_EQ(server.accepted(), 1) << "one connection for the thread's requests";

    std::string elsewhere;
    std::thread([&] { elsewhere = Ask(base + "app/three"); }).join();
    EXPECT_EQ(elsewhere, "ok");
    EXPECT_EQ(server.accepted(), 2) << "another thread has a connection of its own";
    EXPECT_EQ(server.resumed(), tls ? 1 : 0) << "and resumes the first one's session";

    if (!tls) {
      // Through a proxy (the server answers proxy requests too) every request has a
      // connection of its own, and the thread's direct connection stays.
      const RequestRoute proxy{"http://127.0.0.1:" + std::to_string(server.port()), ""};
      EXPECT_EQ(Ask(base + "app/four", proxy), "ok");
      EXPECT_EQ(Ask(base + "app/five", proxy), "ok");
      EXPECT_EQ(Ask(base + "app/six"), "ok");
      EXPECT_EQ(server.accepted(), 4);
    }
  }
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"");
  SettingsRegistry::Instance().Set(SettingsKeys::kServiceCaFile, u"");
}

}  // namespace
}  // namespace tarvo::test
