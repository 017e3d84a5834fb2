// The compatibility engine's layer on WebKitGTK, beside what the bodies' common suite
// covers: the engine comes into the process only when a profile is first used, what
// a profile keeps (and a private one does not), and its downloads in the
// browser's download list. That the VPN's proxy never reaches it runs end to end in
// the VPN's test.
#include <dlfcn.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "downloads/download_manager.h"
#include "downloads/i_download_prompts.h"
#include "engines/ie/compat_download_handler.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "engines/webkitgtk/web_browser_control.h"
#include "engines/webkitgtk/web_browser_events.h"
#include "engines/test_http_server.h"
#include "platform/paths.h"
#include "store/test_database.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

using namespace tarvo::ie;

// Whether a library whose file name contains `name` is mapped into this process.
bool Mapped(const char* name) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

// Records how each load of the top document ended.
class LoadEvents : public WebBrowserEvents {
 public:
  void DocumentComplete(DispatchId, const WString& url) override { ends.push_back(u"done " + url); }
  void NavigateError(DispatchId, const WString& url, const WString&, int, bool& cancel) override {
    ends.push_back(u"error " + url);
    cancel = true;
  }
  std::vector<WString> ends;
};

// Answers a download's questions as the user would: the save dialog chooses `target`.
class ChosenTarget : public IDownloadPrompts {
 public:
  bool ConfirmReplace(const DownloadRecord&) override { return true; }
  void TellAlreadyDownloading(const DownloadRecord&) override {}
  WString ChooseTarget(const WString& suggestedName) override {
    suggested = suggestedName;
    return target;
  }
  WString target;
  WString suggested;
};

class IeLayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A profile that is not the browser's must not write into the user's folders.
    ASSERT_TRUE(qputenv("XDG_DATA_HOME", QByteArray::fromStdString((home_->path() / "data").string())));
    ASSERT_TRUE(qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((home_->path() / "cache").string())));
    EXPECT_FALSE(Mapped("libwebkit2gtk")) << "nothing of the engine before its first page";
    EXPECT_FALSE(Mapped("libgtk-3"));
    profile_ = MakeProfile(Folder("Compat"), Folder("Cache/Compat"));
  }

  void SetUp() override {
    ASSERT_NE(profile_->Get(), nullptr) << loader_->Error().toStdString();
    ASSERT_TRUE(server_.listening());
    parent_.resize(800, 600);
    parent_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent_));
  }

  static QString Folder(const char* name) { return QString::fromStdString((root_->path() / name).string()); }
  static LazyCompatProfile* MakeProfile(const QString& data, const QString& cache) {
    return new LazyCompatProfile(*loader_, {data, cache});
  }

  std::unique_ptr<WebBrowserControl> Control(LazyCompatProfile& profile) {
    auto control = loader_->LoadedEngine()->CreateControl(&parent_, *profile.Get(), nullptr);
    control->SetEventSink(&events_);
    return control;
  }
  // Loads url and waits for the load's end, however it ends.
  bool Load(WebBrowserControl& control, const QString& url) {
    const size_t before = events_.ends.size();
    control.Navigate(url.toStdU16String());
    return QTest::qWaitFor([&] { return events_.ends.size() > before; }, 20000);
  }
  QString Run(WebBrowserControl& control, const QString& script) {
    // Shared with the answer, which may come after the wait gave up.
    auto answer = std::make_shared<std::optional<QString>>();
    control.RunScript(script.toStdU16String(), [answer](bool ok, const WString& value) {
      *answer = ok ? QString::fromStdU16String(value) : QStringLiteral("<failed>");
    });
    return QTest::qWaitFor([&] { return answer->has_value(); }, 10000) ? **answer : QStringLiteral("<none>");
  }

  static inline TempDir* root_ = new TempDir;
  static inline TempDir* home_ = new TempDir;
  static inline CompatEngineLoader* loader_ = new CompatEngineLoader;
  static inline LazyCompatProfile* profile_ = nullptr;
  QWidget parent_;
  LoadEvents events_;
  TestHttpServer server_;
};

TEST_F(IeLayerTest, TheEngineComesWithItsFirstProfileAndRunsInItsSandbox) {
  EXPECT_TRUE(Mapped("libwebkit2gtk"));
  EXPECT_EQ(loader_->LoadedEngine()->IsSandboxed(),
            qEnvironmentVariableIsEmpty("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS"));
  EXPECT_EQ(QFileInfo(Folder("Compat")).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther), 0);
}

// Lasting cookies and local storage survive the profile (the browser's restart)
// until cleared through the engine. (A private window's profile, which writes
// nothing anywhere, runs end to end in the windows' test.)
TEST_F(IeLayerTest, SiteDataOutlivesTheProfileUntilCleared) {
  const QByteArray expires = QDateTime::currentDateTimeUtc().addDays(30).toString(Qt::RFC2822Date).toLatin1();
  TestHttpServer::Response set;
  set.body = "<html><body><script>localStorage.setItem('kept', 'yes');</script>set</body></html>";
  set.headers.append(qMakePair(QByteArray("Set-Cookie"), "lasting=42; Path=/; Expires=" + expires));
  set.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("session=1; Path=/")));
  server_.Route("/set", set);
  server_.Route("/read", TestHttpServer::Response{});
  const QString data = Folder("Lasting");
  {
    std::unique_ptr<LazyCompatProfile> profile(MakeProfile(data, QString()));
    auto control = Control(*profile);
    ASSERT_TRUE(Load(*control, server_.Url("/set")));
    EXPECT_EQ(Run(*control, QStringLiteral("String(localStorage.getItem('kept'))")), QStringLiteral("yes"));
  }
  QTest::qWait(500);  // the engine's processes write what they hold
  std::unique_ptr<LazyCompatProfile> again(MakeProfile(data, QString()));
  auto control = Control(*again);
  ASSERT_TRUE(Load(*control, server_.Url("/read")));
  EXPECT_EQ(server_.LastHeader("/read", "Cookie"), QByteArray("lasting=42"));
  EXPECT_EQ(Run(*control, QStringLiteral("String(localStorage.getItem('kept'))")), QStringLiteral("yes"));

  bool cleared = false;
  again->Get()->Clear(kCompatCookies | kCompatSiteStorage, [&](bool ok) { cleared = ok; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return cleared; }, 10000));
  ASSERT_TRUE(Load(*control, server_.Url("/read")));
  EXPECT_TRUE(server_.LastHeader("/read", "Cookie").isEmpty());
  EXPECT_EQ(Run(*control, QStringLiteral("String(localStorage.getItem('kept'))")), QStringLiteral("null"));
}

// A file the engine cannot show is a download: it joins the list, the save dialog
// chooses where it goes, it completes under that name; the entry cannot pause, and a
// cancelled download leaves no file.
TEST_F(IeLayerTest, DownloadsJoinTheListAndCompleteUnderTheChosenName) {
  TestDatabase store;
  DownloadManager manager(store.db());
  ChosenTarget prompts;
  int started = 0;
  CompatDownloadHandler handler(manager, prompts, [&](QWidget*, const WString&, bool) { ++started; });
  loader_->SetDownloadListener(&handler);
  const QByteArray bytes(300 * 1024, 'x');
  server_.Route("/file.bin", TestHttpServer::Response{200, "application/octet-stream", bytes});
  TestHttpServer::Response slow{200, "application/octet-stream", QByteArray(4 * 1024 * 1024, 'y')};
  slow.chunk_size = 16 * 1024;
  slow.chunk_interval_ms = 200;
  server_.Route("/slow.bin", slow);

  auto control = Control(*profile_);
  const QString target = Folder("report.bin");
  prompts.target = target.toStdU16String();
  control->Navigate(server_.Url("/file.bin").toStdU16String());
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const auto records = manager.Records();
    return !records.empty() && records.back().state == DownloadState::kComplete;
  }, 20000));
  EXPECT_EQ(prompts.suggested, u"file.bin");
  EXPECT_EQ(started, 1);
  QFile saved(target);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), bytes);
  EXPECT_FALSE(QFile::exists(target + ".tmp"));

  prompts.target = Folder("slow.bin").toStdU16String();
  control->Navigate(server_.Url("/slow.bin").toStdU16String());
  ASSERT_TRUE(QTest::qWaitFor([&] { return manager.Records().size() == 2 && manager.Records().back().received > 0; },
                              20000));
  const DownloadRecord running = manager.Records().back();
  EXPECT_FALSE(running.pausable);
  manager.TogglePause(running.id);
  EXPECT_EQ(manager.FindById(running.id)->state, DownloadState::kDownloading) << "pausing is refused";
  manager.RequestCancel(running.id);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(Folder("slow.bin.tmp")); }, 10000));
  EXPECT_EQ(manager.FindById(running.id)->state, DownloadState::kCancelled);
  EXPECT_FALSE(QFile::exists(Folder("slow.bin")));
  loader_->SetDownloadListener(nullptr);
}

// Last of the suite: the engine must outlive anything that unloads its module.
TEST_F(IeLayerTest, TheEngineStaysLoadedWhenItsModuleIsClosed) {
  // As the process exits, Qt closes every library it loaded, while the engine's
  // threads still run; closed here as often as it was opened (the loader once, this
  // test once), the module must still be there.
  const std::string path = ExecutableFolder() + CompatEngineLoader::kModuleName;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(module, nullptr) << "the engine's module is not loaded";
  dlclose(module);
  dlclose(module);
  module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(module, nullptr) << "the engine's module went while its threads run";
  EXPECT_TRUE(Mapped("libwebkit2gtk"));
}

}  // namespace
}  // namespace tarvo::test
