// How long the account and the VPN keep the user waiting, and whether the interface
// thread stalls meanwhile, in the whole browser (this program runs it in-process)
// against tarvo-service with the demo seed on loopback:
//  - login: from the click on the login window's button to the window closing
//    logged in (log-in, then the stored login confirmed);
//  - VPN: from the shield's click (a user without node choice: connected to the
//    first node) to the first request the node's proxy counts, the page being sent
//    to a *.tarvo.test address as soon as the shield is on.
// Each is run kRuns times; the figures are the median and the longest, and the
// longest gap between two ticks of a 1 ms timer on the interface thread during each
// run ("stall"). Run under a display (Xvfb) from build/bin.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <thread>

#include <httplib.h>

#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "account/windows/login_wnd.h"
#include "app/ckx_browser_app.h"
#include "bench/startup/sample_summary.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/page.h"
#include "support/scoped_env.h"
#include "support/service_process.h"
#include "support/temp_dir.h"
#include "ui/edit_ui.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr int kRuns = 20;
// How long an idle sample lasts: about as long as a VPN run.
constexpr double kIdleSampleMs = 400;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The longest gap between two ticks of a 1 ms timer since Reset.
class StallMeter {
 public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      longest_ = std::max(longest_, MsSince(last_));
      last_ = Clock::now();
    });
    timer_.start(1);
  }
  void Reset() {
    last_ = Clock::now();
    longest_ = 0;
  }
  double longest() const { return std::max(longest_, MsSince(last_)); }

 private:
  QTimer timer_;
  Clock::time_point last_ = Clock::now();
  double longest_ = 0;
};

// Runs the event loop until `done` holds (checked every millisecond) or 30 s passed.
bool Pump(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > 30000) return false;
    QEventLoop loop;
    QTimer::singleShot(1, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

// The requests node `node`'s proxy has forwarded, from the service's counters.
int ProxyRequests(int port, int node) {
  httplib::SSLClient client("127.0.0.1", port);
  client.set_ca_cert_path(std::getenv("TARVO_API_CA"));
  const auto answer = client.Get("/status/proxies");
  const std::string text = answer ? answer->body : std::string();
  std::smatch match;
  const std::regex counts("\"node_id\":" + std::to_string(node) + ",\"port\":[0-9]+,\"requests\":([0-9]+)");
  return std::regex_search(text, match, counts) ? std::stoi(match[1]) : -1;
}

void Report(const char* what, const std::vector<double>& times, const std::vector<double>& stalls) {
  const SampleSummary time = SampleSummary::Of(times);
  const SampleSummary stall = SampleSummary::Of(stalls);
  std::printf("%-34s runs %2zu  median %7.1f ms  max %7.1f ms  | longest interface stall: median %5.1f ms, max %5.1f ms\n",
              what, times.size(), time.median, time.maximum, stall.median, stall.maximum);
}

class Script {
 public:
  Script(CKXBrowserApp& app, int servicePort) : app_(app), port_(servicePort) {}

  void Run() {
    MainDuiWnd* window = nullptr;
    if (!Pump([&] {
          window = app_.main_window();
          return window != nullptr && window->GetWidget() != nullptr && window->GetWidget()->width() > 600;
        })) {
      return;
    }
    MeasureIdle();
    MeasureLogins(*window);
    MeasureVpn(*window);
    window->Close(0);
  }

 private:
  // The same meter over the idle browser: what the machine and the engine's own
  // drawing cost the interface thread without any account or VPN work.
  void MeasureIdle() {
    std::vector<double> times, stalls;
    for (int run = 0; run < kRuns; ++run) {
      meter_.Reset();
      const Clock::time_point start = Clock::now();
      Pump([&] { return MsSince(start) >= kIdleSampleMs; });
      times.push_back(MsSince(start));
      stalls.push_back(meter_.longest());
    }
    Report("idle browser (baseline)", times, stalls);
  }

  // One login window run: `act` fills and clicks (the meter starts there), Run's
  // result, the time to its end and the longest stall go to the samples.
  bool RunLoginWindow(MainDuiWnd& window, const std::function<void(LoginWnd&)>& act, std::vector<double>& times,
                      std::vector<double>& stalls) {
    LoginWnd login(app_.account(), app_.account_tasks(), app_.database());
    Clock::time_point started;
    QTimer::singleShot(0, [&] {
      Pump([&] { return login.GetWidget() != nullptr && login.GetWidget()->isVisible(); });
      meter_.Reset();
      started = Clock::now();
      act(login);
    });
    const int result = login.Run(window.Handle());
    times.push_back(MsSince(started));
    stalls.push_back(meter_.longest());
    return result == LoginWnd::kLoggedIn;
  }

  void MeasureLogins(MainDuiWnd& window) {
    std::vector<double> times, stalls, closeTimes, closeStalls;
    for (int run = 0; run < kRuns; ++run) {
      // Baseline: the same window closed at once, no request.
      RunLoginWindow(window, [](LoginWnd& login) { QTest::keyClick(login.GetWidget(), Qt::Key_Escape); }, closeTimes,
                     closeStalls);
      RunLoginWindow(
          window,
          [](LoginWnd& login) {
            login.FindControl(QStringLiteral("login/p1_acct"))->SetText(QStringLiteral("demo@tarvo.test"));
            login.FindControl(QStringLiteral("login/p1_pwd"))->SetText(QStringLiteral("demo1234"));
            DuiLib::CControlUI* button = login.FindControl(QStringLiteral("login/loginbtn"));
            QTest::mouseClick(login.GetWidget(), Qt::LeftButton, {}, button->GetPos().center());
          },
          times, stalls);
      app_.account_tasks().RunAndWait([this] { AccountOperations(app_.account(), app_.database()).Logout(); });
    }
    Report("login window closed at once (baseline)", closeTimes, closeStalls);
    Report("login click -> logged in", times, stalls);
  }

  void MeasureVpn(MainDuiWnd& window) {
    app_.account_tasks().RunAndWait(
        [this] { AccountOperations(app_.account(), app_.database()).Login(u"basic@tarvo.test", u"basic1234"); });
    std::vector<double> times, stalls, pageTimes, pageStalls;
    AccountState& state = app_.account();
    for (int run = 0; run < kRuns; ++run) {
      const int before = ProxyRequests(port_, 1);
      std::atomic<bool> counted = false;
      Clock::time_point clicked = Clock::now();
      std::atomic<int64_t> countedAtUs = 0;
      std::thread watcher([&] {
        while (!counted && MsSince(clicked) < 30000) {
          if (ProxyRequests(port_, 1) > before) {
            countedAtUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - clicked).count();
            counted = true;
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      });
      meter_.Reset();
      clicked = Clock::now();
      window.RunCommand(Commands::kToggleVpn);
      Pump([&] { return state.Connection().proxyApplied; });
      if (Page* page = window.CurrentPage()) page->Navigate(u"http://www.tarvo.test/?run=" + AsciiToWide(std::to_string(run)));
      Pump([&] { return counted.load(); });
      const double stall = meter_.longest();
      counted = true;
      watcher.join();
      if (countedAtUs > 0) {
        times.push_back(countedAtUs / 1000.0);
        stalls.push_back(stall);
      }
      MeasurePageLoad(window, run, pageTimes, pageStalls);
      window.RunCommand(Commands::kToggleVpn);
      Pump([&] { return !state.IsConnected() && !state.Connection().proxyApplied; });
      app_.account_tasks().WaitIdle(std::chrono::seconds(30));
    }
    Report("page through the VPN, on (baseline)", pageTimes, pageStalls);
    Report("VPN click -> first proxied request", times, stalls);
  }

  // Baseline: a page loaded through the node with the VPN already on, from the
  // navigation to the proxy counting it.
  void MeasurePageLoad(MainDuiWnd& window, int run, std::vector<double>& times, std::vector<double>& stalls) {
    Page* page = window.CurrentPage();
    if (page == nullptr) return;
    const Clock::time_point settled = Clock::now();
    Pump([&] { return MsSince(settled) > 300; });  // the first page's late requests
    const int before = ProxyRequests(port_, 1);
    meter_.Reset();
    const Clock::time_point start = Clock::now();
    page->Navigate(u"http://news.tarvo.test/?run=" + AsciiToWide(std::to_string(run)));
    if (!Pump([&] { return ProxyRequests(port_, 1) > before; })) return;
    times.push_back(MsSince(start));
    stalls.push_back(meter_.longest());
  }

  CKXBrowserApp& app_;
  const int port_;
  StallMeter meter_;
};

}  // namespace
}  // namespace tarvo

int main() {
  using namespace tarvo;
  test::TempDir folder;
  const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
  const char* source = std::getenv("TARVO_SOURCE_DIR");
  const std::string seed = std::string(source != nullptr ? source : TARVO_SOURCE_FALLBACK) + "/service/seed/demo.json";
  test::ServiceProcess service((bin / "tarvo-service").string(), seed, (folder.path() / "service.db").string(),
                               {"--proxy-ports", "auto"});
  if (service.baseUrl().empty()) {
    std::fprintf(stderr, "tarvo-service did not start\n");
    return 1;
  }
  const int port = std::stoi(service.baseUrl().substr(service.baseUrl().rfind(':') + 1));
  test::ScopedEnv data("XDG_DATA_HOME", (folder.path() / "data").string());
  test::ScopedEnv config("XDG_CONFIG_HOME", (folder.path() / "config").string());
  test::ScopedEnv cache("XDG_CACHE_HOME", (folder.path() / "cache").string());
  test::ScopedEnv api("TARVO_API_URL", service.baseUrl());
  test::ScopedEnv keys("TARVO_API_KEYS", service.credentials().publicKey());
  test::ScopedEnv authority("TARVO_API_CA", service.credentials().caFile());

  char name[] = "tarvo-browser";
  char noUpdate[] = "-noupdate";
  char* arguments[] = {name, noUpdate, nullptr};
  double load[3] = {};
  if (getloadavg(load, 3) == 3) std::printf("load average before the runs: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
  CKXBrowserApp app(2, arguments);
  // The script starts on the interface thread once the application exists; there it
  // waits for the main window.
  std::thread starter([&app, port] {
    while (QCoreApplication::instance() == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&app, port] { Script(app, port).Run(); }, Qt::QueuedConnection);
  });
  starter.detach();
  app.Run();
  return 0;
}
