// Downloads, measured: one large file through the browser's download path (the
// Chromium layer, the client's download handler, the download manager and its
// rename) against curl from the same loopback server in the same run; the download
// list's refresh with 200 downloads; the interface thread's longest stall while ten
// downloads run with the list open.
//
// Usage: downloads_bench [--size-mib N] (default 1024). Run under a display (Xvfb)
// from the build's bin folder with TARVO_SOURCE_DIR set.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "downloads/download_manager.h"
#include "downloads/i_download_prompts.h"
#include "downloads/windows/download_windows.h"
#include "downloads/windows/download_wnd.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/cef_life_span_handler.h"
#include "engines/cef/chromium_download_handler.h"
#include "engines/webengine/web_app.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/user_database.h"
#include "support/range_file_server.h"
#include "support/temp_dir.h"
#include "ui/resource_manager.h"

namespace {

using namespace tarvo;
namespace fs = std::filesystem;
constexpr int64_t kMiB = 1024 * 1024;

// Saves every download as the next name of a numbered series in one folder.
struct NumberedFiles : IDownloadPrompts {
  bool ConfirmReplace(const DownloadRecord&) override { return true; }
  void TellAlreadyDownloading(const DownloadRecord&) override {}
  WString ChooseTarget(const WString&) override {
    return Utf8ToWide((folder / ("browser-" + std::to_string(next++) + ".bin")).string());
  }
  fs::path folder;
  int next = 0;
};

// A client with the browser's download handler that keeps the browser it made.
class DownloadingClient : public cef::CefClient, public cef::CefLifeSpanHandler {
 public:
  explicit DownloadingClient(ChromiumDownloadHandler& handler) : handler_(handler) {}
  cef::CefDownloadHandler* GetDownloadHandler() override { return &handler_; }
  cef::CefLifeSpanHandler* GetLifeSpanHandler() override { return this; }
  void OnAfterCreated(cef::CefRefPtr<cef::CefBrowser> made) override { browser = made; }
  cef::CefRefPtr<cef::CefBrowser> browser;

 private:
  ChromiumDownloadHandler& handler_;
};

// Runs the event loop until `done` holds.
void RunUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  poll.start(20);
  loop.exec();
}

int Complete(DownloadManager& manager) {
  const auto records = manager.Records();
  return static_cast<int>(std::count_if(records.begin(), records.end(),
                                        [](const auto& record) { return record.state == DownloadState::kComplete; }));
}

// The longest and the 99th-percentile lateness of a 2 ms timer on this thread.
class StallMeter {
 public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ > 0) gaps_.push_back(static_cast<double>(now - last_) / 1e6 - kIntervalMs);
      last_ = now;
    });
    clock_.start();
    timer_.start(kIntervalMs);
  }
  void Report(const char* what) {
    std::sort(gaps_.begin(), gaps_.end());
    const double p99 = gaps_.empty() ? 0 : gaps_[gaps_.size() * 99 / 100];
    std::printf("%s: longest interface stall %.1f ms, 99th percentile %.1f ms (%zu ticks)\n", what,
                gaps_.empty() ? 0 : gaps_.back(), p99, gaps_.size());
  }

 private:
  static constexpr int kIntervalMs = 2;
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  std::vector<double> gaps_;
};

double CurlSeconds(const std::string& url, const fs::path& target) {
  QElapsedTimer clock;
  clock.start();
  QProcess curl;
  curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), QString::fromStdString(target.string()),
                                      QString::fromStdString(url)});
  curl.waitForFinished(-1);
  return clock.nsecsElapsed() / 1e9;
}

// The same download in a profile of its own with no browser code at all: what the
// engine itself achieves.
double BareEngineSeconds(const std::string& url, const fs::path& folder) {
  QWebEngineProfile profile;
  QWebEnginePage page(&profile);
  QElapsedTimer clock;
  bool finished = false;
  QObject::connect(&profile, &QWebEngineProfile::downloadRequested, [&](QWebEngineDownloadRequest* item) {
    item->setDownloadDirectory(QString::fromStdString(folder.string()));
    item->setDownloadFileName(QStringLiteral("bare.bin"));
    item->accept();
    QObject::connect(item, &QWebEngineDownloadRequest::isFinishedChanged, [&] { finished = true; });
  });
  clock.start();
  page.download(QUrl(QString::fromStdString(url)));
  RunUntil([&] { return finished; });
  const double seconds = clock.nsecsElapsed() / 1e9;
  fs::remove(folder / "bare.bin");
  return seconds;
}

void RefreshFigures(DownloadManager& manager) {
  for (int i = 0; i < 200; ++i) {
    NumberedFiles prompts;
    prompts.folder = "/nonexistent";
    prompts.next = i;
    manager.BeginDownload(100000 + i, u"http://127.0.0.1:9/file-" + Utf8ToWide(std::to_string(i)), u"", prompts,
                          nullptr);
    if (i % 4 != 0) manager.ApplyReport({100000 + i, u"http://127.0.0.1:9/file-" + Utf8ToWide(std::to_string(i)), 0,
                                         1, 1, false, true});
  }
  DownloadWnd window(manager, false);
  window.Create(0, QStringLiteral("download_dialog"), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW, 100, 100);
  window.ShowWindow(true, false);
  QApplication::processEvents();
  QElapsedTimer clock;
  double worst = 0;
  double total = 0;
  constexpr int kRounds = 50;
  for (int round = 0; round < kRounds; ++round) {
    for (int i = 0; i < 200; i += 4) {
      manager.ApplyReport({100000 + i, u"http://127.0.0.1:9/file-" + Utf8ToWide(std::to_string(i)), 4096 + round,
                           round * kMiB, 200 * kMiB, false, false});
    }
    clock.start();
    window.Refresh();
    window.GetWidget()->repaint();
    const double ms = clock.nsecsElapsed() / 1e6;
    worst = std::max(worst, ms);
    total += ms;
  }
  clock.start();
  manager.RemoveRecord(100000);  // one download goes: the list is built again
  window.Refresh();
  window.GetWidget()->repaint();
  const double rebuild = clock.nsecsElapsed() / 1e6;
  std::printf("download list, 200 downloads: refresh and repaint %.2f ms on average, %.2f ms at most; "
              "rebuilt in %.2f ms\n",
              total / kRounds, worst, rebuild);
  window.Close();
  QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  auto app = std::make_shared<cef::WebApp>();
  const cef::CefMainArgs args{argc, argv};
  if (const int code = cef::CefExecuteProcess(args, app, nullptr); code >= 0) return code;
  QApplication application(argc, argv);
  int64_t sizeMiB = 1024;
  const QStringList arguments = application.arguments();
  if (const int at = arguments.indexOf(QStringLiteral("--size-mib")); at >= 0 && at + 1 < arguments.size()) {
    sizeMiB = arguments[at + 1].toLongLong();
  }
  test::TempDir folder;
  SettingsRegistry::Instance().Set(SettingsKeys::kLanguageFolder,
                                   Utf8ToWide(qEnvironmentVariable("TARVO_SOURCE_DIR").toStdString() + "/lang/"));
  SettingsRegistry::Instance().Set(SettingsKeys::kRegistryKey, u"TarvoBrowserBench");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((folder.path() / "config").string()));
  LanguageManager::Instance().SetLanguage(u"usa");
  DuiLib::CResourceManager::Instance().SetResourcePath(QDir::currentPath() + QLatin1Char('/'));
  DuiLib::CResourceManager::Instance().SetResourceZip(QStringLiteral("skin/normal.dat"));
  UserDatabase database;
  database.OpenFile((folder.path() / "kx.dat").string());
  database.Upgrade();

  cef::CefSettings settings;
  settings.cache_path = (folder.path() / "Cache").string();
  cef::CefInitialize(args, settings, app, nullptr);

  test::RangeFileServer server;
  server.Serve("/big.bin", {static_cast<uint64_t>(sizeMiB * kMiB), "\"big\""});
  const double curl = CurlSeconds(server.Url("/big.bin"), folder.path() / "curl.bin");
  fs::remove(folder.path() / "curl.bin");

  const double bare = BareEngineSeconds(server.Url("/big.bin"), folder.path());

  DownloadManager manager(database);
  NumberedFiles prompts;
  prompts.folder = folder.path();
  ChromiumDownloadHandler handler(manager, prompts, nullptr);
  auto client = std::make_shared<DownloadingClient>(handler);
  QWidget parent;
  parent.resize(800, 600);
  parent.show();
  cef::CefWindowInfo info;
  info.SetAsChild(&parent, 0, 0, 800, 600);
  info.style = 0x56010000;
  cef::CefBrowserHost::CreateBrowser(info, client, u"about:blank", cef::CefBrowserSettings{}, nullptr);
  RunUntil([&] { return client->browser != nullptr; });

  QElapsedTimer clock;
  clock.start();
  client->browser->GetHost()->StartDownload(Utf8ToWide(server.Url("/big.bin")));
  RunUntil([&] { return Complete(manager) == 1; });
  const double browser = clock.nsecsElapsed() / 1e9;
  const fs::path saved = folder.path() / "browser-0.bin";
  const bool whole = fs::file_size(saved) == static_cast<uintmax_t>(sizeMiB * kMiB);
  fs::remove(saved);
  const auto rate = [&](double seconds) { return static_cast<double>(sizeMiB) / seconds; };
  std::printf("%lld MiB from loopback: curl %.2f s (%.0f MiB/s); the browser %.2f s (%.0f MiB/s, %.0f%% of curl)%s; "
              "a bare Qt WebEngine profile %.2f s (%.0f MiB/s, %.0f%% of curl)\n",
              static_cast<long long>(sizeMiB), curl, rate(curl), browser, rate(browser), 100.0 * curl / browser,
              whole ? "" : " INCOMPLETE FILE", bare, rate(bare), 100.0 * curl / bare);

  // Ten downloads at once with the list open and following them.
  DownloadWnd list(manager, false);
  list.Create(0, QStringLiteral("download_dialog"), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW, 100, 100);
  list.ShowWindow(true, false);
  std::atomic<bool> queued{false};
  manager.SetChangeListener([&] {
    if (!queued.exchange(true)) {
      QMetaObject::invokeMethod(&application, [&] {
        queued = false;
        list.Refresh();
      }, Qt::QueuedConnection);
    }
  });
  test::RangeFileServer::File part{uint64_t{64} * kMiB, "\"part\""};
  part.bytesPerSecond = uint64_t{16} * kMiB;
  {
    auto starting = std::make_unique<StallMeter>();
    for (int i = 0; i < 10; ++i) {
      server.Serve("/part-" + std::to_string(i), part);
      client->browser->GetHost()->StartDownload(Utf8ToWide(server.Url("/part-" + std::to_string(i))));
    }
    RunUntil([&] { return manager.Records().size() == 11; });
    starting->Report("ten downloads starting at once (no dialogs), list open");
    StallMeter running;
    RunUntil([&] { return Complete(manager) == 11; });
    running.Report("ten downloads of 64 MiB at 16 MiB/s each running, list open");
  }
  manager.SetChangeListener(nullptr);
  list.Close();
  QApplication::processEvents();

  UserDatabase listDatabase;
  listDatabase.OpenFile((folder.path() / "list.dat").string());
  listDatabase.Upgrade();
  DownloadManager listed(listDatabase);
  RefreshFigures(listed);
  client->browser->GetHost()->CloseBrowser(true);
  cef::CefShutdown();
  return 0;
}
