// Start-up failures: each reaches the installed presenter with its exact text and the
// caption "Error", and the run ends without a window. Each run happens in a child
// process, because a run claims process-wide state (settings, database, language).
#include "app/ckx_browser_app.h"

#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/paths.h"
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

  // Runs the browser with `resourceFolder` (empty: beside the executable) and ends
  // the child with 0 only when Run gave up without showing any window. What the
  // presenter received goes to standard error, one "[caption] [text]" line each.
  [[noreturn]] static void RunAndExit(const std::string& resourceFolder) {
    static char program[] = "tarvo-browser";
    static char* argv[] = {program, nullptr};
    CKXBrowserApp::Options options;
    options.resourceFolder = resourceFolder;
    options.presenter = [](const std::string& caption, const std::string& text) {
      std::fprintf(stderr, "presented [%s] [%s]\n", caption.c_str(), text.c_str());
    };
    CKXBrowserApp app(1, argv, options);
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
  std::unique_ptr<test::ScopedEnv> shareRoot_;
};

TEST_F(CKXBrowserAppFailureTest, UnwritableDataRootReportsBothFoldersAndDatabase) {
  // A file where the data folder should go: no folder can be made below it, not
  // even by root.
  const fs::path blocker = WriteFile("not-a-folder", "x");
  test::ScopedEnv data("XDG_DATA_HOME", blocker.string());
  test::ScopedEnv config("XDG_CONFIG_HOME", (root_ / "config").string());
  EXPECT_EXIT(RunAndExit(""), testing::ExitedWithCode(0),
              "presented \\[Error\\] \\[Can't create browser data, please reinstall!\\]"
              ".*presented \\[Error\\] \\[Init browser data failed, please restart!\\]");
}

TEST_F(CKXBrowserAppFailureTest, CorruptDatabaseIsReportedAndLeftAsItWas) {
  std::string garbage;
  for (int i = 0; i < 512; ++i) garbage += "this is not a database file ";
  const fs::path database = WriteFile("data/TarvoBrowser/kx.dat", garbage);
  test::ScopedEnv data("XDG_DATA_HOME", (root_ / "data").string());
  test::ScopedEnv config("XDG_CONFIG_HOME", (root_ / "config").string());
  test::ScopedEnv api("TARVO_API_URL", "http://127.0.0.1:9/");
  EXPECT_EXIT(RunAndExit(""), testing::ExitedWithCode(0),
              "presented \\[Error\\] \\[Init browser data failed, please restart!\\]");
  std::ifstream in(database, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

TEST_F(CKXBrowserAppFailureTest, NoLanguagePackIsReported) {
  fs::create_directories(root_ / "resources" / "lang");
  WriteFile("resources/lang/readme.txt", "no packs here");
  WriteFile("resources/lang/broken.json", "{ \"id\": ");
  fs::create_directories(root_ / "data");
  test::ScopedEnv data("XDG_DATA_HOME", (root_ / "data").string());
  test::ScopedEnv config("XDG_CONFIG_HOME", (root_ / "config").string());
  test::ScopedEnv api("TARVO_API_URL", "http://127.0.0.1:9/");
  EXPECT_EXIT(RunAndExit((root_ / "resources").string() + "/"), testing::ExitedWithCode(0),
              "presented \\[Error\\] \\[Init browser language data failed, please restart!\\]");
  // The database step before it did its work.
  EXPECT_TRUE(fs::exists(root_ / "data" / "TarvoBrowser" / "kx.dat"));
}

}  // namespace
}  // namespace tarvo
