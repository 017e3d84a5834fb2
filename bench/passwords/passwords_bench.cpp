// Saved passwords against a real Secret Service (GNOME Keyring on a session bus of
// the bench's own):
//  1. the interface thread while the keyring works: each keyring call timed as it
//     would stall a thread that made it itself, then the longest gap of a 1 ms
//     timer on the thread that asks the keeper for the same calls;
//  2. in the real tarvo-browser, the time from the user's click into a log-in field
//     (xdotool, at the middle of the screen, where the page's field is) to its fields
//     filled, over page loads that follow one another: on origins met for the first
//     time (the keyring is asked as the form is seen) and on origins met before.
// Run from build/bin under a display:
//   QTWEBENGINE_DISABLE_SANDBOX=1 ./passwords_bench [origins]
// A few threads per server: the bench runs one server per origin.
#define CPPHTTPLIB_THREAD_POOL_COUNT 2
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "passwords/keyring_session.h"
#include "passwords/password_keeper.h"
#include "passwords/secret_service_keyring.h"
#include "support/private_keyring.h"
#include "support/temp_dir.h"

namespace {

using namespace tarvo;
using namespace std::chrono_literals;

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())))];
}

void Report(const char* name, const std::vector<double>& values) {
  std::printf("%-48s n=%4zu  p50 %7.2f ms  p95 %7.2f ms  max %7.2f ms\n", name, values.size(), Percentile(values, 0.5),
              Percentile(values, 0.95), Percentile(values, 1.0));
}

// Part 1: the calls on the thread itself, then the same calls through the keeper.
void MeasureInterfaceThread(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  SecretServiceKeyring keyring("TarvoBrowserBench");
  std::vector<double> store, find, list;
  QElapsedTimer clock;
  for (int i = 0; i < 40; ++i) {
    const WString origin = u"https://site" + Utf8ToWide(std::to_string(i % 8)) + u".test";
    clock.start();
    keyring.Store({origin, u"user" + Utf8ToWide(std::to_string(i)), u"pw", true});
    store.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    std::vector<SavedLogin> logins;
    clock.start();
    keyring.Find(origin, logins);
    find.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    std::vector<WString> never;
    logins.clear();
    clock.start();
    keyring.List(logins, never);
    list.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  Report("keyring store, on the calling thread", store);
  Report("keyring find (origin, secrets), calling thread", find);
  Report("keyring list (40 items), calling thread", list);
  keyring.RemoveAll();

  PasswordKeeper keeper(std::make_unique<SecretServiceKeyring>("TarvoBrowserBench"));
  keeper.SetPoster([](std::function<void()> answer) {
    QMetaObject::invokeMethod(qApp, std::move(answer), Qt::QueuedConnection);
  });
  // The thread's ticks for `ms` while `work` runs (nothing: how busy the machine is).
  auto ticks = [&](int ms, const std::function<void()>& work, const std::function<bool()>& finished) {
    std::vector<double> gaps;
    QElapsedTimer sinceTick, whole;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      gaps.push_back(static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
      sinceTick.start();
      if (whole.elapsed() >= ms && finished()) application.quit();
    });
    QTimer::singleShot(0, [&] {
      sinceTick.start();
      whole.start();
      ticker.start(1);
      work();
    });
    application.exec();
    return gaps;
  };
  Report("interface thread: 1 ms ticks, no keyring work", ticks(2000, [] {}, [] { return true; }));
  int answered = 0;
  constexpr int kCalls = 120;
  const auto gaps = ticks(
      0,
      [&] {
        for (int i = 0; i < kCalls / 3; ++i) {
          const WString origin = u"https://site" + Utf8ToWide(std::to_string(i % 8)) + u".test";
          keeper.Save({origin, u"user" + Utf8ToWide(std::to_string(i)), u"pw", true}, [&](KeyringResult) { ++answered; });
          keeper.Find(origin, [&](const PasswordKeeper::Lookup&) { ++answered; });
          keeper.List([&](const PasswordKeeper::Listing&) { ++answered; });
        }
      },
      [&] { return answered == kCalls; });
  Report("interface thread: 1 ms ticks, 120 keeper calls", gaps);
  keeper.RemoveAllNow(30s);
}

// Part 2: a log-in page on `origins` loopback origins (one server per port) that
// loads the next one when it has been filled, twice round: the first round asks the
// keyring for each origin, the second finds them known. Each load says when it is
// drawn, then how long after the press of the pointer in its field the password
// field was filled.
constexpr char kPage[] = R"(<!doctype html><html><head><title>Bench</title><style>
  input { position: fixed; left: 0; width: 100%; height: 50%; box-sizing: border-box; }
  #u { top: 0; } #p { top: 50%; }
</style></head><body>
<form method="post" action="/x"><input id="u" name="u"><input id="p" name="p" type="password"></form>
<script>
  var pressAt = -1;
  addEventListener('mousedown', function () { pressAt = performance.now(); }, true);
  document.getElementById('p').addEventListener('input', function () {
    fetch('/timing?n=@N@&form=' + (performance.now() - pressAt)).then(go, go);
  });
  function go() { if ('@NEXT@') location.href = '@NEXT@'; }
  requestAnimationFrame(function () { setTimeout(function () { fetch('/ready?n=@N@'); }, 0); });
</script></body></html>)";

void MeasureFill(int origins) {
  std::mutex mutex;
  std::vector<double> cold, warm;
  int ready = -1;  // the last load that was drawn
  std::vector<std::unique_ptr<httplib::Server>> servers;
  std::vector<int> ports;
  for (int i = 0; i < origins; ++i) {
    servers.push_back(std::make_unique<httplib::Server>());
    ports.push_back(servers.back()->bind_to_any_port("127.0.0.1"));
  }
  const int loads = 2 * origins;
  auto url = [&](int n) { return "http://127.0.0.1:" + std::to_string(ports[n % origins]) + "/login?n=" + std::to_string(n); };
  for (auto& server : servers) {
    server->Get("/login", [&](const httplib::Request& request, httplib::Response& response) {
      const int n = std::stoi(request.get_param_value("n"));
      std::string page = kPage;
      const auto fill = [&page](const std::string& mark, const std::string& text) {
        for (size_t at; (at = page.find(mark)) != std::string::npos;) page.replace(at, mark.size(), text);
      };
      fill("@NEXT@", n + 1 < loads ? url(n + 1) : "");
      fill("@N@", std::to_string(n));
      response.set_content(page, "text/html; charset=utf-8");
    });
    server->Get("/ready", [&](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard lock(mutex);
      ready = std::max(ready, std::stoi(request.get_param_value("n")));
      response.status = 204;
    });
    server->Get("/timing", [&](const httplib::Request& request, httplib::Response& response) {
      const int n = std::stoi(request.get_param_value("n"));
      const double filled = std::stod(request.get_param_value("form"));
      std::lock_guard lock(mutex);
      // The first load also starts the engine's page; it is left out.
      if (n > 0) (n < origins ? cold : warm).push_back(filled);
      response.status = 204;
    });
  }
  std::vector<std::thread> serving;
  for (auto& server : servers) serving.emplace_back([&server] { server->listen_after_bind(); });
  SecretServiceKeyring keyring("TarvoBrowser");
  for (const int port : ports) {
    keyring.Store({Utf8ToWide("http://127.0.0.1:" + std::to_string(port)), u"bench", u"bench-password", false});
  }

  test::TempDir home;
  const pid_t browser = fork();
  if (browser == 0) {
    setenv("XDG_DATA_HOME", (home.path() / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home.path() / "cache").c_str(), 1);
    setenv("TARVO_API_URL", "http://127.0.0.1:9/", 1);
    const std::string first = url(0);
    execl("./tarvo-browser", "tarvo-browser", "-noupdate", first.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60 + loads);
  int clicked = -1;
  auto clickedAt = std::chrono::steady_clock::now();
  for (;;) {
    bool click = false;
    {
      std::lock_guard lock(mutex);
      if (static_cast<int>(cold.size() + warm.size()) >= loads - 1) break;
      // A drawn page is clicked once; again when no fill followed (the click came
      // before the engine took the page's input).
      const auto now = std::chrono::steady_clock::now();
      click = ready > clicked || (ready == clicked && now - clickedAt > 2s);
      if (click) {
        clicked = ready;
        clickedAt = now;
      }
    }
    if (click && std::system("xdotool mousemove 800 500 click 1") != 0) {
      std::printf("xdotool is needed\n");
      break;
    }
    if (std::chrono::steady_clock::now() > limit) {
      std::printf("the pages were not filled %d times in time\n", loads - 1);
      break;
    }
    std::this_thread::sleep_for(100ms);
  }
  kill(browser, SIGTERM);
  waitpid(browser, nullptr, 0);
  for (auto& server : servers) server->stop();
  for (std::thread& thread : serving) thread.join();
  keyring.RemoveAll();
  std::lock_guard lock(mutex);
  Report("click into the field -> filled, origin new (keyring)", cold);
  Report("click into the field -> filled, origin known", warm);
}

}  // namespace

int main(int argc, char** argv) {
  const int origins = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
  test::PrivateKeyring keyring;
  if (!keyring.running()) {
    std::fprintf(stderr, "dbus-daemon and gnome-keyring-daemon are needed\n");
    return 1;
  }
  test::KeyringSession session(keyring.address());
  MeasureInterfaceThread(argc, argv);
  MeasureFill(origins);
  return 0;
}
