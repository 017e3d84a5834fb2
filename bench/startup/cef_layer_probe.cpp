// Start-up probe: the Chromium layer as the browser starts it (WebApp, initialise,
// cookie store, browsers created through the layer).
#include <QApplication>
#include <QWidget>

#include "bench/startup/probe_report.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/cef_life_span_handler.h"
#include "engines/webengine/cef_load_handler.h"
#include "engines/webengine/web_app.h"

namespace {
using namespace tarvo::cef;

class CountingClient : public CefClient, public CefLifeSpanHandler, public CefLoadHandler {
 public:
  CefLifeSpanHandler* GetLifeSpanHandler() override { return this; }
  CefLoadHandler* GetLoadHandler() override { return this; }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override { browsers.push_back(browser); }
  void OnLoadingStateChange(CefRefPtr<CefBrowser>, bool loading, bool, bool) override {
    if (!loading && ++loaded == expected) {
      ReportLoaded(*clock);
    }
  }
  std::vector<CefRefPtr<CefBrowser>> browsers;
  int loaded = 0;
  int expected = 0;
  const QElapsedTimer* clock = nullptr;
};
}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  auto app = std::make_shared<WebApp>();
  const CefMainArgs args{argc, argv};
  if (const int code = CefExecuteProcess(args, app, nullptr); code >= 0) {
    return code;
  }
  QApplication application(argc, argv);
  ProbeArguments probe;
  if (!ProbeArguments::Parse(application.arguments(), &probe)) {
    return 2;
  }
  CefSettings settings;
  settings.cache_path = (probe.profile + "/Cache").toStdString();
  settings.locale = "zh-CN";
  CefInitialize(args, settings, app, nullptr);
  CefCookieManager::GetGlobalManager()->SetStoragePath((probe.profile + "/Cookie").toStdU16String(), true);

  QWidget window;
  window.resize(1024, 768);
  window.show();
  auto client = std::make_shared<CountingClient>();
  client->expected = probe.tabs;
  client->clock = &clock;
  for (int i = 0; i < probe.tabs; ++i) {
    CefWindowInfo info;
    info.SetAsChild(&window, 0, 0, 1024, 768);
    info.style = i == 0 ? 0x56010000 : 0x46010000;  // one visible tab, the others hidden
    CefBrowserHost::CreateBrowser(info, client, probe.url.toStdU16String(), CefBrowserSettings{}, nullptr);
  }
  const int result = application.exec();
  CefShutdown();
  return result;
}
