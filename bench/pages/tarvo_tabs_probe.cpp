// Tab probe: our pages, as the main window makes them: the page list with its tab
// strip and body bar in a skinned window, the Chromium client making a page for each
// browser, the bus drained every 25 ms like the main window's timer does. With
// TARVO_PROBE_ASLEEP=1 in its environment it then discards every background tab as
// a sleeping tab is, times waking one (selected until loaded, printed as "wake")
// and puts the tab it left to sleep too, so the harness measures one live tab
// (after handing freed memory back, as the sleeper does).
#include <QApplication>
#include <chrono>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "bench/pages/tab_probe_report.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/cef/create_chromium_browser.h"
#include "engines/cef/tab_cef_body.h"
#include "engines/webengine/web_app.h"
#include "engines/cef/web_client.h"
#include "platform/freed_memory.h"
#include "platform/text.h"
#include "bus/message_bus.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"
#include "shell/pages/page_host.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_host.h"
#include "protect/c_browser_url.h"
#include "store/user_database.h"
#include "ui/resource_manager.h"

namespace {

using namespace tarvo;

// Chromium pages only: the probe's page never belongs to the compatibility engine.
class ChromiumOnlyFactory : public IPageBodyFactory {
 public:
  explicit ChromiumOnlyFactory(CBodyBar* bodyBar) : bodyBar_(bodyBar) {}
  void OpenChromiumPage(const WString& url) override { CreateChromiumBrowser(bodyBar_->GetWidget(), WideToUtf8(url)); }
  bool OpenIePage(const WString&) override { return false; }
  bool MakeBodyFor(Page& page) override { return CreateChromiumBrowserFor(bodyBar_->GetWidget(), page); }
  void Attach(const PageHost&) override {}
  void Detach() override {}
  void ShutdownEngines() override {}

 private:
  CBodyBar* bodyBar_;  // not owned
};

// Runs the event loop until the condition holds.
template <typename Condition>
void RunUntil(Condition condition) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (condition()) loop.quit();
  });
  poll.start(1);
  loop.exec();
}

bool Loaded(Page* page) {
  auto* body = page != nullptr ? dynamic_cast<TabCefBody*>(page->Body()) : nullptr;
  return body != nullptr && !page->GetTitle().empty() && !body->GetBrowser()->IsLoading();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvo::cef;
  auto app = std::make_shared<WebApp>();
  const CefMainArgs args{argc, argv};
  if (const int code = CefExecuteProcess(args, app, nullptr); code >= 0) return code;
  QApplication application(argc, argv);
  TabProbeArguments probe;
  if (!TabProbeArguments::Parse(application.arguments(), &probe)) return 2;
  CefSettings settings;
  settings.cache_path = (probe.profile + "/Cache").toStdString();
  settings.locale = "zh-CN";
  CefInitialize(args, settings, app, nullptr);
  CefCookieManager::GetGlobalManager()->SetStoragePath((probe.profile + "/Cookie").toStdU16String(), true);

  SettingsRegistry::Instance().Set(SettingsKeys::kNewPage, u"about:blank");
  SettingsRegistry::Instance().Set(SettingsKeys::kPictureFolder, Utf8ToWide(probe.profile.toStdString() + "/Picture/"));
  UserDatabase& database = *new UserDatabase();  // never destroyed, as the browser's
  database.OpenFile(probe.profile.toStdString() + "/kx.dat");
  database.Upgrade();
  CBrowserUrl::UseDatabase(database);
  MessageBus::Instance().Initialise();
  const QString data = qEnvironmentVariableIsSet("TARVO_TEST_DATA") ? qEnvironmentVariable("TARVO_TEST_DATA")
                                                                      : QStringLiteral(TARVO_DEFAULT_TEST_DATA);
  DuiLib::CResourceManager::Instance().SetResourcePath(data + QStringLiteral("/shell/"));
  DuiLib::CResourceManager::Instance().SetResourceZip(QString());
  DuiLib::CResourceManager::Instance().SetErrorReporter([](const QString&) {});

  int result = 0;
  {
    test::PagesHost host(database);
    host.window.ResizeClient(1024, 800);
    ChromiumOnlyFactory factory(host.bodyBar);
    Pages& pages = host.pages;
    pages.SetBodyFactory(&factory);
    ClientInstance()->AddHost(PageHost{host.window.GetHWND(), host.bodyBar, &pages});
    QTimer busTimer;
    QObject::connect(&busTimer, &QTimer::timeout, [&host] { host.poller.Drain(); });
    busTimer.start(25);

    std::vector<double> openMs;
    for (int i = 0; i < probe.tabs; ++i) {
      QElapsedTimer clock;
      clock.start();
      pages.OpenUrlInNewTab(probe.url.toStdU16String());
      RunUntil([&] { return pages.Count() == i + 1 && Loaded(pages.PageAt(-1)); });
      openMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::vector<double> switchMs;
    for (int i = 0; i < kTabSwitches && pages.Count() > 1; ++i) {
      Page* next = pages.PageAt(i);
      if (next == pages.Current()) next = pages.PageAt(i + 1);
      QElapsedTimer clock;
      clock.start();
      pages.SelectPage(next);
      QCoreApplication::processEvents();
      switchMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    if (qEnvironmentVariableIntValue("TARVO_PROBE_ASLEEP") == 1 && pages.Count() > 1) {
      for (int i = 0; i < pages.Count(); ++i) {
        if (pages.PageAt(i) != pages.Current()) pages.PageAt(i)->Rest(BodyRest::kDiscarded);
      }
      Page* left = pages.Current();
      Page* woken = left == pages.PageAt(0) ? pages.PageAt(1) : pages.PageAt(0);
      QElapsedTimer clock;
      clock.start();
      pages.SelectPage(woken);
      RunUntil([&] { return woken->RestState() == BodyRest::kActive && Loaded(woken); });
      std::printf("wake %.3f\n", static_cast<double>(clock.nsecsElapsed()) / 1e6);
      left->Rest(BodyRest::kDiscarded);
      // As the tab sleeper does at its next check, once the engine let the pages go.
      const auto discarded = std::chrono::steady_clock::now();
      RunUntil([&] { return std::chrono::steady_clock::now() - discarded > std::chrono::seconds(2); });
      ReturnFreedMemory();
    }
    ReportTabs(openMs, switchMs);
    result = application.exec();
    busTimer.stop();
  }
  CefShutdown();
  return result;
}
