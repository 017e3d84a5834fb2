// Whole runs of the browser: start-up failures reach the installed presenter with
// their exact text and the caption "Error" and end without a window; a lone -url
// opens the home page, the splash staying until the main window is ready. Each run
// happens in a child process, because a run claims process-wide state (settings,
// database, language, the engine).
#include "app/ckx_browser_app.h"
#include "app/instance_handover.h"

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class CKXBrowserAppFailureTest : public testing::Test {
 protected:
  // The child runs the test again from the start in a fresh process; it finds the
  // parent's folder through the environment, so both look at the same files.
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    if (const char* inherited = std::getenv(kRootVariable); inherited != nullptr && inherited[0] != '\0') {
      root_ = inherited;
      inChild_ = true;
    } else {
      root_ = dir_.path();
      shareRoot_ = std::make_unique<test::ScopedEnv>(kRootVariable, root_.string());
    }
  }

  fs::path WriteFile(const fs::path& relative, const std::string& content) const {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << content;
    return root_ / relative;
  }

  // The run's data under `dataHome`, its configuration and cache under the root, the
  // service on a closed port.
  std::vector<std::unique_ptr<test::ScopedEnv>> Environment(const fs::path& dataHome) const {
    std::vector<std::unique_ptr<test::ScopedEnv>> environment;
    for (const auto& [name, value] : {std::pair<const char*, fs::path>{"XDG_DATA_HOME", dataHome},
                                      {"XDG_CONFIG_HOME", root_ / "config"},
                                      {"XDG_CACHE_HOME", root_ / "cache"},
                                      {"TARVO_API_URL", "http://127.0.0.1:9/"}}) {
      environment.push_back(std::make_unique<test::ScopedEnv>(name, value.string()));
    }
    return environment;
  }

  // Runs the browser with `resourceFolder` (empty: beside the executable) and ends
  // the child with 0 only when Run gave up without showing any window. What the
  // presenter received goes to standard error, one "[caption] [text]" line each.
  [[noreturn]] static void RunAndExit(const std::string& resourceFolder,
                                      std::vector<std::string> arguments = {"tarvo-browser"}) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    CKXBrowserApp::Options options;
    options.resourceFolder = resourceFolder;
    options.presenter = [](const std::string& caption, const std::string& text) {
      std::fprintf(stderr, "presented [%s] [%s]\n", caption.c_str(), text.c_str());
    };
    CKXBrowserApp app(static_cast<int>(arguments.size()), argv.data(), options);
    const int result = app.Run();
    bool anyWindow = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      anyWindow = anyWindow || widget->isVisible();
    }
    std::fflush(stderr);
    _exit(result == 0 && !app.main_window_shown() && !anyWindow ? 0 : 3);
  }

  static constexpr const char* kRootVariable = "TARVO_STARTUP_TEST_ROOT";
  test::TempDir dir_;
  fs::path root_;
  bool inChild_ = false;  // this process is a death test's re-run
  std::unique_ptr<test::ScopedEnv> shareRoot_;
};

TEST_F(CKXBrowserAppFailureTest, UnwritableDataRootReportsBothFoldersAndDatabase) {
  // A file where the data folder should go: no folder can be made below it, not
  // even by root.
  const fs::path blocker = WriteFile("not-a-folder", "x");
  const auto environment = Environment(blocker);
  EXPECT_EXIT(RunAndExit(""), testing::ExitedWithCode(0),
              "presented \\[Error\\] \\[Can't create browser data, please reinstall!\\]"
              ".*presented \\[Error\\] \\[Init browser data failed, please restart!\\]");
}

TEST_F(CKXBrowserAppFailureTest, CorruptDatabaseIsReportedAndLeftAsItWas) {
  std::string garbage;
  for (int i = 0; i < 512; ++i) garbage += "this is not a database file ";
  const fs::path database = WriteFile("data/TarvoBrowser/kx.dat", garbage);
  const auto environment = Environment(root_ / "data");
  EXPECT_EXIT(RunAndExit(""), testing::ExitedWithCode(0),
              "presented \\[Error\\] \\[Init browser data failed, please restart!\\]");
  std::ifstream in(database, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

TEST_F(CKXBrowserAppFailureTest, NoLanguagePackIsReported) {
  WriteFile("resources/lang/readme.txt", "no packs here");
  WriteFile("resources/lang/broken.json", "{ \"id\": ");
  fs::create_directories(root_ / "data");
  const auto environment = Environment(root_ / "data");
  EXPECT_EXIT(RunAndExit((root_ / "resources").string() + "/"), testing::ExitedWithCode(0),
              "presented \\[Error\\] \\[Init browser language data failed, please restart!\\]");
  // The database step before it did its work.
  EXPECT_TRUE(fs::exists(root_ / "data" / "TarvoBrowser" / "kx.dat"));
}

// Reports what a successful run opened and whether the splash waited for the main
// window, then closes the window like the user would.
class RunObserver {
 public:
  explicit RunObserver(const CKXBrowserApp& app) : app_(app) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(50);
  }

 private:
  static bool SplashVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == QLatin1String("KXFirstWnd") && widget->isVisible()) return true;
    }
    return false;
  }
  void Poll() {
    MainDuiWnd* window = app_.main_window();
    if (clock_.elapsed() > 45000) {
      std::fprintf(stderr, "observer: gave up\n");
      if (window != nullptr) window->Close(0);
      timer_.stop();
      return;
    }
    if (window == nullptr || window->PageList().Count() == 0) return;
    const Pages& pages = window->PageList();
    if (!splashChecked_) {
      splashChecked_ = true;
      splashAtFirstPage_ = SplashVisible();
    }
    // Addresses show once the pages have started navigating; one the engine
    // refuses outright never shows.
    bool allShown = true;
    for (int i = 0; i < pages.Count(); ++i) {
      allShown = allShown && !pages.PageAt(i)->GetDisplayUrl().empty();
    }
    if (!reported_ && (allShown || clock_.elapsed() > 8000)) {
      reported_ = true;
      std::fprintf(stderr, "pages %d\n", pages.Count());
      for (int i = 0; i < pages.Count(); ++i) {
        const std::u16string url = pages.PageAt(i)->GetDisplayUrl();
        std::fprintf(stderr, "opened [%s]\n", QString::fromStdU16String(url).toUtf8().constData());
      }
    }
    if (reported_ && !SplashVisible()) {
      std::fprintf(stderr, "splash %s first page, closed after %lld ms\n",
                   splashAtFirstPage_ ? "shown with the" : "missing at the",
                   static_cast<long long>(clock_.elapsed()));
      timer_.stop();
      window->Close(0);
    }
  }

  QTimer timer_;
  QElapsedTimer clock_;
  bool reported_ = false;
  bool splashChecked_ = false;
  bool splashAtFirstPage_ = false;
  const CKXBrowserApp& app_;
};

TEST_F(CKXBrowserAppFailureTest, SetAsDefaultWithAnAddressEndsWithoutAWindowEvenBesideARunningBrowser) {
  const auto environment = Environment(root_ / "data");
  test::ScopedEnv path("PATH", (root_ / "bin").string());
  // A browser (this test, in the parent) already owns the data root and would take
  // any hand-over.
  fs::create_directories(root_ / "data" / "TarvoBrowser");
  InstanceHandover running((root_ / "data" / "TarvoBrowser").string() + "/");
  if (!inChild_) {
    ASSERT_EQ(running.Claim({}), InstanceHandover::Role::kPrimary);
  }
  int handedOver = 0;
  running.SetReceiver([&](std::vector<WString>, bool) { ++handedOver; });
  // Trying to hand over would find nobody answering (this test waits) and say so.
  EXPECT_EXIT(RunAndExit("", {"tarvo-browser", "-setasdefault", "http://127.0.0.1:9/x"}),
              testing::ExitedWithCode(0), testing::Not(testing::HasSubstr("already running")));
  QCoreApplication::processEvents();
  EXPECT_EQ(handedOver, 0);
}

class CKXBrowserAppRunTest : public CKXBrowserAppFailureTest {
 protected:
  // A whole run with `arguments`; the child ends with 0 when Run returned after the
  // main window's own close.
  void RunWith(std::vector<std::string> arguments, const std::string& expected) {
    fs::create_directories(root_ / "data");
    const auto environment = Environment(root_ / "data");
    EXPECT_EXIT(
        {
          arguments.insert(arguments.begin(), "tarvo-browser");
          std::vector<char*> argv;
          for (std::string& argument : arguments) argv.push_back(argument.data());
          argv.push_back(nullptr);
          CKXBrowserApp app(static_cast<int>(arguments.size()), argv.data());
          RunObserver observer(app);
          const int result = app.Run();
          std::fflush(stderr);
          _exit(result == 1 && app.main_window_shown() ? 0 : 3);
        },
        testing::ExitedWithCode(0), expected);
  }
};

// The main window reaches its working size two seconds after it is built; the splash
// goes after that, never before (how long after depends on the machine's load, so
// only the lower bound is held). The home page carries the search engine's prefix in
// its query.
TEST_F(CKXBrowserAppRunTest, LoneUrlOptionOpensTheHomePageUnderTheSplashUntilTheMainWindowIsReady) {
  RunWith({"-url"}, "pages 1\nopened \\[file://[^]]*/home.html(\\?[^]]*)?\\]\n"
                    ".*splash shown with the first page, closed after ([2-9][0-9]{3}|[1-5][0-9]{4}) ms");
}

}  // namespace
}  // namespace tarvo
