#pragma once

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_frame.h"
#include "engines/cef_test_environment.h"
#include "engines/recording_client.h"
#include "engines/test_http_server.h"

namespace tarvo::test {

// A shown parent window, a loopback server with the engine test pages, and a
// recording client; helpers to open a browser and wait for the engine.
class CefFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CefTestEnvironment::Instance().initialised);
    ASSERT_TRUE(server_.listening());
    parent_.resize(900, 700);
    parent_.show();
  }
  void TearDown() override {
    for (const auto& browser : client_->created) {
      if (browser->IsValid()) {
        delete browser->GetHost()->GetWindowHandle();
      }
    }
  }

  static QString DataFolder() { return qEnvironmentVariable("TARVO_TEST_DATA") + QStringLiteral("/engines"); }

  // Waits (running the event loop) until the condition holds; false on timeout.
  template <typename Predicate>
  static bool WaitFor(Predicate predicate, int timeout_ms = 20000) {
    return QTest::qWaitFor(predicate, timeout_ms);
  }

  // Opens a browser the way the shell does (asynchronously) and waits until its
  // first page has finished loading.
  CefRefPtr<CefBrowser> Open(const QString& url) {
    CefWindowInfo info;
    info.SetAsChild(&parent_, 0, 0, 800, 600);
    info.style = 0x56010000;
    const size_t before = client_->created.size();
    if (!CefBrowserHost::CreateBrowser(info, client_, url.toStdU16String(), CefBrowserSettings{}, nullptr)) {
      return nullptr;
    }
    // A new browser starts a renderer process: on a machine busy with other tests that
    // can take far longer than a load in a running one.
    constexpr int kOpenLimitMs = 60000;
    if (!WaitFor([&] { return client_->created.size() > before; }, kOpenLimitMs)) {
      return nullptr;
    }
    CefRefPtr<CefBrowser> browser = client_->created.back();
    if (!WaitForLoad(browser, 0, kOpenLimitMs)) {
      return nullptr;
    }
    return browser;
  }

  // Waits until the browser has started and then finished a load.
  bool WaitForLoad(const CefRefPtr<CefBrowser>& browser, size_t from = 0, int timeout_ms = 20000) {
    const int id = browser->GetIdentifier();
    return WaitFor([&] {
      bool started = false;
      for (size_t i = from; i < client_->loading.size(); ++i) {
        if (client_->loading[i].first == id) {
          started = started || client_->loading[i].second;
          if (started && !client_->loading[i].second) {
            return true;
          }
        }
      }
      return false;
    }, timeout_ms);
  }

  // Runs a script in the page and returns its result as text.
  static QString Evaluate(const CefRefPtr<CefBrowser>& browser, const QString& script);

  QWidget parent_;
  TestHttpServer server_{DataFolder()};
  std::shared_ptr<RecordingClient> client_ = std::make_shared<RecordingClient>();
};

}  // namespace tarvo::test
